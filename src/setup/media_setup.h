#pragma once

#include <array>
#include <string>
#include <vector>

#include <QDialog>

#include "platform/config_keys.h"
#include "setup/media_memory.h"
#include "setup/open_file_dialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tolvenmark {

// "Media Program and Location Setup": where the five players are installed
// and which optical drives CD and DVD alarms use.
class TForm6 : public QDialog {
    Q_OBJECT
public:
    TForm6(ConfigKeys& config, MediaMemory& memory, std::string sysRoot = "/sys", QWidget* parent = nullptr);

    void Button1Click();  // the five Browse buttons
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button7Click();
    void ComboBox1Change(int index);
    void ComboBox2Change(int index);
    void Button5Click();  // OK
    void Button6Click();  // Cancel

    QLabel *Label1, *Label2, *Label3, *Label4, *Label7;
    QLineEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5;
    QPushButton *Button1, *Button2, *Button3, *Button4, *Button7;
    QComboBox *ComboBox1, *ComboBox2;
    QPushButton *Button5, *Button6;
    OpenFileDialog OpenDialog1;

private:
    void FormCreate();
    void Browse(QLineEdit* edit, const char* title, const char* filter);
    std::array<QLineEdit*, 5> PathEdits() const { return {Edit1, Edit2, Edit3, Edit4, Edit5}; }

    ConfigKeys& config_;
    MediaMemory& memory_;
    std::string sysRoot_;
    std::size_t driveCount_ = 0;
    int pickedCdIndex_ = 0;  // becomes the disc index on OK
};

}  // namespace tolvenmark
