#include "bin/storage_bin.h"

#include <gtest/gtest.h>

#include "support/scripted_prompts.h"

namespace tolvenmark {
namespace {

// Validation and packing reach every row, not only the first thousand.
TEST(StorageBinRows, ValidationAndPackingCoverRowsPastOneThousand) {
    SavedAlarmList rows(1200, SavedAlarm{"keep", "4/20/2003", "7:00:00 AM"});
    rows[1150] = {"old", "4/1/2003", "7:00:00 AM"};
    testing::ScriptedPrompts prompts;
    EXPECT_EQ(ValidateSavedAlarms(rows, {2003, 4, 15, 9, 0, 0, 0}, RegionalSettings{}, prompts), 1);
    EXPECT_EQ(prompts.shown.back(), "Confirm: Delete the following alarm entry?\r\nold [4/1/2003 at 7:00:00 AM]");
    const SavedAlarmList packed = PackAlarmRows(rows);
    EXPECT_EQ(packed.size(), 1199u);
    EXPECT_EQ(packed.back().header, "keep");
}

}  // namespace
}  // namespace tolvenmark
