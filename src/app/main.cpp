#include <malloc.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/bus_links.h"
#include "app/command_handler.h"
#include "app/control_options.h"
#include "app/instance_channel.h"
#include "app/open_at_start.h"
#include "app/permanent_windows.h"
#include "clock/config.h"
#include "clock/main_window.h"
#include "clock/startup_load.h"
#include "clock/tick_sleep.h"
#include "platform/bus_probe.h"
#include "platform/clock.h"
#include "platform/folders.h"
#include "platform/prompts.h"
#include "platform/regional_settings.h"
#include "skin/skin_form.h"
#include "skin/skin_viewer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace {

constexpr const char* kUsage =
    "Usage: tolvenmark-clock [OPTION]\n"
    "A skinnable desktop alarm clock.\n"
    "\n"
    "Options:\n"
    "  --show-skin [FILE]  show a skin (the built-in one without FILE) in a shaped window\n"
    "  --help              print this help and end\n"
    "  --version           print the version and end\n"
    "\n"
    "Control of the running clock (status 3 when none runs, 2 on bad arguments):\n"
    "  --show              bring the clock to the front\n"
    "  --snooze            snooze the ringing alarm\n"
    "  --alarm-on          switch the alarm on\n"
    "  --alarm-off         switch the alarm off\n"
    "  --quit              end the clock\n"
    "  --status            print header, date, time, alarm (on/off) and player\n"
    "                      (running/stopped) as key=value lines\n"
    "  --set-alarm DATE TIME [HEADER]\n"
    "                      set the pending alarm (short date format, a time) and\n"
    "                      switch it on\n"
    "\n"
    "Environment:\n"
    "  TOLVENMARK_WINDIR       folder of TOLVENMARKCLOCK.INI (default $XDG_CONFIG_HOME/tolvenmark)\n"
    "  XDG_RUNTIME_DIR         folder of the clock's socket when only this user can\n"
    "                          write in it, else $XDG_CACHE_HOME/tolvenmark/run\n"
    "  TOLVENMARK_PROMPTS      'stderr': write every message box to standard error as\n"
    "                          'CAPTION: TEXT' and answer it with its default button\n"
    "  TOLVENMARK_SHORT_DATE   short date format, e.g. M/d/yyyy\n"
    "  TOLVENMARK_DATE_SEP     date separator, e.g. /\n"
    "  TOLVENMARK_LONG_DATE    long date format, e.g. dddd, MMMM dd, yyyy\n"
    "  TOLVENMARK_SHORT_TIME   short time format, e.g. h:mm AMPM\n"
    "  TOLVENMARK_LONG_TIME    long time format, e.g. h:mm:ss AMPM\n"
    "  TOLVENMARK_TIME_SEP     time separator, e.g. :\n"
    "  TOLVENMARK_AM           AM designator\n"
    "  TOLVENMARK_PM           PM designator\n"
    "  TOLVENMARK_OPEN_AT_START  open one window once the clock shows: alarm-settings,\n"
    "                          storage-bin, schedule, calendar, program-settings,\n"
    "                          internet, about or tray-menu (for tools/screenshots.sh)\n"
    "  TOLVENMARK_REPORT_FIRST_FRAME  when set, write 'first-frame-ns N' (wall clock)\n"
    "                          to standard error when the face is first painted\n"
    "  TOLVENMARK_REPORT_TICKS  when set, write 'tick-ns N' (wall clock) to standard\n"
    "                          error as each one-second tick starts\n";

void ReportMoment(const char* what) {
    const auto ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch());
    std::fprintf(stderr, "%s %lld\n", what, static_cast<long long>(ns.count()));
}

// For bench/running_cost.sh: the wall-clock moment the face is first painted.
class FirstFrameReport : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            ReportMoment("first-frame-ns");
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool reported_ = false;
};

// For tests that count late ticks: the moment each tick's timer fires.
class TickReport : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Timer) ReportMoment("tick-ns");
        return QObject::eventFilter(watched, event);
    }
};

void Say(const std::string& text) { std::fprintf(stderr, "tolvenmark-clock: %s\n", text.c_str()); }

// The folder of the clock's socket, or why there is none.
std::optional<std::string> ChannelFolder(bool isClock) {
    try {
        const std::string folder = tolvenmark::PrivateRuntimeDirectory();
        if (tolvenmark::InstanceChannel::FitsSocketPath(folder)) return folder;
        // Every copy and every control option comes to the same fallback.
        const std::string shorter = tolvenmark::ShortPrivateRuntimeDirectory(folder);
        if (isClock) Say("the socket path under " + folder + " is too long; using " + shorter);
        return shorter;
    } catch (const std::exception& e) {
        Say(std::string("no private folder for the clock's socket: ") + e.what());
        return std::nullopt;
    }
}

// One request to the running clock; its key=value lines go to standard output.
int SendControlRequest(int argc, char** argv, const tolvenmark::ChannelRequest& request) {
    QCoreApplication app(argc, argv);  // no display needed
    const auto folder = ChannelFolder(false);
    if (!folder) return 1;
    tolvenmark::InstanceChannel channel(*folder);
    const auto reply = channel.Ask(tolvenmark::FormatChannelRequest(request));
    if (!reply) {
        std::fputs("Tolvenmark Clock is not running.\n", stderr);
        return 3;
    }
    if (reply->empty() || reply->back() != "OK") {
        Say(reply->empty() ? "the clock did not answer" : reply->back());
        return 1;
    }
    for (std::size_t i = 0; i + 1 < reply->size(); ++i) std::printf("%s\n", (*reply)[i].c_str());
    return 0;
}

// A clock started at login that ends for a restart would leave none running.
// Once only, so a change that asks again and again cannot loop. The lock and
// the socket close with the old image (both are close-on-exec).
void StartAgain(char** argv) {
    if (qEnvironmentVariableIsSet("TOLVENMARK_RESTARTED")) return;
    ::setenv("TOLVENMARK_RESTARTED", "1", 1);
    std::fflush(nullptr);
    ::execv("/proc/self/exe", argv);
    Say(std::string("cannot start again: ") + std::strerror(errno));
}

// Two copies would ring every alarm twice and race on the files. The status
// to end with when this copy is not the one to run.
std::optional<int> BecomeTheOnlyCopy(tolvenmark::InstanceChannel& channel) {
    using Result = tolvenmark::InstanceChannel::ListenResult;
    // A stopped or hung copy still takes connections (the system queues them)
    // but shows nothing.
    const auto shown = [](const std::vector<std::string>& reply) {
        if (!reply.empty() && reply.back() == "OK") return 0;
        Say("another copy of the clock runs but does not answer");
        return 1;
    };
    if (const auto reply = channel.Ask("SHOW")) return shown(*reply);
    switch (channel.Listen()) {
        case Result::Listening:
            return std::nullopt;
        case Result::Taken:
            return shown(channel.AskLockHolder("SHOW").value_or(std::vector<std::string>{}));
        case Result::NoLock:
            Say(channel.Error());
            return 1;
        case Result::NoChannel:
            Say(channel.Error() + "; running without the command channel until it can be opened");
            return std::nullopt;
    }
    return 1;
}

int RunClock(int argc, char** argv, const tolvenmark::ControlOptions& options) {
    using namespace tolvenmark;
    const bool showSkin = options.kind == ControlOptions::Kind::ShowSkin;
    const auto folder = showSkin ? std::optional<std::string>("") : ChannelFolder(true);
    if (!folder) return 1;
    // Before the toolkit, whose own users of the buses wait on this thread.
    SettleBusEnvironment(1000);
    TApplication app(argc, argv);
    auto prompts = MakeDesktopPrompts();
    SetAppPrompts(prompts.get());

    if (showSkin) {
        try {
            return ShowSkinWindow(options.skinFile);
        } catch (const std::exception& e) {
            Say(e.what());
            return 1;
        }
    }

    InstanceChannel channel(*folder);
    if (const auto status = BecomeTheOnlyCopy(channel)) return *status;

    SystemClock clock;
    RegionalSettings settings = RegionalSettings::FromEnvironment();
    SetAppClock(&clock);
    SetAppRegionalSettings(&settings);

    const StartupOutcome start = RunStartup(clock, settings, *prompts);
    if (!start.proceed) {
        if (!FileExists(ConfigPath()))
            Say("no configuration yet: tolvenmark-clock-session writes a first one and starts the clock "
                "(from a source checkout: scripts/install-config)");
        else if (start.exitStatus == 0)
            StartAgain(argv);  // the date-format change asked for a restart
        return start.exitStatus;
    }

    // Hidden in the tray the clock has no window, and still runs.
    app.setQuitOnLastWindowClosed(false);
    TForm1 form;
    try {
        form.FormCreate(start.config, start.pending);
    } catch (...) {
        HandleException();
        return 1;
    }
    PermanentWindows windows;
    CreatePermanentWindows(form, windows);
    // Hidden, the tick sleeps until something is due.
    new TickSleep(form);
    channel.OnRequest = [&form](const ChannelRequest& request) { return AnswerClockRequest(form, request); };

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        form.move(screen->availableGeometry().center() - form.rect().center());
    FirstFrameReport report;
    if (qEnvironmentVariableIsSet("TOLVENMARK_REPORT_FIRST_FRAME")) form.SkinForm1->installEventFilter(&report);
    TickReport ticks;
    if (qEnvironmentVariableIsSet("TOLVENMARK_REPORT_TICKS")) form.Timer1->installEventFilter(&ticks);
    form.show();
    if (const QByteArray open = qgetenv("TOLVENMARK_OPEN_AT_START"); !open.isEmpty())
        if (!OpenAtStart(form, open.toStdString()))
            std::fprintf(stderr, "tolvenmark-clock: no window named '%s' to open\n", open.constData());
    return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tolvenmark;
    // Pictures of a skin and their copies come and go in hundreds of
    // kilobytes; a fixed threshold keeps each in a mapping of its own, given
    // back when freed, instead of a hole the heap keeps for the whole run.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    // The toolkit's and the clock's helper threads allocate little and
    // rarely; a heap of their own each would keep its pages for the run.
    mallopt(M_ARENA_MAX, 1);
    const ControlOptions options = ParseControlOptions(std::vector<std::string>(argv + 1, argv + argc));
    switch (options.kind) {
        case ControlOptions::Kind::Usage:
            std::fputs(kControlUsage, stderr);
            return 2;
        case ControlOptions::Kind::Help:
            std::fputs(kUsage, stdout);
            return 0;
        case ControlOptions::Kind::Version:
            std::printf("%s %s\n", kApplicationTitle, TOLVENMARK_VERSION);
            return 0;
        case ControlOptions::Kind::Request:
            return SendControlRequest(argc, argv, options.request);
        case ControlOptions::Kind::None:
        case ControlOptions::Kind::ShowSkin:
            break;
    }
    // Whatever goes wrong ends here with its reason, never with an abort.
    int status = 1;
    try {
        status = RunClock(argc, argv, options);
    } catch (const std::exception& e) {
        Say(e.what());
    } catch (...) {
        Say("unknown error");
    }
    // The bus library's clean-up would wait for a hung daemon for ever.
    if (BusLinks::Stuck()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
