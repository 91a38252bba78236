#include "support/program_run.h"

#include "support/temp_dir.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

namespace tolvenmark::testing {

namespace {

// A runtime folder of its own unless the test gives one, so a clock the
// developer runs is never asked to show itself instead.
void Start(QProcess& process, const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
           const TempDir& runtime) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("TOLVENMARK_PROMPTS", "stderr");
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.path()));
    // Alarms rung in tests notify no one's desktop unless a test gives a bus.
    environment.remove("DBUS_SESSION_BUS_ADDRESS");
    for (const auto& [name, value] : env) environment.insert(QString::fromStdString(name), QString::fromStdString(value));

    QStringList arguments;
    for (const auto& a : args) arguments << QString::fromStdString(a);
    process.setProcessEnvironment(environment);
    process.start(TOLVENMARK_CLOCK_EXE, arguments);
}

}  // namespace

ProgramResult RunClock(const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
                       int timeoutMs) {
    TempDir runtime;
    QProcess process;
    Start(process, args, env, runtime);
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

namespace tolvenmark::testing {

struct RunningClock::Process {
    TempDir runtime;
    QProcess process;
};

RunningClock::RunningClock(const std::vector<std::string>& args, const std::map<std::string, std::string>& env)
    : process_(new Process) {
    Start(process_->process, args, env, process_->runtime);
    process_->process.waitForStarted();
}

RunningClock::~RunningClock() {
    process_->process.kill();
    process_->process.waitForFinished();
    delete process_;
}

std::string RunningClock::Error() {
    err_ += process_->process.readAllStandardError().toStdString();
    return err_;
}

bool RunningClock::WaitForError(const std::string& text, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (Error().find(text) == std::string::npos) {
        if (timer.elapsed() > timeoutMs || !Running()) return Error().find(text) != std::string::npos;
        process_->process.waitForReadyRead(100);
    }
    return true;
}

bool RunningClock::WaitForEnd(int timeoutMs) {
    return process_->process.state() == QProcess::NotRunning || process_->process.waitForFinished(timeoutMs);
}

bool RunningClock::Running() { return process_->process.state() != QProcess::NotRunning; }

}  // namespace tolvenmark::testing
