#include "clock/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QTimer>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QSignalSpy>
#include <filesystem>
#include <gtest/gtest.h>

#include "bin/saved_alarms_changed.h"
#include "clock/config.h"
#include "clock/help_file.h"
#include "clock/help_file_open.h"
#include "platform/clock.h"
#include "platform/regional_settings.h"
#include "skin/packed_skin.h"
#include "skin/skin_form.h"
#include "support/app_seams.h"
#include "support/gui_app.h"
#include "support/recording_script.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

const std::string kSkinSource = std::string(TOLVENMARK_SOURCE_DIR) + "/resources/skin/";
const char* kSkinFiles[] = {"Skin.ini", "ACMask.bmp", "ACMain.jpg", "ACSel.jpg"};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetConfigPath(dir.File("TOLVENMARKCLOCK.INI"));
        WriteFileBytes(ConfigPath(), "[ALARM]\nAPPPATH=" + dir.path() +
                                         "\nCHANGEALARM=Yes\nDELETEALARM=Yes\nALHEADER=Wake\n"
                                         "ALDATE=12/8/2026\nALTIME=7:00:00 AM\n");
        config.appPath = dir.path();
        config.skin = "Default";
        config.alSet = "TRUE";
        config.alHeader = "Wake";
        config.alDate = "12/8/2026";
        config.alTime = "7:00:00 AM";
        form.EndProgram = [this] { calls += "end;"; };
        form.OpenUrl = [this](const QUrl& url) { calls += "open " + url.toLocalFile().toStdString() + ";"; };
        form.AboutHook = [this] { calls += "about;"; };
        form.AlarmSettingsHook = [this] { calls += "alarm settings;"; };
        form.ProgramSettingsHook = [this] { calls += "program settings;"; };
        form.SnoozeHook = [this] { calls += "snooze;"; };
        form.StopHook = [this] { calls += "stop;"; };
        form.TrayAvailable = [] { return false; };
    }
    PendingAlarm Pending() const { return {config.alHeader, config.alDate, config.alTime}; }
    void Start() { form.FormCreate(config, Pending()); }
    void Click(const std::string& id) { form.SkinForm1MouseUpNotify(id, Qt::LeftButton, {}, 0, 0); }
    std::string Display(const std::string& id) {
        for (const auto& item : form.SkinForm1->CurrentSkin().DisplayItems)
            if (item.ID == id) return item.Text;
        return "(none)";
    }
    void CopySkin(const std::string& folder, bool withImages) {
        for (const char* name : kSkinFiles)
            if (withImages || std::string(name) == "Skin.ini")
                WriteFileBytes(folder + "/" + name, ReadFileBytes(kSkinSource + name));
    }

    // Widgets need the application object before the form member is made.
    bool appReady = (testing::EnsureGuiApplication(), true);
    TempDir dir;
    FixedClock clock{DateTime{2026, 12, 7, 12, 0, 0, 0}};
    RegionalSettings settings;
    testing::ScriptedPrompts prompts;
    testing::ScopedAppSeams seams{clock, settings, prompts};
    StartupConfig config;
    TForm1 form;
    std::string calls;
};

// --- start-up

struct StartUpPastCase {
    const char* date;
    const char* time;
    bool succeeds;  // the next saved alarm becomes pending
};

class StartUpPastAlarmTest : public MainWindowTest, public ::testing::WithParamInterface<StartUpPastCase> {};

TEST_P(StartUpPastAlarmTest, UpdateAlarmRunsForAPastAlarmOnly) {
    config.alDate = GetParam().date;
    config.alTime = GetParam().time;
    WriteFileBytes(dir.File("Alarms.txt"), std::string("Wake^") + GetParam().date + "^" + GetParam().time +
                                               "^\r\nNext^12/9/2026^6:30:00 AM^\r\n");
    Start();
    const PendingAlarm expected =
        GetParam().succeeds ? PendingAlarm{"Next", "12/9/2026", "6:30:00 AM"} : Pending();
    EXPECT_EQ(form.pendingAlarm, expected);
    EXPECT_EQ(Display("AL_DATE"), AlarmDateText(expected));
    EXPECT_EQ(form.AlarmSet1->text().toStdString(), "Alarm &On (" + AlarmDateText(expected) + ")");
}

INSTANTIATE_TEST_SUITE_P(Dates, StartUpPastAlarmTest,
                         ::testing::Values(StartUpPastCase{"12/6/2026", "11:00:00 PM", true},
                                           StartUpPastCase{"12/7/2026", "11:00:00 AM", true},
                                           StartUpPastCase{"12/7/2026", "1:00:00 PM", false},
                                           StartUpPastCase{"12/8/2026", "7:00:00 AM", false}));

enum class Change { MenuSwitch, HotAreaSwitch, AlarmsFile, AlarmsFileWhileLaunching };

class MoveOnTest : public MainWindowTest, public ::testing::WithParamInterface<Change> {};

// The pending alarm's second passed while the alarm was off: switching it on,
// or a window's change of "Alarms.txt", takes the next saved alarm ahead,
// and nothing rings late.
TEST_P(MoveOnTest, APassedAlarmMovesOnWithoutRinging) {
    config.alSet = "FALSE";
    WriteConfigKey("ALDATE", config.alDate = "12/7/2026");
    WriteConfigKey("ALTIME", config.alTime = "12:00:30 PM");
    WriteFileBytes(dir.File("Alarms.txt"), "Wake^12/7/2026^12:00:30 PM^\r\nNext^12/9/2026^6:30:00 AM^\r\n");
    Start();
    clock.Set(DateTime{2026, 12, 7, 12, 1, 0, 0});
    switch (GetParam()) {
        case Change::MenuSwitch: form.AlarmSet1Click(); break;
        case Change::HotAreaSwitch:
            form.SkinForm1->SetHotAreaState("AL_OFFON", true);
            Click("AL_OFFON");
            break;
        case Change::AlarmsFileWhileLaunching: form.Timer3->start(60000); [[fallthrough]];
        case Change::AlarmsFile: SavedAlarmsChanged(); break;
    }
    const PendingAlarm next{"Next", "12/9/2026", "6:30:00 AM"};
    const bool movesOn = GetParam() != Change::AlarmsFileWhileLaunching;
    EXPECT_EQ(form.pendingAlarm, movesOn ? next : Pending());
    EXPECT_EQ(ReadConfigKey("ALDATE"), movesOn ? next.date : config.alDate);
    form.Timer1Timer();
    EXPECT_TRUE(form.dueAlarms.empty());
}

INSTANTIATE_TEST_SUITE_P(Changes, MoveOnTest,
                         ::testing::Values(Change::MenuSwitch, Change::HotAreaSwitch, Change::AlarmsFile,
                                           Change::AlarmsFileWhileLaunching));

TEST_F(MainWindowTest, MissingSkinFileGivesTheBuiltInSkinSilently) {
    config.skin = dir.File("gone/Skin.ini");
    Start();
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(form.SkinForm1->ResourceName(), "Skin");
    EXPECT_TRUE(form.SkinForm1->SkinFile().empty());
}

TEST_F(MainWindowTest, MissingSkinComponentSaysSoAndLoadsTheBuiltInSkin) {
    CopySkin(dir.path(), false);
    config.skin = dir.File("Skin.ini");
    Start();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0], "Error: One or more of the skin components could not be found.  The default skin "
                                "will be loaded.");
    EXPECT_EQ(form.SkinForm1->ResourceName(), "Skin");
    EXPECT_TRUE(form.SkinForm1->SkinFile().empty());
}

// SKIN may name the file in another letter case; the load takes the file found.
TEST_F(MainWindowTest, GoodSkinFileLoads) {
    CopySkin(dir.path(), true);
    config.skin = dir.File("SKIN.INI");
    Start();
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(form.SkinForm1->SkinFile(), dir.File("Skin.ini"));
}

void PutLe32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

TEST_F(MainWindowTest, GoodPackedSkinLoads) {
    std::string packed(kPackedHeaderSize, '\0');
    packed.replace(0, 10, kPackedMagic, 10);
    packed[kPackedCountOffset] = 4;
    std::string bodies;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::string name = kSkinFiles[i];
        const std::string body = ReadFileBytes(kSkinSource + name);
        packed[kPackedNamesOffset + i * kPackedNameSize] = static_cast<char>(name.size());
        packed.replace(kPackedNamesOffset + i * kPackedNameSize + 1, name.size(), name);
        PutLe32(packed, kPackedSizesOffset + i * 4, static_cast<std::uint32_t>(body.size()));
        bodies += body;
    }
    WriteFileBytes(dir.File("Mine.skn"), packed + bodies);
    config.skin = dir.File("Mine.skn");
    Start();
    EXPECT_TRUE(prompts.shown.empty()) << prompts.shown[0];
    EXPECT_EQ(form.SkinForm1->SkinFile(), config.skin);
    EXPECT_EQ(form.SkinForm1->CurrentSkin().HotAreas.size(), 8u);
}

TEST_F(MainWindowTest, AlarmStateFromAlset) {
    Start();
    EXPECT_TRUE(form.AlarmOnFlag);
    EXPECT_TRUE(form.AlarmSet1->isChecked());
    EXPECT_TRUE(form.SkinForm1->GetHotAreaState("AL_OFFON"));
    EXPECT_EQ(Display("AL_HEADER"), "Wake");
    EXPECT_EQ(Display("AL_DATE"), "12/8/2026 at 7:00:00 AM");

    TForm1 other;
    config.alSet = "True";  // only "TRUE" switches it on
    other.FormCreate(config, Pending());
    EXPECT_FALSE(other.AlarmOnFlag);
    EXPECT_FALSE(other.AlarmSet1->isChecked());
    EXPECT_EQ(other.AlarmSet1->text().toStdString(), "Alarm &Off");
    EXPECT_FALSE(other.SkinForm1->GetHotAreaState("AL_OFFON"));
}

// --- commands and captions

TEST_F(MainWindowTest, MenuItemsInOrder) {
    std::vector<std::string> texts;
    for (QAction* action : form.PopupMenu1->actions())
        texts.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    EXPECT_EQ(texts, (std::vector<std::string>{"Alarm &Off", "&Alarm Settings", "-", "&Restore Tolvenmark Clock",
                                               "&Exit"}));
}

struct CommandCase {
    const char* id;
    const char* calls;
};

class HotAreaCommandTest : public MainWindowTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(HotAreaCommandTest, Dispatch) {
    Start();
    Click(GetParam().id);
    EXPECT_EQ(calls, GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(Ids, HotAreaCommandTest,
                         ::testing::Values(CommandCase{"EXIT", "end;"}, CommandCase{"ABOUT", "about;"},
                                           CommandCase{"AL_SETTINGS", "alarm settings;"},
                                           CommandCase{"PROG_SETTINGS", "program settings;"},
                                           CommandCase{"SNOOZE", "snooze;"}, CommandCase{"TIME", ""},
                                           CommandCase{"", ""}, CommandCase{"exit", ""}));

TEST_F(MainWindowTest, TrayMenuItems) {
    Start();
    form.AlarmSettings1->trigger();
    form.Exit1->trigger();
    EXPECT_EQ(calls, "alarm settings;end;");
}

TEST_F(MainWindowTest, HelpOpensTheGuideBesideTheProgramElseTheInstalledOne) {
    Start();
    Click("HELP");
    EXPECT_EQ(calls, "open " + HelpFilePath(dir.path(), QCoreApplication::applicationDirPath().toStdString()) + ";");
    EXPECT_NE(calls.find("/../share/tolvenmark-clock/TolvenHelp.html;"), std::string::npos) << calls;
    WriteFileBytes(dir.File("TolvenHelp.html"), "<html></html>");
    calls.clear();
    Click("HELP");
    EXPECT_EQ(calls, "open " + dir.File("TolvenHelp.html") + ";");
}

TEST_F(MainWindowTest, TheBuildFolderHoldsTheGuide) {
    EXPECT_TRUE(std::filesystem::is_regular_file(HelpFilePath("", TOLVENMARK_BINARY_DIR)));
}

struct OpenCase {
    bool guideExists;
    const char* openerTail;  // what the opener does after it logged its call
    const char* before;      // the warning around the guide's path; none when empty
    const char* after;
};

class OpenHelpFileTest : public MainWindowTest, public ::testing::WithParamInterface<OpenCase> {};

// Nothing waits for the opener; what it ends with decides whether the user hears of it.
TEST_P(OpenHelpFileTest, AFailureNamesTheGuide) {
    const std::string guide = dir.File("Tolven Help.html");
    if (GetParam().guideExists) WriteFileBytes(guide, "<html></html>");
    testing::RecordingScript opener(dir.path(), "opener", GetParam().openerTail);
    if (QProcess* process = OpenHelpFile(guide, opener.path())) {
        QSignalSpy ended(process, &QProcess::finished);
        ASSERT_TRUE(ended.wait(20000));
        EXPECT_EQ(opener.Calls()[0].args, std::vector<std::string>{guide});
    }
    const std::string warning = std::string("Warning: ") + GetParam().before + guide + GetParam().after;
    EXPECT_EQ(prompts.shown, *GetParam().before ? std::vector{warning} : std::vector<std::string>{});
}

constexpr char kNoProgram[] = "No program could open the help file ";
INSTANTIATE_TEST_SUITE_P(Openers, OpenHelpFileTest,
                         ::testing::Values(OpenCase{true, "exit 0", "", ""}, OpenCase{true, "kill -9 $$", kNoProgram, "."},
                                           OpenCase{false, "exit 0", "The help file ", " does not exist."}));

TEST_F(MainWindowTest, MinimizeWithoutTrayMinimisesTheWindow) {
    Start();
    form.show();
    Click("MINIMIZE");
    EXPECT_TRUE(form.windowState() & Qt::WindowMinimized);
    EXPECT_FALSE(form.isHidden());
    EXPECT_EQ(form.TrayIcon, nullptr);
}

TEST_F(MainWindowTest, MinimizeWithTrayHidesAndReadsTheSwitch) {
    form.TrayAvailable = [] { return true; };
    Start();
    form.show();
    WriteConfigKey("ALDATE", "12/10/2026");
    form.SkinForm1->SetHotAreaState("AL_OFFON", false);
    Click("MINIMIZE");
    EXPECT_TRUE(form.isHidden());
    ASSERT_NE(form.TrayIcon, nullptr);
    EXPECT_FALSE(form.AlarmOnFlag);
    EXPECT_EQ(form.AlarmSet1->text().toStdString(), "Alarm Off");
    EXPECT_EQ(form.pendingAlarm.date, "12/10/2026");
    EXPECT_EQ(form.TrayIcon->toolTip().toStdString(), "Tolvenmark Clock\nWake\nAlarm Off (12/10/2026 at 7:00:00 AM)");
    form.pendingAlarm.header = "Tea";  // as a dialog sets it; the tick tells
    form.AlarmSet1->trigger();
    form.Timer1Timer();
    EXPECT_EQ(form.TrayIcon->toolTip().toStdString(), "Tolvenmark Clock\nTea\nAlarm On (12/10/2026 at 7:00:00 AM)");
    form.RestoreAlarmClock2->trigger();
    EXPECT_FALSE(form.isHidden());
}

// A StatusNotifierItem host sends single activations only.
TEST_F(MainWindowTest, TrayActivationBringsTheClockBack) {
    form.TrayAvailable = [] { return true; };
    Start();
    form.show();
    Click("MINIMIZE");
    ASSERT_TRUE(form.isHidden());
    emit form.TrayIcon->activated(QSystemTrayIcon::Trigger);
    EXPECT_FALSE(form.isHidden());
    EXPECT_FALSE(form.TrayIcon->isVisible());
}

// A desktop clock is seldom the active window: its face keeps its colours and the time.
TEST_F(MainWindowTest, FaceStaysInColourAndCurrentWhileAnotherApplicationIsActive) {
    Start();
    form.show();
    TSkinForm::ApplicationActivated(false);
    const QImage before = form.SkinForm1->Face().copy();
    clock.Set(DateTime{2026, 12, 7, 12, 34, 56, 0});
    form.Timer1Timer();
    EXPECT_FALSE(form.SkinForm1->ShowsGrayFace());
    EXPECT_NE(form.SkinForm1->Face(), before);
    TSkinForm::ApplicationActivated(true);
}

TEST_F(MainWindowTest, WindowManagerMinimiseGoesToTheTray) {
    form.TrayAvailable = [] { return true; };
    Start();
    form.show();
    form.setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.isHidden());
    ASSERT_NE(form.TrayIcon, nullptr);
}

TEST_F(MainWindowTest, ClosedByTheWindowManagerItEndsAsExitDoes) {
    form.TrayAvailable = [] { return true; };
    Start();
    Click("MINIMIZE");
    QCloseEvent close;
    QCoreApplication::sendEvent(&form, &close);
    EXPECT_EQ(calls, "end;");
    EXPECT_FALSE(form.TrayIcon->isVisible());
}

TEST_F(MainWindowTest, DialogsOpenedAgainAndAgainAreFreed) {
    Start();
    const auto before = form.children().size();
    for (int i = 0; i < 1000; ++i) {
        auto* dialog = new QDialog(&form);
        QTimer::singleShot(0, dialog, &QDialog::accept);
        EXPECT_EQ(form.ShowModalAndFree(dialog), QDialog::Accepted);
    }
    EXPECT_EQ(form.children().size(), before);
}

TEST_F(MainWindowTest, AlarmOnOffHotAreaRereadsTheAlarmAndSetsTheCaption) {
    config.alSet = "";
    Start();
    WriteConfigKey("ALDATE", "12/24/2026");
    WriteConfigKey("ALTIME", "8:15:00 AM");
    form.SkinForm1->SetHotAreaState("AL_OFFON", true);  // as the press does
    Click("AL_OFFON");
    EXPECT_TRUE(form.AlarmOnFlag);
    EXPECT_TRUE(form.AlarmSet1->isChecked());
    EXPECT_EQ(form.AlarmSet1->text().toStdString(), "Alarm &On (12/24/2026 at 8:15:00 AM)");
    EXPECT_EQ(calls, "");
    EXPECT_EQ(ReadConfigKey("ALSET"), "TRUE");  // the next start begins as left
    form.SkinForm1->SetHotAreaState("AL_OFFON", false);
    Click("AL_OFFON");
    EXPECT_EQ(calls, "stop;");  // off is the Stop
    EXPECT_FALSE(form.AlarmOnFlag);
    EXPECT_FALSE(form.AlarmSet1->isChecked());
    EXPECT_EQ(form.AlarmSet1->text().toStdString(), "Alarm Off");
    EXPECT_EQ(ReadConfigKey("ALSET"), "FALSE");
}

TEST_F(MainWindowTest, AlarmMenuItemSwitches) {
    config.alSet = "";
    Start();
    WriteConfigKey("ALTIME", "9:00:00 AM");
    form.AlarmSet1->trigger();
    EXPECT_TRUE(form.AlarmOnFlag);
    EXPECT_TRUE(form.AlarmSet1->isChecked());
    EXPECT_TRUE(form.SkinForm1->GetHotAreaState("AL_OFFON"));
    EXPECT_EQ(form.AlarmSet1->text().toStdString(), "Alarm &On (12/8/2026 at 9:00:00 AM)");
    EXPECT_EQ(calls, "");
    form.AlarmSet1->trigger();
    EXPECT_EQ(calls, "stop;");
    EXPECT_FALSE(form.AlarmOnFlag);
    EXPECT_FALSE(form.AlarmSet1->isChecked());
    EXPECT_FALSE(form.SkinForm1->GetHotAreaState("AL_OFFON"));
    EXPECT_EQ(form.AlarmSet1->text().toStdString(), "Alarm &Off");
}

// --- the tick

TEST_F(MainWindowTest, TickWritesTheTextsAndFindsTheAlarmDue) {
    config.alDate = "12/7/2026";
    config.alTime = "12:00:02 PM";
    Start();
    for (int s = 1; s <= 3; ++s) {
        clock.Set({2026, 12, 7, 12, 0, s, 0});
        form.Timer1Timer();
    }
    EXPECT_EQ(form.ClockMode, "12");
    EXPECT_EQ(Display("TIME"), "12:00 ");
    EXPECT_EQ(Display("SECONDS"), "03");
    EXPECT_EQ(Display("AM_PM"), "PM");
    EXPECT_EQ(Display("DATE"), "December 7, 2026");
    EXPECT_EQ(settings.shortTimeFormat, "h:mm:ss AMPM");
    ASSERT_EQ(form.dueAlarms.size(), 1u);
    EXPECT_EQ(form.dueAlarms[0], (PendingAlarm{"Wake", "12/7/2026", "12:00:02 PM"}));

    int hooked = 0;
    form.SetupAlarmHook = [&] { ++hooked; };
    form.SetupAlarm();
    EXPECT_EQ(hooked, 1);
    EXPECT_EQ(form.dueAlarms.size(), 1u);
}

// The start-up check ran at 12:00:00, then the start took its time (a skin,
// a hung bus): the first tick covers every second since the check.
TEST_F(MainWindowTest, AnAlarmDueWhileTheClockStartedRingsLateOrIsToldMissed) {
    const std::tuple<const char*, int, int, const char*> cases[] = {  // alarm, first tick, rings, missed
        {"12:00:00 PM", 1, 1, ""}, {"12:00:05 PM", 9, 1, ""}, {"12:00:05 PM", 660, 0, "Missed alarm: Wake (12/7/2026 at 12:00:05 PM)"}};
    for (const auto& [alarm, tick, rings, missed] : cases) {
        TForm1 started;
        started.TrayAvailable = [] { return false; };
        clock.Set({2026, 12, 7, 12, 0, 0, 0});
        started.FormCreate(config, {"Wake", "12/7/2026", alarm});
        clock.Set({2026, 12, 7, 12, tick / 60, tick % 60, 0});
        started.Timer1Timer();
        EXPECT_EQ(started.dueAlarms.size(), static_cast<std::size_t>(rings)) << alarm;
        EXPECT_EQ(started.lastNotification, missed);
    }
}

TEST_F(MainWindowTest, AlarmFoundLateIsMissedAndTheNextOneTaken) {
    config.alDate = "12/7/2026";
    config.alTime = "12:00:05 PM";
    WriteFileBytes(dir.File("Alarms.txt"), "Wake^12/7/2026^12:00:05 PM^\r\nNext^12/9/2026^6:30:00 AM^\r\n");
    Start();
    form.Timer1Timer();
    clock.Set({2026, 12, 7, 12, 20, 0, 0});  // a suspended laptop wakes up
    form.Timer1Timer();
    EXPECT_TRUE(form.dueAlarms.empty());
    EXPECT_EQ(form.lastNotification, "Missed alarm: Wake (12/7/2026 at 12:00:05 PM)");
    EXPECT_EQ(form.pendingAlarm, (PendingAlarm{"Next", "12/9/2026", "6:30:00 AM"}));
    EXPECT_EQ(ReadFileBytes(dir.File("Alarms.txt")), "Next^12/9/2026^6:30:00 AM^\r\n");
}

TEST_F(MainWindowTest, WithoutATrayAMissedAlarmIsToldInABoxThatDoesNotWait) {
    config.alDate = "12/7/2026";
    config.alTime = "12:00:05 PM";
    WriteFileBytes(dir.File("Alarms.txt"), "Wake^12/7/2026^12:00:05 PM^\r\nAlso^12/7/2026^12:10:00 PM^\r\n"
                                           "Next^12/9/2026^6:30:00 AM^\r\n");
    const QByteArray scripted = qgetenv("TOLVENMARK_PROMPTS");
    qunsetenv("TOLVENMARK_PROMPTS");
    Start();
    form.Timer1Timer();
    clock.Set({2026, 12, 7, 12, 20, 0, 0});
    form.Timer1Timer();  // returns: the box is not modal
    qputenv("TOLVENMARK_PROMPTS", scripted);
    const auto boxes = form.findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0]->isVisible());
    EXPECT_FALSE(boxes[0]->isModal());
    EXPECT_EQ(boxes[0]->text().toStdString(), "Missed alarm: Wake (12/7/2026 at 12:00:05 PM) and 1 more");
    EXPECT_EQ(form.pendingAlarm, (PendingAlarm{"Next", "12/9/2026", "6:30:00 AM"}));
}

TEST_F(MainWindowTest, UnreadableAlarmTimeIsReportedOnceAndNeverRings) {
    config.alDate = "12/7/2026";
    config.alTime = "12:0x:01";
    Start();
    for (int s = 0; s < 3; ++s) {
        clock.Set({2026, 12, 7, 12, 0, s, 0});
        form.Timer1Timer();
    }
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0], "Error: '12:0x:01' is not a valid time");
    EXPECT_TRUE(form.dueAlarms.empty());
}

TEST_F(MainWindowTest, EmptyAlarmTimeShowsSomeOtherTime) {
    config.alDate = "12/7/2026";
    config.alTime = "";
    Start();
    form.Timer1Timer();
    EXPECT_EQ(Display("AL_DATE"), "12/7/2026 at 12:00:00 AM");
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(form.pendingAlarm.time.empty());
}

// A first start shows no alarm until one is set; a waiting snooze shows when it comes back.
TEST_F(MainWindowTest, AlarmLineShowsNothingUnsetAndTheSnoozeWhileItWaits) {
    config.alDate = "";
    config.alTime = "";
    Start();
    form.Timer1Timer();
    EXPECT_EQ(Display("AL_DATE"), "");
    EXPECT_EQ(form.AlarmSet1->text().toStdString(), "Alarm &On");
    form.Timer2->start(5 * 60 * 1000);
    form.NoteSnooze();
    form.Timer1Timer();
    EXPECT_EQ(Display("AL_DATE"), "Snoozed until 12:05 PM");
    form.Timer2->stop();
    form.NoteSnooze();
    form.Timer1Timer();
    EXPECT_EQ(Display("AL_DATE"), "");
}

}  // namespace
}  // namespace tolvenmark
