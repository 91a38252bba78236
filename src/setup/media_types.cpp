#include "setup/media_types.h"

namespace tolvenmark {

int MediaTypeIndex(const std::string& mediaType) {
    for (std::size_t i = 0; i < kMediaTypes.size(); ++i)
        if (mediaType == kMediaTypes[i]) return static_cast<int>(i);
    return -1;
}

int PlayerIndex(const std::string& code) {
    for (std::size_t i = 0; i < kPlayers.size(); ++i)
        if (code == kPlayers[i].code) return static_cast<int>(i);
    return -1;
}

std::string MissingPlayerText(int playerIndex) {
    return std::string("The file specified for ") + kPlayers.at(static_cast<std::size_t>(playerIndex)).name +
           " does not exist.";
}

}  // namespace tolvenmark
