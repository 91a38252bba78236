#include "setup/media_memory.h"

namespace tolvenmark {

MediaMemory& AppMediaMemory() {
    static MediaMemory memory;
    return memory;
}

}  // namespace tolvenmark
