#pragma once

#include <string>
#include <vector>

#include "app/channel_request.h"

namespace tolvenmark {

// The options that steer a running clock instead of starting one.
struct ControlOptions {
    enum class Kind {
        None,     // no control option: start the clock as usual
        Request,  // send request to the running clock
        Usage,    // a control option used wrongly
    };
    Kind kind = Kind::None;
    ChannelRequest request;
};

// args without the program name. A control option stands alone with its
// operands; --set-alarm takes DATE TIME [HEADER], none empty for date and time.
ControlOptions ParseControlOptions(const std::vector<std::string>& args);

extern const char* const kControlUsage;

}  // namespace tolvenmark
