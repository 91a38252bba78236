#include "bin/saved_alarms_changed.h"

#include <utility>

namespace tolvenmark {

namespace {
std::function<void()>& Handler() {
    static std::function<void()> handler;
    return handler;
}
}  // namespace

void SavedAlarmsChanged() {
    if (Handler()) Handler()();
}

void SetSavedAlarmsChangedHandler(std::function<void()> handler) { Handler() = std::move(handler); }

}  // namespace tolvenmark
