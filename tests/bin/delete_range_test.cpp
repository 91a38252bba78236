#include "bin/delete_range.h"

#include <QLineEdit>
#include <gtest/gtest.h>

#include "bin/delete_range_form.h"
#include "bin/dialog_env.h"
#include "platform/conversion_error.h"

namespace tolvenmark {
namespace {

using testing::DialogEnv;

SavedAlarmList FiveAlarms() {
    return {{"a", "4/10/2003", "7:00:00 AM"},
            {"b", "4/20/2003", "7:00:00 AM"},
            {"no date", "", "8:00:00 AM"},
            {"c", "4/20/2003", "11:59:59 PM"},
            {"", "4/21/2003", "7:00:00 AM"},
            {"d", "5/1/2003", "6:00:00 AM"}};
}

struct RangeCase {
    const char* start;
    const char* end;
    const char* question;
    std::vector<std::string> left;  // headers of the rows still holding a date
    const char* report;
};

class DeleteRangeTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(DeleteRangeTest, AsksDeletesAndReports) {
    const RangeCase& c = GetParam();
    DialogEnv env;
    SavedAlarmList rows = FiveAlarms();
    TForm11 form(nullptr, rows);
    form.Edit1->setText(c.start);
    form.Edit2->setText(c.end);
    form.Button3Click();
    ASSERT_EQ(env.prompts.shown.size(), 2u);
    EXPECT_EQ(env.prompts.shown[0], std::string("Confirm: ") + c.question);
    EXPECT_EQ(env.prompts.shown[1], std::string("Tolvenmark Clock: ") + c.report);
    std::vector<std::string> left;
    for (const auto& row : rows)
        if (!row.date.empty()) left.push_back(row.header);
    EXPECT_EQ(left, c.left);
    EXPECT_EQ(rows[2].header, "no date") << "rows without a date are skipped";
}

INSTANTIATE_TEST_SUITE_P(
    FourCases, DeleteRangeTest,
    ::testing::Values(
        RangeCase{"", "", "ALL Scheduling data will be deleted.  Continue?", {}, "All 5 saved alarms were deleted."},
        RangeCase{"", "4/20/2003", "All saved alarms before 4/20/2003 will be deleted.  Continue?", {"", "d"},
                  "There were 3 saved alarms were deleted."},
        RangeCase{"4/21/2003", "", "All saved alarms after 4/21/2003 will be deleted.  Continue?", {"a", "b", "c"},
                  "There were 2 saved alarms were deleted."},
        RangeCase{"4/21/2003", "4/30/2003",
                  "All saved alarms between 4/21/2003 and 4/30/2003 will be deleted.  Continue?",
                  {"a", "b", "c", "d"}, "There was 1 saved alarm deleted."},
        RangeCase{"6/1/2003", "6/30/2003", "All saved alarms between 6/1/2003 and 6/30/2003 will be deleted.  Continue?",
                  {"a", "b", "c", "", "d"}, "There were no saved alarms deleted."}));

TEST(TForm11, SecondRunOnTheSameVisitFindsNothingLeft) {
    DialogEnv env;
    SavedAlarmList rows = FiveAlarms();
    TForm11 form(nullptr, rows);
    form.Button3Click();
    form.Button3Click();
    EXPECT_EQ(env.prompts.shown.back(), "Tolvenmark Clock: There were no saved alarms deleted.");
}

TEST(TForm11, NoAtTheQuestionDeletesNothingAndReportsNothing) {
    DialogEnv env;
    env.prompts.answers = {ConfirmAnswer::No};
    SavedAlarmList rows = FiveAlarms();
    TForm11 form(nullptr, rows);
    form.Button3Click();
    EXPECT_EQ(env.prompts.shown.size(), 1u);
    EXPECT_EQ(rows, FiveAlarms());
}

TEST(TForm11, EndOneDayBeforeStartEmptiesOnlyTheEndingField) {
    DialogEnv env;
    SavedAlarmList rows = FiveAlarms();
    TForm11 form(nullptr, rows);
    form.Edit1->setText("4/21/2003");
    form.Edit2->setText("4/20/2003");
    form.Button3Click();
    EXPECT_EQ(env.prompts.shown, std::vector<std::string>{"Error: The Ending Date cannot be before the Start Date."});
    EXPECT_EQ(form.Edit1->text(), "4/21/2003");
    EXPECT_EQ(form.Edit2->text(), "");
    EXPECT_EQ(rows, FiveAlarms());
}

TEST(DeleteAlarmRange, UnreadableDateStopsWithEarlierRowsDeleted) {
    SavedAlarmList rows = {{"a", "4/10/2003", ""}, {"x", "someday", ""}, {"b", "4/11/2003", ""}};
    EXPECT_THROW(DeleteAlarmRange(rows, "4/1/2003", "", RegionalSettings{}, 2003), ConversionError);
    EXPECT_EQ(rows[0].date, "");
    EXPECT_EQ(rows[2].date, "4/11/2003");
}

}  // namespace
}  // namespace tolvenmark
