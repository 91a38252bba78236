#include "platform/prompts.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <utility>

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QString>

#include "platform/clock_icon.h"

namespace tolvenmark {

namespace {

QString Q(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The system's texts break lines with CR LF or a lone CR, which a Qt label
// would run together.
QString BoxText(const std::string& text) {
    QString shown = Q(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

// Every box: the clock's icon, the text exactly as given (a message alarm's
// "<b>" is shown, not obeyed), and wide enough that the window manager
// shows the whole caption beside its buttons.
void Prepare(QMessageBox& box) {
    box.setWindowIcon(ClockIcon());
    box.setTextFormat(Qt::PlainText);
    constexpr int kTitleBarButtons = 120;  // icon, minimise, maximise, close
    const int wanted = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(box.windowTitle()) +
                       kTitleBarButtons;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
}

class QtPrompts final : public Prompts {
public:
    void Error(const std::string& text) override { Show(QMessageBox::Critical, "Error", text); }
    void Warning(const std::string& text) override { Show(QMessageBox::Warning, "Warning", text); }
    void Information(const std::string& text) override { Show(QMessageBox::Information, "Information", text); }
    void PlainBox(const std::string& text) override { Show(QMessageBox::NoIcon, kApplicationTitle, text); }

    bool Confirm(const std::string& text) override {
        QMessageBox box(QMessageBox::Question, "Confirm", BoxText(text));
        QPushButton* yes = box.addButton("&Yes", QMessageBox::YesRole);
        box.addButton("&No", QMessageBox::NoRole);
        box.setDefaultButton(yes);
        Prepare(box);
        box.exec();
        return box.clickedButton() == yes;
    }

    ConfirmAnswer ConfirmAll(const std::string& text) override {
        QMessageBox box(QMessageBox::Question, "Confirm", BoxText(text));
        // One role for all three keeps them in the system's order.
        QPushButton* yes = box.addButton("&Yes", QMessageBox::ActionRole);
        QPushButton* no = box.addButton("&No", QMessageBox::ActionRole);
        QPushButton* all = box.addButton("Yes to &All", QMessageBox::ActionRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        Prepare(box);
        box.exec();
        if (box.clickedButton() == yes) return ConfirmAnswer::Yes;
        if (box.clickedButton() == all) return ConfirmAnswer::YesToAll;
        return ConfirmAnswer::No;
    }

private:
    static void Show(QMessageBox::Icon icon, const char* caption, const std::string& text) {
        // The same box again while it is up (a request repeated thousands of
        // times, a failing tick) would only nest another event loop.
        static std::set<std::pair<int, std::string>> open;
        const std::pair<int, std::string> key{static_cast<int>(icon), text};
        if (!open.insert(key).second) return;
        struct Close {
            const std::pair<int, std::string>& key;
            ~Close() { open.erase(key); }
        } close{key};
        QMessageBox box(icon, caption, BoxText(text), QMessageBox::Ok);
        Prepare(box);
        box.exec();
    }
};

// For scripted runs: one line per box, answered with the default button.
class StderrPrompts final : public Prompts {
public:
    void Error(const std::string& text) override { Write("Error", text); }
    void Warning(const std::string& text) override { Write("Warning", text); }
    void Information(const std::string& text) override { Write("Information", text); }
    void PlainBox(const std::string& text) override { Write(kApplicationTitle, text); }
    bool Confirm(const std::string& text) override {
        Write("Confirm", text);
        return true;
    }
    ConfirmAnswer ConfirmAll(const std::string& text) override {
        Write("Confirm", text);
        return ConfirmAnswer::Yes;
    }

private:
    static void Write(const char* caption, const std::string& text) {
        std::string line = std::string(caption) + ": ";
        for (char c : text) {
            if (c == '\r') line += "\\r";
            else if (c == '\n') line += "\\n";
            else line += c;
        }
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stderr);
        std::fflush(stderr);
    }
};

Prompts* appPrompts = nullptr;

}  // namespace

std::unique_ptr<Prompts> MakeDesktopPrompts() {
    const char* mode = std::getenv("TOLVENMARK_PROMPTS");
    if (mode && std::strcmp(mode, "stderr") == 0) return std::make_unique<StderrPrompts>();
    return std::make_unique<QtPrompts>();
}

Prompts& AppPrompts() {
    if (appPrompts) return *appPrompts;
    static std::unique_ptr<Prompts> fallback = MakeDesktopPrompts();
    return *fallback;
}

void SetAppPrompts(Prompts* prompts) { appPrompts = prompts; }

}  // namespace tolvenmark
