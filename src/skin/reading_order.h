#pragma once

#include <vector>

#include <QRect>

namespace tolvenmark {

// The order in which a reader meets the boxes: lines from the top, each line
// from the left. A box whose top lies above the middle of a line's first box
// belongs to that line, so buttons drawn a few pixels apart still read as one row.
std::vector<int> ReadingOrder(const std::vector<QRect>& boxes);

}  // namespace tolvenmark
