#include "setup/media_setup.h"

#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

#include "setup/open_file_dialog.h"
#include "setup/setup_fixture.h"

namespace tolvenmark {
namespace {

using testing::SetupFixture;

std::vector<std::string> Items(const QComboBox* box) {
    std::vector<std::string> items;
    for (int i = 0; i < box->count(); ++i) items.push_back(box->itemText(i).toStdString());
    return items;
}

std::string Selected(const QComboBox* box) { return box->currentText().toStdString(); }

struct DriveCase {
    std::vector<std::string> devices;
    const char* cdDrive;   // stored
    const char* dvdDrive;  // stored
    std::vector<std::string> items;
    const char* cdSelected;
    const char* dvdSelected;
    int cdIndex;
    const char* writtenCd;  // after OK
    const char* writtenDvd;
    const char* proves;
};

void PrintTo(const DriveCase& c, std::ostream* os) { *os << c.proves; }

class MediaSetupDrivesTest : public ::testing::TestWithParam<DriveCase> {};

TEST_P(MediaSetupDrivesTest, OpensOnTheStoredDrivesAndStoresLetters) {
    const DriveCase& c = GetParam();
    SCOPED_TRACE(c.proves);
    SetupFixture f;
    for (const std::string& device : c.devices) f.AddOpticalDrive(device);
    f.Set("CDDRIVE", c.cdDrive);
    f.Set("DVDDRIVE", c.dvdDrive);
    AppMediaMemory().cdDriveIndex = 7;

    TForm6 form(f.config, AppMediaMemory(), f.sysRoot());
    EXPECT_EQ(Items(form.ComboBox1), c.items);
    EXPECT_EQ(Items(form.ComboBox2), c.items);
    EXPECT_EQ(Selected(form.ComboBox1), c.cdSelected);
    EXPECT_EQ(Selected(form.ComboBox2), c.dvdSelected);
    EXPECT_EQ(AppMediaMemory().cdDriveIndex, c.cdIndex);

    form.Button5Click();
    EXPECT_EQ(f.Get("CDDRIVE"), c.writtenCd);
    EXPECT_EQ(f.Get("DVDDRIVE"), c.writtenDvd);
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Machines, MediaSetupDrivesTest,
    ::testing::Values(
        DriveCase{{"sr1"}, "", "", {"E:\\"}, "E:\\", "E:\\", 0, "E", "E", "one drive E takes both lists"},
        DriveCase{{"sr0", "sr1"}, "E", "D", {"D:\\", "E:\\"}, "E:\\", "D:\\", 1, "E", "D",
                  "two drives, the second one configured"},
        DriveCase{{"sr0", "sr1"}, "G", "E", {"D:\\", "E:\\"}, "", "E:\\", 7, "G", "E",
                  "a stored drive that is gone selects nothing and is kept"},
        DriveCase{{}, "", "F", {}, "", "", 0, "", "", "no drives: nothing stored"}));

TEST(MediaSetup, NoDrivesSaysSoOnceARunAndDisablesBothLists) {
    SetupFixture f;
    MediaMemory run;
    for (int opening = 0; opening < 2; ++opening) {
        TForm6 form(f.config, run, f.sysRoot());
        EXPECT_FALSE(form.ComboBox1->isEnabled());
        EXPECT_FALSE(form.ComboBox2->isEnabled());
    }
    EXPECT_EQ(f.prompts.shown, std::vector<std::string>{"Information: There were no CD or DVD drives found on this machine."});
}

// The disc index follows a picked drive only with OK, as CDDRIVE does.
TEST(MediaSetup, PickedCdDriveMovesTheDiscIndexOnlyOnOk) {
    SetupFixture f;
    f.AddOpticalDrive("sr0");
    f.AddOpticalDrive("sr1");
    f.Set("CDDRIVE", "E");
    TForm6 form(f.config, AppMediaMemory(), f.sysRoot());
    ASSERT_EQ(AppMediaMemory().cdDriveIndex, 1);

    form.ComboBox1->setCurrentIndex(0);
    form.ComboBox1Change(0);
    EXPECT_EQ(AppMediaMemory().cdDrive, "D:\\");
    EXPECT_EQ(AppMediaMemory().cdDriveIndex, 1);
    form.ComboBox2Change(1);
    EXPECT_EQ(AppMediaMemory().dvdDrive, "E:\\");

    form.Button5Click();
    EXPECT_EQ(f.Get("CDDRIVE"), "D");
    EXPECT_EQ(f.Get("DVDDRIVE"), "E");
    EXPECT_EQ(AppMediaMemory().cdDriveIndex, 0);

    TForm6 cancelled(f.config, AppMediaMemory(), f.sysRoot());
    cancelled.ComboBox1Change(1);
    cancelled.Button6Click();
    EXPECT_EQ(AppMediaMemory().cdDriveIndex, 0);
}

TEST(MediaSetup, OkStoresPathsAsTypedAndCancelStoresNothing) {
    SetupFixture f;
    f.AddOpticalDrive("sr0");
    f.Set("WMP", "/opt/wmp/wmplayer");
    f.Set("CUSTOM", "/usr/bin/mpv");
    {
        TForm6 form(f.config, AppMediaMemory(), f.sysRoot());
        EXPECT_EQ(form.Edit1->text().toStdString(), "/opt/wmp/wmplayer");
        form.Edit5->clear();
        form.Edit2->setText("/opt/winamp/winamp");
        form.Button6Click();
        EXPECT_EQ(f.Get("CUSTOM"), "/usr/bin/mpv");
        EXPECT_EQ(f.Get("WINAMP"), "");
    }
    TForm6 form(f.config, AppMediaMemory(), f.sysRoot());
    form.Edit5->clear();
    form.Edit2->setText("/opt/winamp/winamp");
    form.Button5Click();
    EXPECT_EQ(f.Get("CUSTOM"), "");
    EXPECT_EQ(f.Get("WINAMP"), "/opt/winamp/winamp");
    EXPECT_EQ(f.Get("WMP"), "/opt/wmp/wmplayer");
    EXPECT_EQ(AppMediaMemory().playerPaths[4], "");
    EXPECT_EQ(AppMediaMemory().playerPaths[1], "/opt/winamp/winamp");
}

TEST(MediaSetup, BrowseOffersEachPlayersProgramAndTakesTheChosenPath) {
    SetupFixture f;
    f.AddOpticalDrive("sr0");
    TForm6 form(f.config, AppMediaMemory(), f.sysRoot());
    std::vector<std::string> asked;
    form.OpenDialog1.chooser = [&](const OpenFileDialog& d) -> std::optional<std::string> {
        asked.push_back(d.title + " / " + d.filter);
        return asked.size() == 1 ? std::optional<std::string>("/opt/real/realplay") : std::nullopt;
    };
    form.Button3Click();
    form.Button7Click();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], "RealOne Player / RealOne Player (realplay.exe)|realplay.exe|All Files (*.*)|*.*");
    EXPECT_EQ(asked[1], "Custom Player / All Files (*.*)|*.*|Custom Player (*.exe)|*.exe");
    EXPECT_EQ(form.Edit3->text().toStdString(), "/opt/real/realplay");
    EXPECT_EQ(form.Edit5->text().toStdString(), "");
}

// Browse opens where the field's file is; anything else goes to the fallback (the music folder).
TEST(OpenFileDialog, StartsInTheFolderOfTheFieldsFile) {
    SetupFixture f;
    const std::string folder = f.dir.path();
    for (const std::string& field : {folder + "/new.opus", folder}) EXPECT_EQ(StartFolder(field, "/m"), folder);
    for (const char* field : {"/gone/a.ogg", "a.ogg", "C:\\Music\\a.mp3", ""}) EXPECT_EQ(StartFolder(field, "/m"), "/m");
}

TEST(OpenFileDialog, FilterPairsBecomeQtNameFilters) {
    EXPECT_EQ(QtNameFilters("MP3 Files|*.mp3"), "MP3 Files (*.mp3)");
    EXPECT_EQ(QtNameFilters("Winamp 3 (studio.exe)|studio.exe|All Files (*.*)|*.*"),
              "Winamp 3 (studio.exe);;All Files (*)");
    EXPECT_EQ(QtNameFilters("All Files|*.*"), "All Files (*)");
}

}  // namespace
}  // namespace tolvenmark
