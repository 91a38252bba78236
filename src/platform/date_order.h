#pragma once

#include <string>

namespace tolvenmark {

// Order of month (1), day (2) and year (3) in a short date format:
// 123, 132, 213, 231, 312 or 321.
int CheckDateFormat(const std::string& shortDateFormat);

}  // namespace tolvenmark
