#include "bin/handover.h"

namespace tolvenmark {

Handovers& AppHandovers() {
    static Handovers handovers;
    return handovers;
}

}  // namespace tolvenmark
