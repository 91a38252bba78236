// Skin lines come from downloaded files: any text must split without a crash,
// and the fields must obey the line rule.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/conversion_error.h"
#include "skin/skin_fields.h"
#include "skin/skin_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    const tolvenmark::SkinFields fields = tolvenmark::SplitSkinLine(line, ',');

    std::size_t total = 0;
    for (const std::string& field : fields) total += field.size();
    // Fields are cut from the line: together never longer than it.
    if (total > size) std::abort();
    // A field that did not start with a quotation mark holds no comma and no
    // control character; whether it did cannot be told afterwards, so only a
    // line without quotation marks is checked.
    if (line.find('"') == std::string::npos) {
        for (const std::string& field : fields)
            for (unsigned char c : field)
                if (c == ',' || c < 32) std::abort();
    }

    for (std::size_t i = 0; i < 3; ++i) {
        try {
            tolvenmark::SkinIntField(fields, i);
        } catch (const tolvenmark::ConversionError&) {
        } catch (const tolvenmark::OperationError&) {
        }
    }
    return 0;
}
