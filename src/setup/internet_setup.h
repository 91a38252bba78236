#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QWidget>

#include "platform/prompts.h"
#include "setup/internet_setup_actions.h"
#include "setup/launch_rules.h"
#include "setup/ras_connection.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTimer;

namespace tolvenmark {

// The internet connection dialog: the default dial-up connection, the wait
// before a radio alarm and the hang-up on snooze. Created once at start and
// only hidden and shown; its connection watch runs while anything needs it.
class TForm8 final : public QWidget, public InternetSetupActions {
public:
    // deferControls: the controls are made when first needed (shown, or a
    // dial, state or connection change to show), so that a window most
    // runs never open costs no memory; until then the pointers are null.
    TForm8(std::unique_ptr<RasBackend> backend, ConfigKeys config, Prompts& prompts, QWidget* parent = nullptr,
           bool deferControls = false);
    void setVisible(bool visible) override;

    // InternetSetupActions
    std::uint16_t ConnectState() const override { return MagRasCon1.ConnectState; }
    void ShowSetup() override;
    void TestConnection() override { Button1Click(); }
    void HideSetup() override { hide(); }
    void Disconnect() override { Button2Click(); }

    void FormShow();
    void Button4Click();  // "&Set As Default"
    void Button1Click();  // "&Test Connection"
    void Button2Click();  // "&Disconnect"
    void Button3Click();  // "&Done"
    void Timer1Timer();   // connection watch
    // Runs the watch each second while the dialog is shown, a connection the
    // clock dialed is up, or WatchWanted says so (an internet alarm close).
    void UpdateWatch();
    std::function<bool()> WatchWanted;
    void MagRasCon1StateChanged();
    void MagRasCon1Available();

    TMagRasCon MagRasCon1;
    QListWidget* ListBox1 = nullptr;
    QLabel* Panel1 = nullptr;
    QPushButton* Button4 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QLabel* Label2 = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QLabel* Label3 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QPushButton* Button3 = nullptr;
    QTimer* Timer1;

    // Values kept for the whole run.
    std::string defaultConnection;
    RasHandle dialingHandle = 0;
    RasHandle connectedHandle = 0;
    int lastLoggedState = 0;
    std::string activeName;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    bool FillList();  // phone book, then the LAN; false without dial-up
    void Log(const std::string& line);
    void SetDialControls(bool on);

    ConfigKeys config_;
    Prompts& prompts_;
};

inline constexpr const char* kLanMessage =
    "Your default connection is set to Local Area Network (LAN) and may not be detected by this setup.  "
    "However, if you currently have a functioning LAN connection, the alarm features using internet "
    "connections should work.";

}  // namespace tolvenmark
