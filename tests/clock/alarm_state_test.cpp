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

using testing::ReadFileBytes;
using testing::WriteFileBytes;

class OwnerView final : public AlarmView {
public:
    void SetDisplayText(const std::string& id, const std::string& text) override { shown[id] = text; }
    bool AlarmMenuChecked() const override { return true; }
    void SetAlarmMenuCaption(const std::string& text) override { shown["menu"] = text; }
    std::map<std::string, std::string> shown;
};

const std::string kOwnerBefore = "[ALARM]\nALSET=TRUE\nALHEADER=Old\nALDATE=1/1/2027\nALTIME=7:00:00 AM\n";
const PendingAlarm kOwnerOld{"Old", "1/1/2027", "7:00:00 AM"};
const PendingAlarm kOwnerNew{"Gym", "12/9/2026", "6:30:00 AM"};

// One table for the owner's writes: each is one replacement of the file, on a
// sound disk and on a full one (nothing half-written, failure reported).
struct OwnerWriteCase {
    const char* what;
    std::function<bool(AlarmState&)> act;
    bool fullDisk;
    bool reported;  // the call's answer: written
    std::string fileAfter;
    PendingAlarm pendingAfter;
    bool onAfter;
    std::string shownDate;  // AL_DATE afterwards ("-" for not shown)
};

class AlarmStateTest : public ::testing::TestWithParam<OwnerWriteCase> {};

TEST_P(AlarmStateTest, WritesInOnePieceAndSaysWhenItCouldNot) {
    const OwnerWriteCase& c = GetParam();
    testing::TempDir dir;
    SetConfigPath(dir.File("TOLVENMARKCLOCK.INI"));
    WriteFileBytes(ConfigPath(), kOwnerBefore);
    OwnerView view;
    AlarmState state(&view);
    state.pending = kOwnerOld;
    state.on = true;
    bool answer = false;
    {
        testing::ScopedFileSizeLimit limit(c.fullDisk ? 16 : RLIM_INFINITY);
        try {
            answer = c.act(state);
        } catch (const OperationError& e) {
            EXPECT_NE(std::string(e.what()).find("cannot be written"), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(answer, c.reported);
    EXPECT_EQ(ReadFileBytes(ConfigPath()), c.fileAfter);
    EXPECT_EQ(state.pending, c.pendingAfter);
    EXPECT_EQ(state.on, c.onAfter);
    EXPECT_EQ(view.shown.count("AL_DATE") ? view.shown["AL_DATE"] : "-", c.shownDate);
    SetConfigPath("");
}

const std::string kOwnerTaken = "[ALARM]\nALSET=TRUE\nALHEADER=Gym\nALDATE=12/9/2026\nALTIME=6:30:00 AM\n";
const std::string kOwnerNewAt = "12/9/2026 at 6:30:00 AM";

INSTANTIATE_TEST_SUITE_P(
    Writes, AlarmStateTest,
    ::testing::Values(
        OwnerWriteCase{"take", [](AlarmState& s) { return s.Take(kOwnerNew); }, false, true, kOwnerTaken, kOwnerNew, true, kOwnerNewAt},
        // The clock still rings what the user sees; the caller tells the user.
        OwnerWriteCase{"take on a full disk", [](AlarmState& s) { return s.Take(kOwnerNew); }, true, false, kOwnerBefore, kOwnerNew, true,
                  kOwnerNewAt},
        OwnerWriteCase{"checked take", [](AlarmState& s) { s.TakeChecked(kOwnerNew); return true; }, false, true, kOwnerTaken, kOwnerNew,
                  true, kOwnerNewAt},
        // A script's request is refused whole.
        OwnerWriteCase{"checked take on a full disk", [](AlarmState& s) { s.TakeChecked(kOwnerNew); return true; }, true, false,
                  kOwnerBefore, kOwnerOld, true, "-"},
        OwnerWriteCase{"switch off", [](AlarmState& s) { return s.Switch(false); }, false, true,
                  "[ALARM]\nALSET=FALSE\nALHEADER=Old\nALDATE=1/1/2027\nALTIME=7:00:00 AM\n", kOwnerOld, false, "-"},
        OwnerWriteCase{"switch off on a full disk", [](AlarmState& s) { return s.Switch(false); }, true, false, kOwnerBefore,
                  kOwnerOld, false, "-"}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& ch : name) if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

TEST(AlarmStateShowTest, NoAlarmSetShowsNothing) {
    OwnerView view;
    AlarmState state(&view);
    state.Show();
    EXPECT_EQ(view.shown["AL_DATE"], "");
    EXPECT_EQ(view.shown["menu"], "Alarm &On");
}

}  // namespace
}  // namespace tolvenmark
