#include "clock/tray_restore.h"

namespace tolvenmark {

bool TrayRestore::Restores(TrayClick click, bool sendsDoubleClicks, std::int64_t nowMs, int doubleClickMs) {
    if (click == TrayClick::Other || (click == TrayClick::Single && sendsDoubleClicks)) return false;
    if (nowMs - lastMs_ <= doubleClickMs) return false;
    lastMs_ = nowMs;
    return true;
}

}  // namespace tolvenmark
