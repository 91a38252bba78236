#include <cstdio>
#include <cstring>
#include <string>

#include "app/application.h"
#include "clock/startup_load.h"
#include "platform/clock.h"
#include "platform/prompts.h"
#include "platform/regional_settings.h"
#include "skin/skin_viewer.h"

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
    "Environment:\n"
    "  TOLVENMARK_WINDIR       folder of TOLVENMARKCLOCK.INI (default $XDG_CONFIG_HOME/tolvenmark)\n"
    "  TOLVENMARK_PROMPTS      'stderr': write every message box to standard error as\n"
    "                          'CAPTION: TEXT' and answer it with its default button\n"
    "  TOLVENMARK_SHORT_DATE   short date format, e.g. M/d/yyyy\n"
    "  TOLVENMARK_DATE_SEP     date separator, e.g. /\n"
    "  TOLVENMARK_SHORT_TIME   short time format, e.g. h:mm AMPM\n"
    "  TOLVENMARK_LONG_TIME    long time format, e.g. h:mm:ss AMPM\n"
    "  TOLVENMARK_TIME_SEP     time separator, e.g. :\n"
    "  TOLVENMARK_AM           AM designator\n"
    "  TOLVENMARK_PM           PM designator\n";

}  // namespace

int main(int argc, char** argv) {
    using namespace tolvenmark;

    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", kApplicationTitle, TOLVENMARK_VERSION);
            return 0;
        }
    }

    TApplication app(argc, argv);
    auto prompts = MakeDesktopPrompts();
    SetAppPrompts(prompts.get());

    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--show-skin") == 0) {
            try {
                return ShowSkinWindow(i + 1 < argc ? argv[i + 1] : "");
            } catch (...) {
                HandleException();
                return 1;
            }
        }
    }

    SystemClock clock;
    const RegionalSettings settings = RegionalSettings::FromEnvironment();

    const StartupOutcome start = RunStartup(clock, settings, *prompts);
    if (!start.proceed) return start.exitStatus;
    return 0;
}
