#include "clock/alarm_state.h"

#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "clock/config.h"
#include "platform/conversion_error.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

class OwnerView final : public AlarmView {
public:
    void SetDisplayText(const std::string& id, const std::string& text) override { shown[id] = text; }
    bool AlarmMenuChecked() const override { return true; }
    void SetAlarmMenuCaption(const std::string& text) override { shown["menu"] = text; }
    std::map<std::string, std::string> shown;
};

const std::string kOwnerBefore = "[ALARM]\nALSET=TRUE\nALHEADER=Old\nALDATE=1/1/2027\nALTIME=7:00:00 AM\n";
const std::string kOwnerTaken = "[ALARM]\nALSET=TRUE\nALHEADER=Gym\nALDATE=12/9/2026\nALTIME=6:30:00 AM\n";
const std::string kOwnerOff = "[ALARM]\nALSET=FALSE\nALHEADER=Old\nALDATE=1/1/2027\nALTIME=7:00:00 AM\n";
const PendingAlarm kOwnerOld{"Old", "1/1/2027", "7:00:00 AM"};
const PendingAlarm kOwnerNew{"Gym", "12/9/2026", "6:30:00 AM"};

// Each write of the owner is one replacement of the file, on a sound disk and
// on a full one: nothing half-written, the failure reported.
struct OwnerWriteCase {
    std::function<bool(AlarmState&)> act;
    bool fullDisk, written;
    std::string fileAfter;
    PendingAlarm pendingAfter;
    bool onAfter;
    std::string shownDate;  // AL_DATE afterwards, "-" when not shown
};

class AlarmStateTest : public ::testing::TestWithParam<OwnerWriteCase> {};

TEST_P(AlarmStateTest, WritesInOnePieceAndSaysWhenItCouldNot) {
    const OwnerWriteCase& c = GetParam();
    testing::TempDir dir;
    SetConfigPath(dir.File("TOLVENMARKCLOCK.INI"));
    testing::WriteFileBytes(ConfigPath(), kOwnerBefore);
    OwnerView view;
    AlarmState state(&view);
    state.pending = kOwnerOld;
    state.on = true;
    bool written = false;
    try {
        testing::ScopedFileSizeLimit limit(c.fullDisk ? 16 : RLIM_INFINITY);
        written = c.act(state);
    } catch (const OperationError& e) {
        EXPECT_NE(std::string(e.what()).find("cannot be written"), std::string::npos) << e.what();
    }
    EXPECT_EQ(written, c.written);
    EXPECT_EQ(testing::ReadFileBytes(ConfigPath()), c.fileAfter);
    EXPECT_EQ(state.pending, c.pendingAfter);
    EXPECT_EQ(state.on, c.onAfter);
    EXPECT_EQ(view.shown.count("AL_DATE") ? view.shown["AL_DATE"] : "-", c.shownDate);
    SetConfigPath("");
}

const auto kTake = [](AlarmState& s) { return s.Take(kOwnerNew); };
const auto kTakeChecked = [](AlarmState& s) { return s.TakeChecked(kOwnerNew), true; };
const auto kSwitchOff = [](AlarmState& s) { return s.Switch(false); };
const std::string kOwnerNewAt = "12/9/2026 at 6:30:00 AM";

INSTANTIATE_TEST_SUITE_P(
    Writes, AlarmStateTest,
    ::testing::Values(OwnerWriteCase{kTake, false, true, kOwnerTaken, kOwnerNew, true, kOwnerNewAt},
                      // The clock still rings what the user sees; the caller tells the user.
                      OwnerWriteCase{kTake, true, false, kOwnerBefore, kOwnerNew, true, kOwnerNewAt},
                      OwnerWriteCase{kTakeChecked, false, true, kOwnerTaken, kOwnerNew, true, kOwnerNewAt},
                      // A script's request is refused whole.
                      OwnerWriteCase{kTakeChecked, true, false, kOwnerBefore, kOwnerOld, true, "-"},
                      OwnerWriteCase{kSwitchOff, false, true, kOwnerOff, kOwnerOld, false, "-"},
                      OwnerWriteCase{kSwitchOff, true, false, kOwnerBefore, kOwnerOld, false, "-"}));

}  // namespace
}  // namespace tolvenmark
