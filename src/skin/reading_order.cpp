#include "skin/reading_order.h"

#include <algorithm>
#include <numeric>

namespace tolvenmark {

std::vector<int> ReadingOrder(const std::vector<QRect>& boxes) {
    std::vector<int> order(boxes.size());
    std::iota(order.begin(), order.end(), 0);
    auto at = [&](int i) -> const QRect& { return boxes[static_cast<std::size_t>(i)]; };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return at(a).top() < at(b).top(); });
    for (auto line = order.begin(); line != order.end();) {
        // Halved in 64 bits: a damaged skin's height may be near the limit.
        const long long middle = at(*line).top() + static_cast<long long>(at(*line).height()) / 2;
        auto end = std::find_if(line + 1, order.end(), [&](int i) { return at(i).top() > middle; });
        std::stable_sort(line, end, [&](int a, int b) { return at(a).left() < at(b).left(); });
        line = end;
    }
    return order;
}

}  // namespace tolvenmark
