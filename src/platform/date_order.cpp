#include "platform/date_order.h"

namespace tolvenmark {

int CheckDateFormat(const std::string& shortDateFormat) {
    auto position = [&](char field) {
        auto at = shortDateFormat.find(field);
        return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
    };
    const int pM = position('M');
    const int pd = position('d');
    const int py = position('y');

    int code = 0;
    if (pM <= 1)
        code = pd < py ? 123 : 132;
    else if (pd > 1)
        code = pM < pd ? 312 : 321;
    // Not an else: a format starting with the day overrides the branch above.
    if (pd <= 1) code = pM < py ? 213 : 231;
    return code;
}

}  // namespace tolvenmark
