#include "skin/skin_fields.h"

#include <algorithm>

#include "platform/conversion_error.h"
#include "platform/date_time_text.h"
#include "platform/profile_file.h"

namespace tolvenmark {

namespace {
constexpr std::size_t kSkinValueBuffer = 2048;
}

const std::string& SkinField(const SkinFields& fields, std::size_t index) {
    if (index >= fields.size())
        throw OperationError("List index out of bounds (" + std::to_string(index) + ")");
    return fields[index];
}

std::int32_t SkinIntField(const SkinFields& fields, std::size_t index) {
    return StrToInt(SkinField(fields, index));
}

std::string OptionalSkinField(const SkinFields& fields, std::size_t index) {
    return index < fields.size() ? fields[index] : std::string();
}

std::string ReadSkinString(const ProfileSnapshot& ini, const std::string& section,
                           const std::string& key, const std::string& fallback) {
    return ini.Get(section, key, fallback, kSkinValueBuffer);
}

std::int32_t ReadSkinInteger(const ProfileSnapshot& ini, const std::string& section,
                             const std::string& key, std::int32_t fallback) {
    std::string text = ReadSkinString(ini, section, key, "");
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.replace(0, 2, "$");
    return StrToIntDef(text, fallback);
}

std::int32_t ClampSkinCoordinate(std::int32_t value) {
    return std::clamp(value, -kMaxSkinCoordinate, kMaxSkinCoordinate);
}

void ClampSkinSpan(std::int32_t& start, std::int32_t& extent) {
    const std::int64_t end = std::int64_t{start} + extent;
    const std::int64_t first = std::clamp<std::int64_t>(start, -kMaxSkinCoordinate, kMaxSkinCoordinate);
    const std::int64_t last = std::clamp<std::int64_t>(end, -kMaxSkinCoordinate, kMaxSkinCoordinate);
    start = static_cast<std::int32_t>(first);
    extent = static_cast<std::int32_t>(last - first);
}

std::size_t ReadSkinCount(const ProfileSnapshot& ini, const std::string& section) {
    const std::int32_t count = ReadSkinInteger(ini, section, "Count", 0);
    if (count <= 0) return 0;
    return static_cast<std::size_t>(count < kMaxSkinLines ? count : kMaxSkinLines);
}

}  // namespace tolvenmark
