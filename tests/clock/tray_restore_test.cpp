#include "clock/tray_restore.h"

#include <gtest/gtest.h>

namespace tolvenmark {
namespace {

struct TrayCase {
    bool sendsDoubleClicks;
    TrayClick first, second;
    int apartMs;
    int restores;  // of the two
};

class TrayRestoreTest : public ::testing::TestWithParam<TrayCase> {};

// Each click the user means brings the clock back once, whichever tray reports it.
TEST_P(TrayRestoreTest, OneRestorePerClickTheUserMeans) {
    const TrayCase& c = GetParam();
    TrayRestore tray;
    EXPECT_EQ(tray.Restores(c.first, c.sendsDoubleClicks, 9000, 400) +
                  tray.Restores(c.second, c.sendsDoubleClicks, 9000 + c.apartMs, 400), c.restores);
}

INSTANTIATE_TEST_SUITE_P(Trays, TrayRestoreTest,
                         ::testing::Values(TrayCase{true, TrayClick::Single, TrayClick::Double, 200, 1},    // XEmbed
                                           TrayCase{true, TrayClick::Single, TrayClick::Single, 2000, 0},
                                           TrayCase{false, TrayClick::Single, TrayClick::Double, 200, 1},  // SNI
                                           TrayCase{false, TrayClick::Single, TrayClick::Single, 2000, 2},
                                           TrayCase{false, TrayClick::Other, TrayClick::Other, 2000, 0}));

}  // namespace
}  // namespace tolvenmark
