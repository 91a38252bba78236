#include "support/program_run.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

namespace tolvenmark::testing {

ProgramResult RunClock(const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
                       int timeoutMs) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("TOLVENMARK_PROMPTS", "stderr");
    for (const auto& [name, value] : env) environment.insert(QString::fromStdString(name), QString::fromStdString(value));

    QStringList arguments;
    for (const auto& a : args) arguments << QString::fromStdString(a);

    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(TOLVENMARK_CLOCK_EXE, arguments);
    ProgramResult result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        result.err = "timed out";
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

}  // namespace tolvenmark::testing
