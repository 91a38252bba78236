#include "bin/storage_bin_form.h"

#include <filesystem>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimeEdit>
#include <gtest/gtest.h>

#include "bin/delete_range_form.h"
#include "bin/dialog_env.h"
#include "bin/edit_alarm_form.h"
#include "platform/conversion_error.h"
#include "platform/profile_file.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::DialogEnv;
using testing::OnNextModal;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

// A storage bin folder with its configuration file beside it.
struct Bin {
    DialogEnv env;
    TempDir dir;
    std::string ini = dir.File("TOLVENMARKCLOCK.INI");

    ConfigKeys Config() const {
        const std::string path = ini;
        return {[path](const std::string& key) { return GetPrivateProfileString("ALARM", key, "", 255, path); },
                [path](const std::string& key, const std::string& value) {
                    WritePrivateProfileString("ALARM", key, value, path);
                }};
    }
    std::string Key(const std::string& key) const { return GetPrivateProfileString("ALARM", key, "", 255, ini); }
    std::string Alarms() const { return ReadFileBytes(dir.File("Alarms.txt")); }
    std::string Files() const { return ReadFileBytes(dir.File("StorageBin.txt")); }
    void SetAlarms(const std::string& content) { WriteFileBytes(dir.File("Alarms.txt"), content); }
    void SetFiles(const std::string& content) { WriteFileBytes(dir.File("StorageBin.txt"), content); }
};

std::vector<std::string> Column(const QTableWidget& grid, int column) {
    std::vector<std::string> texts;
    for (int r = 0; r < grid.rowCount(); ++r)
        texts.push_back(grid.item(r, column) ? grid.item(r, column)->text().toStdString() : "");
    return texts;
}

TEST(TForm7, OpensWithTitlesBoxesAndNormalisedDatesAndTimes) {
    Bin bin;
    WritePrivateProfileString("ALARM", "IGNOREHTTP", "Yes", bin.ini);
    WritePrivateProfileString("ALARM", "IGNOREMESS", "yes", bin.ini);
    bin.SetAlarms("Wake up^04/20/2003^07:30^\r\n");
    TForm7 form(nullptr, bin.dir.path(), bin.Config());
    EXPECT_TRUE(form.CheckBox1->isChecked());
    EXPECT_FALSE(form.CheckBox2->isChecked()) << "only exactly Yes ticks a box";
    EXPECT_EQ(form.StringGrid2->horizontalHeaderItem(0)->text(), "Saved Alarm Headers");
    EXPECT_TRUE(form.StringGrid1->isColumnHidden(2));
    EXPECT_EQ(form.StringGrid1->rowCount(), 1) << "an empty bin shows one blank row";
    EXPECT_EQ(form.AlarmRows(), (SavedAlarmList{{"Wake up", "4/20/2003", "7:30:00 AM"}}));
    EXPECT_FALSE(form.Button2->isEnabled());
    form.RadioGroup1[1]->setChecked(true);
    EXPECT_TRUE(form.Button2->isEnabled());
    EXPECT_FALSE(form.CheckBox1->isEnabled());
    EXPECT_EQ(form.Button3->text(), "&Validate Alarms");
}

TEST(TForm7, LoadingErrorThenDoneKeepsEveryLine) {
    Bin bin;
    bin.SetAlarms("b^5/1/2003^8:00:00 AM^\r\na^4/30/2003^9:00^\r\n"
                  "x^31/31/2003^7:00:00 AM^\r\ny^4/1/2003^7:00:00 AM^extra^text\r\n\r\nz^^^\r\n");
    TForm7 form(nullptr, bin.dir.path(), bin.Config());
    EXPECT_EQ(bin.env.prompts.shown, std::vector<std::string>{"Error: '31/31/2003' is not a valid date"});
    EXPECT_EQ(form.AlarmRows().size(), 2u);
    form.Button1Click();
    EXPECT_EQ(bin.Alarms(),
              "a^4/30/2003^9:00:00 AM^\r\nb^5/1/2003^8:00:00 AM^\r\n"
              "x^31/31/2003^7:00:00 AM^\r\ny^4/1/2003^7:00:00 AM^extra^text\r\nz^^^\r\n");
    EXPECT_EQ(bin.Key("IGNOREHTTP"), "No");
}

constexpr const char* kDisc = "E:\\Mpegav\\Avseq01.dat";

struct FileValidationCase {
    bool ignoreUrls;
    bool ignoreMessages;
    std::deque<ConfirmAnswer> answers;
    std::vector<std::string> offered;
    std::vector<std::string> left;
    const char* report;
};

class FileValidationTest : public ::testing::TestWithParam<FileValidationCase> {};

TEST_P(FileValidationTest, OffersWhatCannotBeCheckedOrIsMissing) {
    const FileValidationCase& c = GetParam();
    Bin bin;
    const std::string present = bin.dir.File("present.mp3");
    WriteFileBytes(present, "x");
    bin.SetFiles(present + "^^WMP^\r\n" + bin.dir.File("gone.mp3") + "^^WMP^\r\nhttp:radio^^WINAMP^\r\n" +
                 present + "^Text Message^MESSAGE^\r\n" + bin.dir.File("gone2.mp3") + "^^^\r\n" + kDisc + "^^WMP^\r\n");
    // A video CD in the second optical drive (E:), mounted as the launch finds it.
    std::filesystem::create_directories(bin.dir.File("sys/class/block/sr0"));
    std::filesystem::create_directories(bin.dir.File("sys/class/block/sr1"));
    std::filesystem::create_directories(bin.dir.File("disc/MPEGAV"));
    WriteFileBytes(bin.dir.File("disc/MPEGAV/AVSEQ01.DAT"), "");
    WriteFileBytes(bin.dir.File("mounts"), "/dev/sr1 " + bin.dir.File("disc") + " iso9660 ro 0 0\n");
    TForm7 form(nullptr, bin.dir.path(), bin.Config());
    form.sysRoot = bin.dir.File("sys");
    form.mountsFile = bin.dir.File("mounts");
    form.CheckBox1->setChecked(c.ignoreUrls);
    form.CheckBox2->setChecked(c.ignoreMessages);
    bin.env.prompts.answers = c.answers;
    bin.env.prompts.answers.push_front(ConfirmAnswer::Yes);  // "Do you want to continue?"
    form.Button3Click();

    std::vector<std::string> offered;
    for (const std::string& text : bin.env.prompts.shown)
        if (text.rfind("Confirm: Delete the following entry?\r\n", 0) == 0)
            offered.push_back(text.substr(text.find('\n') + 1));
    auto name = [](std::string path) { return path.substr(path.rfind('/') + 1); };
    for (auto& o : offered) o = name(o);
    EXPECT_EQ(offered, c.offered);
    std::vector<std::string> left = Column(*form.StringGrid1, 0);
    for (auto& l : left) l = name(l);
    EXPECT_EQ(left, c.left);
    EXPECT_EQ(bin.env.prompts.shown.back(), std::string("Information: ") + c.report);
    EXPECT_EQ(ReadFileBytes(bin.dir.File("StorageBin.txt")).size() > 0, true) << "nothing saved before Done";
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FileValidationTest,
    ::testing::Values(
        FileValidationCase{false, false, {ConfirmAnswer::No, ConfirmAnswer::YesToAll},
                           {"gone.mp3", "http:radio"},
                           {"present.mp3", "gone.mp3", kDisc},
                           "There were 3 saved references deleted."},
        FileValidationCase{true, true, {ConfirmAnswer::Yes, ConfirmAnswer::No},
                           {"gone.mp3", "gone2.mp3"},
                           {"present.mp3", "http:radio", "present.mp3", "gone2.mp3", kDisc},
                           "There were 1 saved references deleted."},
        FileValidationCase{true, false, {ConfirmAnswer::No, ConfirmAnswer::No, ConfirmAnswer::No},
                           {"gone.mp3", "present.mp3", "gone2.mp3"},
                           {"present.mp3", "gone.mp3", "http:radio", "present.mp3", "gone2.mp3", kDisc},
                           "There were no saved references deleted."}));

TEST(TForm7, AlarmValidationOffersThePastAndAsksAgainNextRun) {
    Bin bin;
    bin.env.clock.Set({2003, 4, 15, 9, 0, 0, 0});
    bin.SetAlarms("later^4/15/2003^9:00:01 AM^\r\nearlier^4/15/2003^8:59:59 AM^\r\n"
                  "past^4/1/2003^10:00:00 AM^\r\nnext^4/16/2003^1:00:00 AM^\r\n");
    TForm7 form(nullptr, bin.dir.path(), bin.Config());
    form.RadioGroup1[1]->setChecked(true);
    bin.env.prompts.answers = {ConfirmAnswer::Yes, ConfirmAnswer::YesToAll};
    form.Button3Click();
    EXPECT_EQ(bin.env.prompts.shown,
              (std::vector<std::string>{
                  "Confirm: This will delete any alarms from the bin that are before the current date and "
                  "time.\r\nDo you want to continue?",
                  "Confirm: Delete the following alarm entry?\r\nearlier [4/15/2003 at 8:59:59 AM]",
                  "Information: There were 2 saved references deleted."}));
    EXPECT_EQ(Column(*form.StringGrid2, 0), (std::vector<std::string>{"later", "next"}));

    bin.env.prompts.shown.clear();
    bin.env.prompts.answers = {ConfirmAnswer::No};
    form.Button3Click();
    EXPECT_EQ(bin.env.prompts.shown.back(), "Information: There were no saved references deleted.");
}

TEST(TForm7, CopyThenTitleBarCloseHandsOverAndSavesNothing) {
    Bin bin;
    const std::string alarms = "a^4/20/2003^7:30:00 AM^\r\nb^4/21/2003^8:00:00 AM^\r\n";
    bin.SetAlarms(alarms);
    bin.SetFiles("song.mp3^^WINAMP^\r\n");
    TForm7 form(nullptr, bin.dir.path(), bin.Config());
    form.Button5Click();
    form.RadioGroup1[1]->setChecked(true);
    form.StringGrid2->setCurrentCell(1, 0);
    form.Button5Click();
    form.Button4Click();  // deleted in the table only
    form.show();
    form.close();
    EXPECT_EQ(AppHandovers().copiedFile.target, "song.mp3");
    EXPECT_EQ(AppHandovers().copiedFile.defaultPlayer, "WINAMP");
    EXPECT_EQ(AppHandovers().copiedAlarm.header, "b");
    EXPECT_EQ(AppHandovers().copiedAlarm.time, "8:00:00 AM");
    EXPECT_EQ(bin.Alarms(), alarms);
    EXPECT_EQ(bin.Key("IGNOREHTTP"), "") << "no key written";
    EXPECT_EQ(form.result(), QDialog::Rejected);
}

TEST(TForm7, DoneSortsDropsDeletedEntriesAndWritesTheKeys) {
    Bin bin;
    bin.SetAlarms("2^5/1/2003^8:00:00 AM^\r\n1^4/30/2003^9:00:00 AM^\r\n3^5/1/2003^7:00:00 AM^\r\n");
    bin.SetFiles("one^^WMP^\r\ntwo^Text Message^MESSAGE^\r\n");
    TForm7 form(nullptr, bin.dir.path(), bin.Config());
    form.Button4Click();  // file settings, row 1
    form.CheckBox2->setChecked(true);
    form.Button1Click();
    EXPECT_EQ(bin.Files(), "two^Text Message^MESSAGE^\r\n");
    EXPECT_EQ(bin.Alarms(), "1^4/30/2003^9:00:00 AM^\r\n3^5/1/2003^7:00:00 AM^\r\n2^5/1/2003^8:00:00 AM^\r\n");
    EXPECT_EQ(bin.Key("IGNOREHTTP"), "No");
    EXPECT_EQ(bin.Key("IGNOREMESS"), "Yes");
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST(TForm7, CaretTypedIntoACellIsRefusedBeforeAnyFileChanges) {
    Bin bin;
    const std::string files = "one^^WMP^\r\n";
    bin.SetFiles(files);
    bin.SetAlarms("a^4/20/2003^7:30:00 AM^\r\n");
    TForm7 form(nullptr, bin.dir.path(), bin.Config());
    form.StringGrid1->item(0, 1)->setText("x^y");
    EXPECT_THROW(form.Button1Click(), OperationError);
    EXPECT_EQ(bin.Files(), files);
    EXPECT_EQ(bin.Key("IGNOREHTTP"), "");
}

TEST(TForm7, SortStoppedByAnUnreadableDateLosesNoRowAndLeavesAlarmsAlone) {
    Bin bin;
    const std::string alarms = "a^4/21/2003^7:30:00 AM^\r\nb^4/20/2003^7:30:00 AM^\r\n";
    bin.SetAlarms(alarms);
    TForm7 form(nullptr, bin.dir.path(), bin.Config());
    form.StringGrid2->item(1, 1)->setText("4/40/2003");  // as a foreign edit would leave it
    const SavedAlarmList before = form.AlarmRows();
    EXPECT_THROW(form.Button2Click(), ConversionError);
    EXPECT_EQ(form.AlarmRows(), before);
    EXPECT_THROW(form.Button1Click(), ConversionError);
    EXPECT_EQ(bin.Alarms(), alarms);
    EXPECT_EQ(bin.Key("IGNOREMESS"), "");
}

TEST(TForm7, EditedAlarmComesBackInTheLongTimeForm) {
    Bin bin;
    bin.env.settings.shortTimeFormat = "hh:mm:ss AMPM";  // alarm shape differs from the long time form
    bin.SetAlarms("a^4/20/2003^7:30:00 AM^\r\nb^4/21/2003^8:00:00 AM^\r\n");
    TForm7 form(nullptr, bin.dir.path(), bin.Config());
    form.RadioGroup1[1]->setChecked(true);
    form.StringGrid2->setCurrentCell(1, 0);
    OnNextModal<TForm9>([](TForm9& edit) {
        EXPECT_EQ(edit.Edit1->text(), "b");
        EXPECT_EQ(edit.DateTimePicker1->time(), QTime(8, 0, 0));
        edit.Edit1->setText("changed");
        edit.DateTimePicker1->setTime(QTime(18, 15, 0));
        edit.Button2Click();
    });
    form.Button6Click();
    EXPECT_EQ(form.AlarmRows()[1], (SavedAlarm{"changed", "4/21/2003", "6:15:00 PM"}));
    EXPECT_EQ(form.AlarmRows()[0].time, "07:30:00 AM");

    OnNextModal<TForm9>([](TForm9& edit) {
        edit.Edit1->setText("not kept");
        edit.Button3Click();
    });
    form.Button6Click();
    EXPECT_EQ(form.AlarmRows()[1].header, "changed");
}

TEST(TForm7, RangeDeletionPacksTheTable) {
    Bin bin;
    bin.SetAlarms("a^4/20/2003^7:30:00 AM^\r\nb^4/21/2003^8:00:00 AM^\r\nc^4/22/2003^8:00:00 AM^\r\n");
    TForm7 form(nullptr, bin.dir.path(), bin.Config());
    form.RadioGroup1[1]->setChecked(true);
    OnNextModal<TForm11>([](TForm11& range) {
        range.Edit1->setText("4/21/2003");
        range.Edit2->setText("4/21/2003");
        range.Button3Click();
        range.Button4Click();
    });
    form.Button7Click();
    EXPECT_EQ(Column(*form.StringGrid2, 0), (std::vector<std::string>{"a", "c"}));
}

}  // namespace
}  // namespace tolvenmark
