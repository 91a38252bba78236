#pragma once

#include <functional>
#include <string>

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

namespace tolvenmark {

class TSkinForm;

// What the dialog needs of the main window and its configuration, which it
// must not know: it sits below them.
struct ProgramSettingsLinks {
    // The main window's AlarmOnFlag as it is now, re-applied after each load
    // so that a skin change never switches the user's alarm on or off.
    std::function<bool()> alarmOnFlag;
    // Sets the main window's AlarmOnFlag; may be empty.
    std::function<void(bool)> setAlarmOnFlag;
    // ReadConfigKey / WriteConfigKey of the configuration's "ALARM" section.
    std::function<std::string(const std::string& key)> readConfigKey;
    std::function<void(const std::string& key, const std::string& value)> writeConfigKey;
    // True when waking from sleep for an alarm cannot work here; may be empty.
    std::function<bool()> wakeUnavailable;
    // What the autostart entry starts; empty: this program's own file.
    std::string programPath;
    // Where "&Open Skin" starts while SKIN is the built-in skin; empty: the
    // sample skins in the program's data folder.
    std::string sampleSkinsFolder;
};

// The program settings dialog: previews and loads skins into the main
// window's skinned window and keeps the start-with-the-desktop choice.
// Shown without being modal; lives as long as the main window.
class TForm4 : public QDialog {
public:
    // deferControls: the controls are made when the dialog is first shown or
    // a handler runs; until then the pointers are null.
    TForm4(TSkinForm& skinForm, ProgramSettingsLinks links, QWidget* parent = nullptr, bool deferControls = false);
    void setVisible(bool visible) override;

    // Handlers; each may throw with the message the general error box shows.
    void FormShow();
    void FormHide();
    void CheckBox1Click();
    void Button1Click();  // "Load Default &Skin"
    void Button2Click();  // "&Load Open Skin"
    void Button3Click();  // "&Done"
    void Button4Click();  // "&Open Skin"
    void EnterRegistryKey();

    // Loads the preview of a chosen skin file, as "&Open Skin" does once the
    // file dialog has answered.
    void OpenSkinFile(const std::string& skinFile);

    const std::string& OpenSkinPath() const { return openSkinPath_; }
    const std::string& WinRunSetting() const { return winRunSetting_; }

    QFrame* Panel2 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Panel1 = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button3 = nullptr;
    QLabel* WakeLabel = nullptr;  // shown, below the rest, only when waking is not available

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void CreateControls();
    void ReapplyAlarmSwitch();
    void ResetPreview();
    std::string StartFolder() const;
    std::string ProgramPath() const;

    TSkinForm& skinForm_;
    ProgramSettingsLinks links_;
    std::string openSkinPath_;
    std::string winRunSetting_;
};

}  // namespace tolvenmark
