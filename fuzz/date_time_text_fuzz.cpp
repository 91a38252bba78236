// Date, time and integer texts typed by users or stored in files, and the
// format strings that regional settings bring: no crash, and whatever
// converts must convert back the same.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

#include "platform/conversion_error.h"
#include "platform/date_time_text.h"

namespace {

using tolvenmark::ConversionError;
using tolvenmark::DateTime;
using tolvenmark::RegionalSettings;

RegionalSettings Machine(int which) {
    RegionalSettings s;
    switch (which) {
        case 1:
            s.shortDateFormat = "dd.MM.yyyy";
            s.dateSeparator = ".";
            s.shortTimeFormat = "hh:mm";
            s.longTimeFormat = "hh:mm:ss";
            s.amDesignator = "";
            s.pmDesignator = "";
            break;
        case 2:
            s.shortDateFormat = "yyyy-MM-dd";
            s.dateSeparator = "-";
            s.shortTimeFormat = "AMPM h:mm";
            s.longTimeFormat = "AMPM h:mm:ss";
            s.amDesignator = "vorm.";
            s.pmDesignator = "nachm.";
            break;
        default:
            break;
    }
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const RegionalSettings machine = Machine(input.ConsumeIntegralInRange(0, 2));
    const int currentYear = input.ConsumeIntegralInRange(1, 9999);
    const std::string text = input.ConsumeRandomLengthString(64);
    const std::string format = input.ConsumeRandomLengthString(64);
    DateTime any;
    any.year = input.ConsumeIntegral<int>();
    any.month = input.ConsumeIntegral<int>();
    any.day = input.ConsumeIntegral<int>();
    any.hour = input.ConsumeIntegral<int>();
    any.minute = input.ConsumeIntegral<int>();
    any.second = input.ConsumeIntegral<int>();

    try {
        const DateTime date = tolvenmark::StrToDate(text, machine, currentYear);
        if (tolvenmark::StrToDate(tolvenmark::DateToStr(date, machine), machine, currentYear) != date)
            std::abort();
    } catch (const ConversionError&) {
    }
    try {
        const DateTime time = tolvenmark::StrToTime(text, machine);
        DateTime whole = time;
        whole.millisecond = 0;
        if (tolvenmark::StrToTime(tolvenmark::TimeToStr(time, machine), machine) != whole) std::abort();
    } catch (const ConversionError&) {
    }
    bool converted = true;
    std::int32_t number = 0;
    try {
        number = tolvenmark::StrToInt(text);
        if (tolvenmark::StrToInt(std::to_string(number)) != number) std::abort();
    } catch (const ConversionError&) {
        converted = false;
    }
    if (tolvenmark::StrToIntDef(text, 7) != (converted ? number : 7)) std::abort();

    // Format strings from the input, also as the short date format they may nest.
    RegionalSettings fuzzed = machine;
    fuzzed.shortDateFormat = format;
    tolvenmark::FormatDateTime(format, any, fuzzed);
    tolvenmark::FormatDateTime(text, any, fuzzed);
    try {
        tolvenmark::StrToDate(text, fuzzed, currentYear);
    } catch (const ConversionError&) {
    }
    return 0;
}
