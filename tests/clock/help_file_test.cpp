#include "clock/help_file.h"

#include <filesystem>

#include <QProcess>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "clock/help_file_open.h"
#include "support/gui_app.h"
#include "support/recording_script.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::TempDir;
using testing::WriteFileBytes;

struct GuideCase {
    const char* name;
    std::vector<std::string> present;  // guides that exist, under the test's root
    std::string expected;
};

class HelpFilePathTest : public ::testing::TestWithParam<GuideCase> {};

// The program runs from <root>/prefix/bin, installed there or as a build folder.
TEST_P(HelpFilePathTest, FindsTheGuideWhereTheProgramRuns) {
    TempDir root;
    for (const std::string& guide : GetParam().present) {
        std::filesystem::create_directories(std::filesystem::path(root.File(guide)).parent_path());
        WriteFileBytes(root.File(guide), "<html></html>");
    }
    EXPECT_EQ(HelpFilePath(root.File("data"), root.File("prefix/bin")), root.File(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, HelpFilePathTest,
    ::testing::Values(
        GuideCase{"Installed", {"prefix/share/tolvenmark-clock/TolvenHelp.html"},
                  "prefix/bin/../share/tolvenmark-clock/TolvenHelp.html"},
        GuideCase{"BuildFolder", {"prefix/bin/share/tolvenmark-clock/TolvenHelp.html"},
                  "prefix/bin/share/tolvenmark-clock/TolvenHelp.html"},
        GuideCase{"BesideTheAlarms", {"data/TolvenHelp.html", "prefix/share/tolvenmark-clock/TolvenHelp.html"},
                  "data/TolvenHelp.html"},
        GuideCase{"Nowhere", {}, "prefix/bin/../share/tolvenmark-clock/TolvenHelp.html"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HelpFilePathTest, TheBuildFolderHoldsTheGuide) {
    EXPECT_TRUE(std::filesystem::is_regular_file(HelpFilePath("", TOLVENMARK_BINARY_DIR)));
}

struct OpenCase {
    const char* name;
    bool guideExists;
    const char* openerTail;  // what the opener does after it logged its call
    const char* warning;     // "" for none; %s is the guide
};

class OpenHelpFileTest : public ::testing::TestWithParam<OpenCase> {
protected:
    static void SetUpTestSuite() { testing::EnsureGuiApplication(); }
    testing::ScriptedPrompts prompts;
    testing::ScopedAppPrompts scoped{prompts};
};

// Nothing waits for the opener; what it ends with decides whether the user hears of it.
TEST_P(OpenHelpFileTest, AFailureNamesTheGuide) {
    TempDir dir;
    const std::string guide = dir.File("Tolven Help.html");
    if (GetParam().guideExists) WriteFileBytes(guide, "<html></html>");
    testing::RecordingScript opener(dir.path(), "opener", GetParam().openerTail);
    QProcess* process = OpenHelpFile(guide, opener.path());
    if (process) {
        QSignalSpy ended(process, &QProcess::finished);
        ASSERT_TRUE(ended.wait(20000));
        EXPECT_EQ(opener.Calls()[0].args, std::vector<std::string>{guide});
    }
    std::string warning = GetParam().warning;
    if (!warning.empty()) warning = "Warning: " + warning.replace(warning.find("%s"), 2, guide);
    EXPECT_EQ(prompts.shown, warning.empty() ? std::vector<std::string>{} : std::vector<std::string>{warning});
}

INSTANTIATE_TEST_SUITE_P(
    Openers, OpenHelpFileTest,
    ::testing::Values(OpenCase{"Opened", true, "exit 0", ""},
                      OpenCase{"NoProgramForIt", true, "exit 3", "No program could open the help file %s."},
                      OpenCase{"OpenerKilled", true, "kill -9 $$", "No program could open the help file %s."},
                      OpenCase{"GuideMissing", false, "exit 0", "The help file %s does not exist."}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tolvenmark
