#include "clock/succession.h"

#include <map>
#include <optional>

#include <gtest/gtest.h>

#include "clock/config.h"
#include "platform/conversion_error.h"
#include "platform/folders.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

class RecordingView final : public AlarmView {
public:
    void SetDisplayText(const std::string& id, const std::string& text) override { shown[id] = text; }
    bool AlarmMenuChecked() const override { return checked; }
    void SetAlarmMenuCaption(const std::string& text) override { caption = text; }

    std::map<std::string, std::string> shown;
    bool checked = true;
    std::string caption = "untouched";
};

const std::string kYesterday = "Yesterday^4/19/2003^7:00:00 AM^\r\n";
const std::string kToday = "Today^4/20/2003^7:00:00 AM^\r\n";
const std::string kTomorrow = "Tomorrow^4/21/2003^7:00:00 AM^\r\n";

class SuccessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetConfigPath(dir.File("TOLVENMARKCLOCK.INI"));
        WriteFileBytes(ConfigPath(), "[ALARM]\r\nALHEADER=Today\r\nALDATE=4/20/2003\r\nALTIME=7:00:00 AM\r\n");
    }
    void TearDown() override { SetConfigPath(""); }

    void Switches(const char* change, const char* remove) {
        WriteConfigKey("CHANGEALARM", change);
        WriteConfigKey("DELETEALARM", remove);
    }
    void Update() { UpdateAlarm(pending, dir.path(), clock, settings, view); }
    PendingAlarm Stored() const {
        return {ReadConfigKey("ALHEADER"), ReadConfigKey("ALDATE"), ReadConfigKey("ALTIME")};
    }

    TempDir dir;
    std::string alarms = dir.File("Alarms.txt");
    // One second after today's 7:00:00 AM alarm went off.
    FixedClock clock{{2003, 4, 20, 7, 0, 1}};
    RegionalSettings settings;  // month/day/year, 12-hour times
    RecordingView view;
    PendingAlarm pending{"Today", "4/20/2003", "7:00:00 AM"};
};

TEST_F(SuccessionTest, AfterALaunchTheSwitchesDecideFileAndPendingAlarm) {
    const PendingAlarm launched = pending;
    const PendingAlarm tomorrow{"Tomorrow", "4/21/2003", "7:00:00 AM"};
    struct Case {
        const char* change;
        const char* remove;
        std::string fileAfter;
        PendingAlarm pendingAfter;
    } cases[] = {
        {"Yes", "Yes", kYesterday + kTomorrow, tomorrow},
        {"Yes", "No", kYesterday + kToday + kTomorrow, tomorrow},
        {"No", "Yes", kYesterday + kTomorrow, launched},
        {"No", "No", kYesterday + "\r\n" + kToday + kTomorrow, launched},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("CHANGEALARM ") + c.change + ", DELETEALARM " + c.remove);
        Switches(c.change, c.remove);
        WriteConfigKey("ALHEADER", launched.header);
        WriteConfigKey("ALDATE", launched.date);
        WriteConfigKey("ALTIME", launched.time);
        pending = launched;
        view = RecordingView{};
        WriteFileBytes(alarms, kYesterday + "\r\n" + kToday + kTomorrow);

        Update();

        EXPECT_EQ(ReadFileBytes(alarms), c.fileAfter);
        EXPECT_EQ(pending, c.pendingAfter);
        EXPECT_EQ(Stored(), c.pendingAfter);
        if (c.pendingAfter == launched) {
            EXPECT_TRUE(view.shown.empty());
            EXPECT_EQ(view.caption, "untouched");
        } else {
            EXPECT_EQ(view.shown["AL_HEADER"], "Tomorrow");
            EXPECT_EQ(view.shown["AL_DATE"], "4/21/2003 at 7:00:00 AM");
            EXPECT_EQ(view.caption, "Alarm &On (4/21/2003 at 7:00:00 AM)");
        }
    }
}

TEST_F(SuccessionTest, MenuCaptionChangesOnlyWhenTheSwitchIsChecked) {
    Switches("Yes", "Yes");
    WriteFileBytes(alarms, kToday + kTomorrow);
    view.checked = false;
    Update();
    EXPECT_EQ(view.shown["AL_DATE"], "4/21/2003 at 7:00:00 AM");
    EXPECT_EQ(view.caption, "untouched");
}

TEST_F(SuccessionTest, PendingAlarmNotInTheFile) {
    struct Case {
        const char* proves;
        PendingAlarm before;
        std::string file;
        PendingAlarm after;
    } cases[] = {
        {"the earliest ahead, not the first in the file",
         {"Manual", "4/22/2003", "9:00:00 AM"},
         kYesterday + "Later^4/25/2003^6:00:00 AM^\r\n" + "Next^4/23/2003^6:00:00 AM^\r\n",
         {"Next", "4/23/2003", "6:00:00 AM"}},
        {"an earlier entry of today that passed is not put back",
         {"Manual", "4/20/2003", "8:30:00 AM"},
         "Passed^4/20/2003^6:00:00 AM^\r\nComing^4/20/2003^9:00:00 AM^\r\n",
         {"Coming", "4/20/2003", "9:00:00 AM"}},
        {"everything past: judged by the pending date alone",
         {"Manual", "4/18/2003", "9:00:00 AM"},
         "Old^4/17/2003^6:00:00 AM^\r\n" + kYesterday,
         {"Yesterday", "4/19/2003", "7:00:00 AM"}},
        {"nothing on or after the pending date: unchanged",
         {"Manual", "4/22/2003", "9:00:00 AM"},
         kYesterday,
         {"Manual", "4/22/2003", "9:00:00 AM"}},
    };
    Switches("Yes", "Yes");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.proves);
        pending = c.before;
        WriteFileBytes(alarms, c.file);
        Update();
        EXPECT_EQ(pending, c.after);
        EXPECT_EQ(ReadFileBytes(alarms), c.file);  // nothing matched, nothing rewritten
    }
}

// Lines appended later (a second series) may ring sooner: the earliest ahead
// is taken, equal ones in file order, and no other line is touched.
TEST_F(SuccessionTest, TheEarliestSavedAlarmAheadIsNext) {
    Switches("Yes", "Yes");
    const std::string rest = "Pill^4/21/2003^9:03:00 PM^\r\nGym^4/21/2003^7:03:00 AM^\r\n"
                             "Run^4/21/2003^7:03:00 AM^\r\nBroken^31.4.2003^7:00:00 AM^\r\n";
    WriteFileBytes(alarms, "Pill^4/19/2003^9:03:00 PM^\r\n" + kToday + rest);
    Update();
    EXPECT_EQ(pending, (PendingAlarm{"Gym", "4/21/2003", "7:03:00 AM"}));
    EXPECT_EQ(ReadFileBytes(alarms), "Pill^4/19/2003^9:03:00 PM^\r\n" + rest);
}

// A window changed the file while the pending alarm is still ahead (clock at
// 7:00:01 AM): an earlier saved alarm goes first, a hand-set one stays, one
// whose line the user edited away gives way to the next ahead.
TEST_F(SuccessionTest, AnEarlierSavedAlarmIsTakenAfterTheFileChanged) {
    const std::string gym = "Gym^4/21/2003^6:00:00 AM^\r\n", pillLine = "Pill^4/21/2003^9:00:00 PM^\r\n";
    const PendingAlarm pill{"Pill", "4/21/2003", "9:00:00 PM"}, own{"Own", "4/22/2003", "8:00:00 AM"}, none;
    const std::optional<PendingAlarm> takesGym = PendingAlarm{"Gym", "4/21/2003", "6:00:00 AM"};
    const PendingAlarm tomorrow{"Tomorrow", "4/21/2003", "7:00:00 AM"};
    struct Case {
        const char* proves;
        const char* change;
        PendingAlarm pending;
        bool listed;
        std::string file;
        std::optional<PendingAlarm> taken;
        bool listedAfter;
    } cases[] = {
        {"a series appended later", "Yes", pill, false, pillLine + gym, takesGym, true},
        {"no alarm set yet", "Yes", none, false, kYesterday + gym, takesGym, false},
        {"set by hand, in no line", "Yes", own, false, gym, std::nullopt, false},
        {"its line edited away", "Yes", own, true, kTomorrow, tomorrow, false},
        {"its line deleted, none ahead", "Yes", own, true, kYesterday, PendingAlarm{}, false},
        {"nothing earlier ahead", "Yes", takesGym.value(), true, gym + pillLine, std::nullopt, true},
        {"only the past is earlier", "Yes", takesGym.value(), false, kToday + gym, std::nullopt, true},
        {"CHANGEALARM No", "No", pill, false, pillLine + gym, std::nullopt, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.proves);
        Switches(c.change, "Yes");
        WriteFileBytes(alarms, c.file);
        bool listed = c.listed;
        EXPECT_EQ(EarlierSavedAlarm(c.pending, listed, dir.path(), clock.Now(), settings), c.taken);
        EXPECT_EQ(listed, c.listedAfter);
        EXPECT_EQ(ReadFileBytes(alarms), c.file);
    }
}

TEST_F(SuccessionTest, EverySavedAlarmInThePastKeepsTheLaunchedOne) {
    Switches("Yes", "Yes");
    const std::string earlier = "Earlier^4/20/2003^6:00:00 AM^\r\n";
    WriteFileBytes(alarms, kYesterday + kToday + earlier);
    Update();
    EXPECT_EQ(pending, (PendingAlarm{"Today", "4/20/2003", "7:00:00 AM"}));
    EXPECT_EQ(Stored(), pending);
    EXPECT_TRUE(view.shown.empty());
    EXPECT_EQ(ReadFileBytes(alarms), kYesterday + earlier);
}

TEST_F(SuccessionTest, WithoutAlarmsFileNothingChanges) {
    Switches("Yes", "Yes");
    Update();
    EXPECT_EQ(pending, (PendingAlarm{"Today", "4/20/2003", "7:00:00 AM"}));
    EXPECT_TRUE(view.shown.empty());
    EXPECT_FALSE(FileExists(alarms));
}

TEST_F(SuccessionTest, UnreadableLaterDateStopsButTheLaunchedAlarmIsGone) {
    Switches("Yes", "Yes");
    WriteFileBytes(alarms, kToday + "Broken^31.4.2003^7:00:00 AM^\r\n" + kTomorrow);
    try {
        Update();
        ADD_FAILURE() << "no conversion error";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'31.4.2003' is not a valid date");
    }
    EXPECT_EQ(ReadFileBytes(alarms), "Broken^31.4.2003^7:00:00 AM^\r\n" + kTomorrow);
    EXPECT_EQ(pending.date, "4/20/2003");
}

TEST_F(SuccessionTest, ManyLinesAreAllKept) {
    Switches("Yes", "Yes");
    std::string file = kToday;
    for (int i = 0; i < 1200; ++i) file += "Later " + std::to_string(i) + "^5/1/2003^7:00:00 AM^\r\n";
    WriteFileBytes(alarms, file);
    Update();
    EXPECT_EQ(pending.header, "Later 0");
    EXPECT_EQ(ReadFileBytes(alarms), file.substr(kToday.size()));
}

// The step goes on in memory whatever its files do, names what it could not
// write or read whole, and leaves the launched line to a later rewrite.
TEST_F(SuccessionTest, UnwritableFileStillMovesTheClockOn) {
    const std::string longLine = "Flood" + std::string(200000, 'x') + "^4/21/2003^6:00:00 AM^\r\n";
    const PendingAlarm tomorrow{"Tomorrow", "4/21/2003", "7:00:00 AM"};
    struct Case {
        std::string file;
        rlim_t sizeLimit;
        std::vector<std::string> said;
        const char* proves;
    } cases[] = {
        {kYesterday + kToday + kTomorrow, 16,
         {"The file : " + alarms + " cannot be written.\r\nDisk full",
          "The file : " + ConfigPath() + " cannot be written.\r\nDisk full"},
         "a full disk"},
        {kToday + longLine + kTomorrow, RLIM_INFINITY,
         {"Line 2 of the file : " + alarms + " is longer than 4096 characters; the file was left as it is."},
         "a line too long to read"},
    };
    Switches("Yes", "Yes");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.proves);
        pending = {"Today", "4/20/2003", "7:00:00 AM"};
        WriteFileBytes(alarms, c.file);
        try {
            testing::ScopedFileSizeLimit limit(c.sizeLimit);
            Update();
            ADD_FAILURE() << "nothing said";
        } catch (const OperationError& e) {
            std::string said;
            for (const auto& line : c.said) said += (said.empty() ? "" : "\r\n") + line;
            EXPECT_EQ(e.what(), said);
        }
        EXPECT_EQ(pending, tomorrow);
        EXPECT_EQ(view.shown["AL_DATE"], "4/21/2003 at 7:00:00 AM");
        EXPECT_EQ(ReadFileBytes(alarms), c.file);
    }
    // Tomorrow's launch, with room on the disk, takes today's line along.
    clock.Set({2003, 4, 21, 7, 0, 1});
    WriteFileBytes(alarms, kYesterday + kToday + kTomorrow);
    Update();
    EXPECT_EQ(ReadFileBytes(alarms), kYesterday);
}

}  // namespace
}  // namespace tolvenmark
