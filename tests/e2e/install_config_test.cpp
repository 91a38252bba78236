#include <cstdlib>
#include <string>

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

int RunInstaller(const TempDir& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("TOLVENMARK_WINDIR");
    env.remove("XDG_CONFIG_HOME");
    env.remove("XDG_DATA_HOME");
    env.insert("HOME", QString::fromStdString(home.path()));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start("/bin/bash", {TOLVENMARK_SOURCE_DIR "/scripts/install-config"});
    process.waitForFinished(30000);
    return process.exitCode();
}

TEST(InstallConfigTest, WritesTheFirstConfigurationOnceAndNeverOverwritesIt) {
    TempDir home;
    ASSERT_EQ(RunInstaller(home), 0);
    const std::string ini = home.File(".config/tolvenmark/TOLVENMARKCLOCK.INI");
    EXPECT_EQ(ReadFileBytes(ini), "[ALARM]\nAPPPATH=" + home.File(".local/share/tolvenmark") +
                                      "\nSKIN=Default\nSNOOZE=Yes\nSNOOZEMIN=5\nICONNECT=Local Area Network "
                                      "(LAN)\nWAIT=60\nCHANGEALARM=Yes\nDELETEALARM=Yes\n");

    WriteFileBytes(ini, "[ALARM]\nAPPPATH=/mine\n");
    ASSERT_EQ(RunInstaller(home), 0);
    EXPECT_EQ(ReadFileBytes(ini), "[ALARM]\nAPPPATH=/mine\n");
}

}  // namespace
}  // namespace tolvenmark
