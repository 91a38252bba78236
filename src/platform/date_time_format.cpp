#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "platform/date_time_text.h"

namespace tolvenmark {
namespace {

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool StartsWithNoCase(std::string_view text, std::size_t pos, std::string_view token) {
    if (text.size() - pos < token.size()) return false;
    for (std::size_t i = 0; i < token.size(); ++i) {
        if (Upper(text[pos + i]) != Upper(token[i])) return false;
    }
    return true;
}

bool IsAmPmToken(std::string_view format, std::size_t pos) {
    return StartsWithNoCase(format, pos, "AM/PM") || StartsWithNoCase(format, pos, "A/P") ||
           StartsWithNoCase(format, pos, "AMPM");
}

// Whether an AM/PM token follows outside quoted text; it puts an earlier hour
// on the 12-hour clock.
bool AmPmTokenFollows(std::string_view format, std::size_t pos) {
    char quote = 0;
    for (; pos < format.size(); ++pos) {
        char c = format[pos];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if ((c == 'a' || c == 'A') && IsAmPmToken(format, pos)) {
            return true;
        }
    }
    return false;
}

void AppendNumber(std::string& out, int value, int digits) {
    std::string text = std::to_string(value < 0 ? -static_cast<long long>(value) : value);
    if (value < 0) out += '-';
    for (int n = static_cast<int>(text.size()); n < digits; ++n) out += '0';
    out += text;
}

// 0 = Sunday; -1 when the date is not a calendar day.
int DayOfWeek(const DateTime& value) {
    if (!IsValidDate(value.year, value.month, value.day)) return -1;
    static constexpr int kOffsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    int y = value.year - (value.month < 3 ? 1 : 0);
    return (y + y / 4 - y / 100 + y / 400 + kOffsets[value.month - 1] + value.day) % 7;
}

// number counts from 1; out of range gives nothing.
template <std::size_t N>
void AppendName(std::string& out, const std::array<std::string, N>& names, int number) {
    if (number >= 1 && number <= static_cast<int>(N)) out += names[static_cast<std::size_t>(number - 1)];
}

class Formatter {
public:
    Formatter(const DateTime& value, const RegionalSettings& settings)
        : value_(value), settings_(settings) {}

    void Append(std::string_view format, int depth);
    std::string& Result() { return out_; }

private:
    const DateTime& value_;
    const RegionalSettings& settings_;
    std::string out_;
};

void Formatter::Append(std::string_view format, int depth) {
    // A format that names the short date format inside itself stops after two levels.
    if (depth >= 2) return;
    char lastToken = ' ';
    bool use12HourClock = false;
    std::size_t pos = 0;
    while (pos < format.size()) {
        const char starter = format[pos];
        char token = Upper(starter);
        if (token >= 'A' && token <= 'Z') {
            if (token == 'M' && lastToken == 'H') token = 'N';
            lastToken = token;
        }
        std::size_t count = 1;
        auto takeCount = [&] {
            while (pos + count < format.size() && format[pos + count] == starter) ++count;
        };
        switch (token) {
            case 'Y':
                takeCount();
                if (count <= 2)
                    AppendNumber(out_, ((value_.year % 100) + 100) % 100, 2);
                else
                    AppendNumber(out_, value_.year, 4);
                break;
            case 'M':
                takeCount();
                if (count <= 2)
                    AppendNumber(out_, value_.month, static_cast<int>(count));
                else if (count == 3)
                    AppendName(out_, settings_.shortMonthNames, value_.month);
                else
                    AppendName(out_, settings_.longMonthNames, value_.month);
                break;
            case 'D':
                takeCount();
                if (count <= 2)
                    AppendNumber(out_, value_.day, static_cast<int>(count));
                else if (count == 3)
                    AppendName(out_, settings_.shortDayNames, DayOfWeek(value_) + 1);
                else if (count == 4)
                    AppendName(out_, settings_.longDayNames, DayOfWeek(value_) + 1);
                else if (count == 5)
                    Append(settings_.shortDateFormat, depth + 1);
                else
                    Append(settings_.longDateFormat, depth + 1);
                break;
            case 'C':
                takeCount();
                Append(settings_.shortDateFormat, depth + 1);
                if (value_.hour != 0 || value_.minute != 0 || value_.second != 0 || value_.millisecond != 0) {
                    out_ += ' ';
                    Append(settings_.longTimeFormat, depth + 1);
                }
                break;
            case 'T':
                takeCount();
                Append(count == 1 ? settings_.shortTimeFormat : settings_.longTimeFormat, depth + 1);
                break;
            case 'H': {
                takeCount();
                if (!use12HourClock) use12HourClock = AmPmTokenFollows(format, pos + count);
                int hour = value_.hour;
                if (use12HourClock) {
                    if (hour == 0)
                        hour = 12;
                    else if (hour > 12)
                        hour -= 12;
                }
                AppendNumber(out_, hour, count > 2 ? 2 : static_cast<int>(count));
                break;
            }
            case 'N':
                takeCount();
                AppendNumber(out_, value_.minute, count > 2 ? 2 : static_cast<int>(count));
                break;
            case 'S':
                takeCount();
                AppendNumber(out_, value_.second, count > 2 ? 2 : static_cast<int>(count));
                break;
            case 'A': {
                const bool pm = value_.hour >= 12;
                if (StartsWithNoCase(format, pos, "AM/PM")) {
                    out_.append(format.substr(pos + (pm ? 3 : 0), 2));
                    count = 5;
                    use12HourClock = true;
                } else if (StartsWithNoCase(format, pos, "A/P")) {
                    out_ += format[pos + (pm ? 2 : 0)];
                    count = 3;
                    use12HourClock = true;
                } else if (StartsWithNoCase(format, pos, "AMPM")) {
                    out_ += pm ? settings_.pmDesignator : settings_.amDesignator;
                    count = 4;
                    use12HourClock = true;
                } else {
                    out_ += starter;
                }
                break;
            }
            case '/':
                out_ += settings_.dateSeparator;
                break;
            case ':':
                out_ += settings_.timeSeparator;
                break;
            case '\'':
            case '"': {
                std::size_t end = format.find(starter, pos + 1);
                if (end == std::string_view::npos) end = format.size();
                out_.append(format.substr(pos + 1, end - pos - 1));
                count = end - pos + (end < format.size() ? 1 : 0);
                break;
            }
            default:
                out_ += starter;
                break;
        }
        pos += count;
    }
}

}  // namespace

std::string FormatDateTime(const std::string& format, const DateTime& value,
                           const RegionalSettings& settings) {
    Formatter formatter(value, settings);
    formatter.Append(format, 0);
    return std::move(formatter.Result());
}

std::string DateToStr(const DateTime& value, const RegionalSettings& settings) {
    return FormatDateTime(settings.shortDateFormat, value, settings);
}

std::string TimeToStr(const DateTime& value, const RegionalSettings& settings) {
    return FormatDateTime(settings.longTimeFormat, value, settings);
}

}  // namespace tolvenmark
