#include "clock/tray_restore.h"

#include <gtest/gtest.h>

namespace tolvenmark {
namespace {

struct TrayCase {
    const char* name;
    bool sendsDoubleClicks;
    TrayClick first, second;
    int apartMs;
    int restores;  // of the two
};

class TrayRestoreTest : public ::testing::TestWithParam<TrayCase> {};

// Each click the user means brings the clock back once, whichever tray reports it.
TEST_P(TrayRestoreTest, OneRestorePerClickTheUserMeans) {
    const TrayCase& c = GetParam();
    TrayRestore restore;
    const int restores = restore.Restores(c.first, c.sendsDoubleClicks, 100000, 400) +
                         restore.Restores(c.second, c.sendsDoubleClicks, 100000 + c.apartMs, 400);
    EXPECT_EQ(restores, c.restores) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Trays, TrayRestoreTest,
    ::testing::Values(TrayCase{"XEmbed double-click", true, TrayClick::Single, TrayClick::Double, 200, 1},
                      TrayCase{"XEmbed single clicks", true, TrayClick::Single, TrayClick::Single, 2000, 0},
                      TrayCase{"SNI activation", false, TrayClick::Single, TrayClick::Other, 2000, 1},
                      TrayCase{"SNI host sending two", false, TrayClick::Single, TrayClick::Single, 200, 1},
                      TrayCase{"SNI host adding a double", false, TrayClick::Single, TrayClick::Double, 200, 1},
                      TrayCase{"SNI two activations", false, TrayClick::Single, TrayClick::Single, 2000, 2},
                      TrayCase{"menu or middle click", false, TrayClick::Other, TrayClick::Other, 2000, 0}));

}  // namespace
}  // namespace tolvenmark
