#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/conversion_error.h"
#include "platform/date_time_text.h"

namespace tolvenmark {
namespace {

// A cursor over the text being read, with the runtime's scanning steps. Only
// the space character counts as a blank, as in the runtime.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }

    void SkipBlanks() {
        while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
    }

    // Decimal digits, taken while the value is below 1000; digitCount tells a
    // two-digit year from a four-digit one.
    bool Number(int& value, int& digitCount) {
        SkipBlanks();
        std::size_t i = pos_;
        int n = 0;
        while (i < text_.size() && text_[i] >= '0' && text_[i] <= '9' && n < 1000) {
            n = n * 10 + (text_[i] - '0');
            ++i;
        }
        if (i == pos_) return false;
        digitCount = static_cast<int>(i - pos_);
        pos_ = i;
        value = n;
        return true;
    }

    bool Number(int& value) {
        int ignored = 0;
        return Number(value, ignored);
    }

    // The separator text, after blanks. An empty separator never matches.
    bool Literal(std::string_view symbol) {
        SkipBlanks();
        if (symbol.empty() || text_.substr(pos_, symbol.size()) != symbol) return false;
        pos_ += symbol.size();
        return true;
    }

    // A designator, compared without regard to (ASCII) case.
    bool Designator(std::string_view symbol) {
        if (symbol.empty()) return false;
        SkipBlanks();
        if (text_.size() - pos_ < symbol.size()) return false;
        for (std::size_t i = 0; i < symbol.size(); ++i) {
            if (Lower(text_[pos_ + i]) != Lower(symbol[i])) return false;
        }
        pos_ += symbol.size();
        return true;
    }

private:
    static char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

    std::string_view text_;
    std::size_t pos_ = 0;
};

enum class DateOrder { MonthDayYear, DayMonthYear, YearMonthDay };

// The first of Y, M and D in the format decides, as the runtime decided.
DateOrder GetDateOrder(std::string_view format) {
    for (char c : format) {
        switch (c) {
            case 'Y': case 'y': return DateOrder::YearMonthDay;
            case 'M': case 'm': return DateOrder::MonthDayYear;
            case 'D': case 'd': return DateOrder::DayMonthYear;
            default: break;
        }
    }
    return DateOrder::MonthDayYear;
}

bool ScanDate(const std::string& text, const RegionalSettings& settings, int currentYear,
              DateTime& result) {
    Scanner scan(text);
    const std::string& separator = settings.dateSeparator;
    const DateOrder order = GetDateOrder(settings.shortDateFormat);
    int n1 = 0, n2 = 0, n3 = 0, len1 = 0, len3 = 0, ignored = 0;
    if (!scan.Number(n1, len1) || !scan.Literal(separator) || !scan.Number(n2, ignored))
        return false;
    long long year = 0;
    int month = 0, day = 0;
    if (scan.Literal(separator)) {
        if (!scan.Number(n3, len3)) return false;
        int yearLength = len3;
        switch (order) {
            case DateOrder::MonthDayYear: year = n3; month = n1; day = n2; break;
            case DateOrder::DayMonthYear: year = n3; month = n2; day = n1; break;
            case DateOrder::YearMonthDay: year = n1; month = n2; day = n3; yearLength = len1; break;
        }
        if (yearLength <= 2) {
            const long long window = settings.twoDigitYearCenturyWindow;
            const long long centuryBase = currentYear - window;
            year += centuryBase / 100 * 100;
            if (window > 0 && year < centuryBase) year += 100;
        }
    } else {
        year = currentYear;
        if (order == DateOrder::DayMonthYear) {
            day = n1;
            month = n2;
        } else {
            month = n1;
            day = n2;
        }
    }
    scan.Literal(separator);
    scan.SkipBlanks();
    if (!scan.AtEnd() || year < 1 || year > 9999 || !IsValidDate(static_cast<int>(year), month, day))
        return false;
    result = DateTime{static_cast<int>(year), month, day, 0, 0, 0, 0};
    return true;
}

// 0 for AM, 12 for PM, -1 when no designator is there.
int ScanDesignator(Scanner& scan, const RegionalSettings& settings) {
    if (scan.Designator(settings.amDesignator) || scan.Designator("AM")) return 0;
    if (scan.Designator(settings.pmDesignator) || scan.Designator("PM")) return 12;
    return -1;
}

bool ScanTime(const std::string& text, const RegionalSettings& settings, DateTime& result) {
    Scanner scan(text);
    int baseHour = ScanDesignator(scan, settings);
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    if (!scan.Number(hour)) return false;
    if (scan.Literal(settings.timeSeparator)) {
        if (!scan.Number(minute)) return false;
        if (scan.Literal(settings.timeSeparator)) {
            if (!scan.Number(second)) return false;
            if (scan.Literal(".") && !scan.Number(millisecond)) return false;
        }
    }
    if (baseHour < 0) baseHour = ScanDesignator(scan, settings);
    if (baseHour >= 0) {
        if (hour == 0 || hour > 12) return false;
        if (hour == 12) hour = 0;
        hour += baseHour;
    }
    scan.SkipBlanks();
    if (!scan.AtEnd() || hour >= 24 || minute >= 60 || second >= 60 || millisecond >= 1000)
        return false;
    result = DateTime{1899, 12, 30, hour, minute, second, millisecond};
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool TryStrToInt(std::string_view text, std::int32_t& result) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    bool hex = false;
    if (pos < text.size() && (text[pos] == '$' || text[pos] == 'x' || text[pos] == 'X')) {
        hex = true;
        ++pos;
    } else if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        hex = true;
        pos += 2;
    }
    if (pos >= text.size()) return false;
    std::uint64_t value = 0;
    if (hex) {
        for (; pos < text.size(); ++pos) {
            int digit = HexDigit(text[pos]);
            if (digit < 0) return false;
            value = value * 16 + static_cast<std::uint64_t>(digit);
            if (value > 0xFFFFFFFFull) return false;
        }
        // Hexadecimal fills all 32 bits: 0xFFFFFFFF is -1, as the runtime read it.
        std::uint32_t bits = static_cast<std::uint32_t>(value);
        if (negative) bits = 0u - bits;
        result = static_cast<std::int32_t>(bits);
        return true;
    }
    const std::uint64_t limit = negative ? 2147483648ull : 2147483647ull;
    for (; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > limit) return false;
    }
    result = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(value))
                      : static_cast<std::int32_t>(value);
    return true;
}

}  // namespace

DateTime StrToDate(const std::string& text, const RegionalSettings& settings, int currentYear) {
    DateTime result;
    if (!ScanDate(text, settings, currentYear, result))
        throw ConversionError("'" + text + "' is not a valid date");
    return result;
}

DateTime StrToTime(const std::string& text, const RegionalSettings& settings) {
    DateTime result;
    if (!ScanTime(text, settings, result))
        throw ConversionError("'" + text + "' is not a valid time");
    return result;
}

std::int32_t StrToInt(const std::string& text) {
    std::int32_t result = 0;
    if (!TryStrToInt(text, result))
        throw ConversionError("'" + text + "' is not a valid integer value");
    return result;
}

std::int32_t StrToIntDef(const std::string& text, std::int32_t fallback) {
    std::int32_t result = 0;
    return TryStrToInt(text, result) ? result : fallback;
}

}  // namespace tolvenmark
