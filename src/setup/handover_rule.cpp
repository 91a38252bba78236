#include "setup/handover_rule.h"

#include "platform/names.h"

namespace tolvenmark {

TargetMediaType MediaTypeForTarget(const std::string& target, const std::string& defaultPlayer) {
    auto has = [&](const char* part) { return target.find(part) != std::string::npos; };
    if (has("mp3")) return {"MP3"};
    if (has("cd")) return {"CD Audio"};
    if (has("dvd")) return {"DVD"};
    if (AsciiUpper(target).find("AVSEQ") != std::string::npos) return {"VCD"};
    if (has("http")) return {"Internet Radio Station"};
    if (defaultPlayer == "MESSAGE") return {"Text Message", false};
    if (defaultPlayer == "NETMESS") return {"Network Message", false};
    return {"Other File Format"};
}

}  // namespace tolvenmark
