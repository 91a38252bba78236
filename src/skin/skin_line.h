#pragma once

#include <string>
#include <vector>

namespace tolvenmark {

// Splits one numbered skin line into its fields. A field that starts with a
// quotation mark ends at the next lone one ("" inside stands for one mark);
// any other field runs to the delimiter or a control character and keeps its
// inner and trailing blanks. Blanks and control characters before a field
// are skipped; a delimiter at the very end adds no field.
std::vector<std::string> SplitSkinLine(const std::string& text, char delimiter);

}  // namespace tolvenmark
