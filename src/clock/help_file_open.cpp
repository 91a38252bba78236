#include "clock/help_file_open.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QUrl>

#include "clock/help_file.h"
#include "platform/folders.h"
#include "platform/launcher.h"
#include "platform/prompts.h"

namespace tolvenmark {

QProcess* OpenHelpFile(const std::string& path, const std::string& opener) {
    if (!FileExists(path)) {
        AppPrompts().Warning(HelpNotOpenedText(path, false));
        return nullptr;
    }
    const QString file = QFile::decodeName(path.c_str());
    const std::string program = FindProgram(opener);
    if (program.empty()) {
        // Without the usual opener the toolkit may still know the desktop's own.
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
            AppPrompts().Warning(HelpNotOpenedText(path, true));
        return nullptr;
    }
    // No parent: a browser the opener became must outlive the clock's end.
    auto* process = new QProcess;
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process, [process, path](int code, QProcess::ExitStatus status) {
        process->deleteLater();
        if (status != QProcess::NormalExit || code != 0) AppPrompts().Warning(HelpNotOpenedText(path, true));
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, path](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        process->deleteLater();
        AppPrompts().Warning(HelpNotOpenedText(path, true));
    });
    process->start(QFile::decodeName(program.c_str()), {file});
    return process;
}

}  // namespace tolvenmark
