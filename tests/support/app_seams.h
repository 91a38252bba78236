#pragma once

#include "platform/clock.h"
#include "platform/prompts.h"
#include "platform/regional_settings.h"

namespace tolvenmark::testing {

// Points the program's clock, regional settings and prompts at a test's own
// for as long as it lives.
class ScopedAppSeams {
public:
    ScopedAppSeams(Clock& clock, RegionalSettings& settings, Prompts& prompts) {
        SetAppClock(&clock);
        SetAppRegionalSettings(&settings);
        SetAppPrompts(&prompts);
    }
    ~ScopedAppSeams() {
        SetAppClock(nullptr);
        SetAppRegionalSettings(nullptr);
        SetAppPrompts(nullptr);
    }
    ScopedAppSeams(const ScopedAppSeams&) = delete;
    ScopedAppSeams& operator=(const ScopedAppSeams&) = delete;
};

}  // namespace tolvenmark::testing
