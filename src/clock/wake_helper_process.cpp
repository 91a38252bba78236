#include "clock/wake_helper_process.h"

#include <ctime>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include "clock/wake_alarm.h"

namespace tolvenmark {

namespace {

constexpr int kMostStartsAnHour = 3;

std::int64_t BootMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return std::int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
}

}  // namespace

WakeHelperProcess::WakeHelperProcess(QString program, QObject* parent)
    : QObject(parent), program_(std::move(program)), budget_(kMostStartsAnHour) {
    if (program_.isEmpty()) reason_ = "no wake helper";
}

WakeHelperProcess::~WakeHelperProcess() {
    if (!process_ || process_->state() == QProcess::NotRunning) return;
    // Its input closing ends it, and its timer with it.
    process_->closeWriteChannel();
    if (!process_->waitForFinished(200)) {
        process_->kill();
        process_->waitForFinished(200);
    }
}

void WakeHelperProcess::Want(std::optional<Instant> at) {
    if (!reason_.isEmpty()) return;
    if (!process_ || process_->state() == QProcess::NotRunning) {
        resting_ = !budget_.Take(BootMilliseconds());
        if (resting_) return;
        sent_.reset();
        delete process_;
        process_ = new QProcess(this);
        process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        connect(process_, &QProcess::readyReadStandardOutput, this, [this] { ReadAnswers(); });
        connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) GiveUp("the wake helper cannot be started");
        });
        process_->start(program_, {});
    }
    if (sent_ == at) return;
    sent_ = at;
    process_->write(QByteArray::fromStdString(WakeLine(at)));
}

void WakeHelperProcess::ReadAnswers() {
    while (process_ && process_->canReadLine()) {
        const QByteArray line = process_->readLine().trimmed();
        const WakeAnswer answer = ParseWakeAnswer(line.toStdString());
        if (answer.kind == WakeAnswer::Kind::Unavailable) {
            GiveUp(QString::fromStdString(answer.reason));
        } else if (answer.kind != WakeAnswer::Kind::Ok) {
            qWarning("tolvenmark-clock: the wake helper answered '%s'", line.constData());
        }
    }
}

void WakeHelperProcess::GiveUp(const QString& reason) {
    reason_ = reason.isEmpty() ? QString("unavailable") : reason;
    // Nothing more to tell it: its input closing ends it.
    if (process_) process_->closeWriteChannel();
}

QString WakeHelperProgram() {
    if (qEnvironmentVariableIsSet("TOLVENMARK_WAKE_HELPER")) return qEnvironmentVariable("TOLVENMARK_WAKE_HELPER");
    const QString dir = QCoreApplication::applicationDirPath();
    for (const QString& path : {dir + "/../libexec/tolvenmark-clock/tolvenmark-clock-wake", dir + "/tolvenmark-clock-wake"})
        if (QFileInfo(path).isExecutable()) return QDir::cleanPath(path);
    return {};
}

}  // namespace tolvenmark
