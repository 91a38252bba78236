#pragma once

#include <string>
#include <vector>

#include "app/channel_request.h"

namespace tolvenmark {

class TForm1;

// Carries out a script's request on the main window, through the same paths
// as the hot areas and the tray menu. Returns the reply lines, the last "OK"
// or "ERROR " + reason. SNOOZE and QUIT act after the reply is on its way.
std::vector<std::string> AnswerClockRequest(TForm1& form, const ChannelRequest& request);

}  // namespace tolvenmark
