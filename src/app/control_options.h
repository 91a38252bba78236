#pragma once

#include <string>
#include <vector>

#include "app/channel_request.h"

namespace tolvenmark {

// What the command line asks for.
struct ControlOptions {
    enum class Kind {
        None,      // no option: start the clock as usual
        Request,   // send request to the running clock
        Usage,     // an unknown option, a missing or stray argument
        Help,
        Version,
        ShowSkin,  // show skinFile (the built-in skin when empty)
    };
    Kind kind = Kind::None;
    ChannelRequest request;
    std::string skinFile;
};

// args without the program name, as the bytes they are. An option stands
// alone with its operands; --set-alarm takes DATE TIME [HEADER], none empty
// for date and time; --show-skin takes an optional FILE.
ControlOptions ParseControlOptions(const std::vector<std::string>& args);

extern const char* const kControlUsage;

}  // namespace tolvenmark
