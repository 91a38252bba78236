#include <filesystem>
#include <regex>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

const std::string kHelpDir = std::string(TOLVENMARK_SOURCE_DIR) + "/resources/help";

// The guide is installed as it stands: every picture it shows and every
// anchor it jumps to must be there.
TEST(HelpGuideTest, PicturesAndAnchorsResolve) {
    const std::string html = testing::ReadFileBytes(kHelpDir + "/TolvenHelp.html");
    ASSERT_FALSE(html.empty());

    const std::regex src(R"(src="([^"]+)\")");
    int pictures = 0;
    for (std::sregex_iterator it(html.begin(), html.end(), src), end; it != end; ++it, ++pictures)
        EXPECT_TRUE(std::filesystem::is_regular_file(kHelpDir + "/" + (*it)[1].str())) << (*it)[1];
    EXPECT_GE(pictures, 1);

    std::set<std::string> ids;
    const std::regex id(R"(id="([^"]+)\")");
    for (std::sregex_iterator it(html.begin(), html.end(), id), end; it != end; ++it) ids.insert((*it)[1]);
    const std::regex jump(R"(href="#([^"]+)\")");
    for (std::sregex_iterator it(html.begin(), html.end(), jump), end; it != end; ++it)
        EXPECT_TRUE(ids.count((*it)[1])) << (*it)[1];
    for (const char* topic : {"alarm", "snooze", "bin", "skins", "files"}) EXPECT_TRUE(ids.count(topic)) << topic;
}

}  // namespace
}  // namespace tolvenmark
