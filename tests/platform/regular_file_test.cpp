#include <cerrno>

#include <gtest/gtest.h>

#include "platform/regular_file.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

// Every file size cap is "at most": a file of exactly the cap is read whole,
// whether it ends inside one read or on a read's boundary.
class FileCapTest : public ::testing::TestWithParam<std::tuple<std::uint64_t, int>> {};

TEST_P(FileCapTest, TakenUpToTheCap) {
    const auto [cap, delta] = GetParam();
    testing::TempDir dir;
    const std::string bytes(cap + delta, 'x');
    testing::WriteFileBytes(dir.File("f"), bytes);
    std::string content = "old";
    const int error = ReadRegularFile(dir.File("f"), content, cap);
    EXPECT_EQ(error, delta <= 0 ? 0 : EFBIG);
    EXPECT_EQ(content, delta <= 0 ? bytes : "");
}

INSTANTIATE_TEST_SUITE_P(UnderAtOver, FileCapTest,
                         ::testing::Combine(::testing::Values(10u, 65536u, 100000u), ::testing::Values(-1, 0, 1)));

}  // namespace
}  // namespace tolvenmark
