#pragma once

#include <array>
#include <string>
#include <vector>

#include <QDialog>

#include "bin/bin_files.h"
#include "platform/config_keys.h"

class QCheckBox;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace tolvenmark {

// "Storage Bin": both files of the bin in appPath as two tables. Nothing
// reaches the files before "&Done"; the title-bar close saves nothing.
// Copies go to AppHandovers() and stay there for the rest of the run.
class TForm7 final : public QDialog {
    Q_OBJECT
public:
    TForm7(QWidget* parent, std::string appPath, ConfigKeys config);

    void RadioGroup1Click();
    void Button1Click();  // "&Done"
    void Button2Click();  // "S&ort Alarms"
    void Button3Click();  // "&Validate Files" / "&Validate Alarms"
    void Button4Click();  // "Delete &Current Entry"
    void Button5Click();  // "Copy &Entry to Alarm Settings"
    void Button6Click();  // "Edit &Highlighted Alarm"
    void Button7Click();  // "Delete &Range of Alarms"
    void PackFileGrid();
    void PackAlarmGrid();

    int Mode() const;
    FileSettingList FileRows() const;   // StringGrid1's data rows
    SavedAlarmList AlarmRows() const;   // StringGrid2's data rows
    // Lines of "Alarms.txt" the loading could not take in; kept by "&Done".
    const std::vector<std::string>& UnreadAlarmLines() const { return unreadAlarmLines_; }

    QTableWidget* StringGrid1;
    QTableWidget* StringGrid2;
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
    std::array<QRadioButton*, 2> RadioGroup1;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;
    QPushButton* Button5;
    QPushButton* Button6;
    QPushButton* Button7;

    // Where "&Validate Files" looks a disc's drive letter up, as the launch does.
    std::string sysRoot = "/sys";
    std::string mountsFile = "/proc/mounts";

    // The storage bin's lists: scratch space for range deletion.
    FileSettingList fileSettingList;
    SavedAlarmList savedAlarmList;

private:
    void LoadFiles();
    void SetFileRows(const FileSettingList& rows);
    void SetAlarmRows(const SavedAlarmList& rows);

    std::string appPath_;
    ConfigKeys config_;
    int currentRow1_ = 0;  // data row (0 is the first below the titles)
    int currentRow2_ = 0;
    std::vector<std::string> unreadAlarmLines_;
    bool fileSettingsRead_ = false;  // a file that could not be read is never rewritten
    bool alarmsRead_ = false;
};

}  // namespace tolvenmark
