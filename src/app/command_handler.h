#pragma once

#include <string>
#include <vector>

#include "app/channel_request.h"

namespace tolvenmark {

class ClockCommands;

// Carries out a script's request through the clock's commands, the same the
// face and the tray menu use. Returns the reply lines, the last "OK" or
// "ERROR " + reason; what would only show a box (a snooze with nothing
// ringing) is answered instead. SNOOZE and QUIT act after the reply is on its way.
std::vector<std::string> AnswerClockRequest(ClockCommands& clock, const ChannelRequest& request);

}  // namespace tolvenmark
