#pragma once

#include <string>

namespace tolvenmark {

struct TargetMediaType {
    std::string mediaType;
    bool runsMediaRule = true;  // the message kinds keep caption and Browse as they are
};

// The media type a file setting taken over from the storage bin selects: the
// first of mp3, cd, dvd, avseq (any case), http, a message kind, else "Other
// File Format". The target is not empty.
TargetMediaType MediaTypeForTarget(const std::string& target, const std::string& defaultPlayer);

}  // namespace tolvenmark
