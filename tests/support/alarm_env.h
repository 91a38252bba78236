#pragma once

#include <ctime>
#include <map>
#include <string>
#include <utility>

#include "support/temp_dir.h"

namespace tolvenmark::testing {

// The environment of a real clock run in dir, with the formats fixed so a
// test can write its own date and time texts.
std::map<std::string, std::string> ClockEnv(const TempDir& dir);

// ALDATE and ALTIME (M/d/yyyy, h:mm:ss AMPM) of one instant, date and time
// together, so neither the next second nor midnight can fall between them.
std::pair<std::string, std::string> LocalAlarmTextsAt(std::time_t instant);
// Of the local time some seconds from now.
std::pair<std::string, std::string> LocalAlarmTexts(int secondsAhead);

}  // namespace tolvenmark::testing
