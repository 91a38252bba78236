#pragma once

#include <map>
#include <string>
#include <utility>

#include "support/temp_dir.h"

namespace tolvenmark::testing {

// The environment of a real clock run in dir, with the formats fixed so a
// test can write its own date and time texts.
std::map<std::string, std::string> ClockEnv(const TempDir& dir);

// ALDATE and ALTIME (M/d/yyyy, h:mm:ss AMPM) of the local time some seconds from now.
std::pair<std::string, std::string> LocalAlarmTexts(int secondsAhead);

}  // namespace tolvenmark::testing
