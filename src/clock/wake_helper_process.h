#pragma once

#include <optional>

#include <QObject>
#include <QString>

#include "clock/due_test.h"
#include "clock/wake_alarm.h"

class QProcess;

namespace tolvenmark {

// The wake helper, a child of the clock. It is told each change of the wanted
// wake-up and never waited for; it ends with the clock, whose end closes its input.
class WakeHelperProcess : public QObject {
public:
    // program: the helper's file; empty when there is none.
    explicit WakeHelperProcess(QString program, QObject* parent = nullptr);
    ~WakeHelperProcess() override;

    // Sends a wake-up at `at`, or none, unless that was the last one sent.
    void Want(std::optional<Instant> at);
    // The helper said it cannot have a wake-up timer, could not be run, or
    // ended too often this hour.
    bool Unavailable() const { return !reason_.isEmpty() || resting_; }

private:
    void ReadAnswers();
    void GiveUp(const QString& reason);

    QString program_;
    QProcess* process_ = nullptr;
    // What the running helper was last sent; empty when it has been sent nothing.
    std::optional<std::optional<Instant>> sent_;
    QString reason_;
    StartBudget budget_;
    bool resting_ = false;
};

// The helper's file: $TOLVENMARK_WAKE_HELPER when set (empty: none), else the
// installed one beside the program, else one in the program's own folder.
QString WakeHelperProgram();

}  // namespace tolvenmark
