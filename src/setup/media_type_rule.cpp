#include "setup/media_type_rule.h"

namespace tolvenmark {

namespace {

constexpr const char* kFileToOpen = "File to Open";

MediaRuleResult CdAudio(const MediaRuleInput& in, const std::string& cd) {
    const std::string& p = in.tickedPlayer;
    if (p == "WMP")
        return {"Command Line String for Windows Media Player", false,
                "wmpcd://" + std::to_string(in.cdDriveIndex) + "/1"};
    if (p == "WINAMP") return {"Command Line String for Winamp", false, "cda://" + cd + ",1"};
    if (p == "REALONE") return {"Command Line String for Real One Player", false, ""};
    if (p == "QUICKTIME") return {"Command Line String for QuickTime Player", false, ""};
    if (p == "CUSTOM") return {"Command Line String for Custom Player", false, ""};
    return {std::nullopt, false, std::nullopt};
}

}  // namespace

MediaRuleResult ApplyMediaTypeRule(const MediaRuleInput& in) {
    const std::string cd = in.cdDrive.empty() ? "D" : in.cdDrive;
    const std::string dvd = in.dvdDrive.empty() ? "D" : in.dvdDrive;
    const std::string& type = in.mediaType;
    const bool wmp = in.tickedPlayer == "WMP";

    if (type == "MP3" || type == "Other File Format") return {kFileToOpen, true, std::nullopt};
    if (type == "CD Audio") return CdAudio(in, cd);
    if (type == "DVD") {
        if (wmp) return {"Command Line String for Windows Media Player", false, "wmpdvd://" + dvd};
        return {"Command Line String for DVD", false, ""};
    }
    if (type == "VCD") {
        const bool reads = wmp || in.tickedPlayer == "REALONE" || in.tickedPlayer == "CUSTOM";
        return {"Video CD (VCD)", false, reads ? cd + ":\\Mpegav\\Avseq01.dat" : std::string()};
    }
    if (type == "Internet Radio Station")
        return {"URL of Internet Radio Stream or Playlist File", true, std::nullopt};
    if (type == "Text Message") return {"Message To Display", false, std::nullopt};
    if (type == "Network Message") return {"Message To Send", false, "net send "};
    return {};
}

}  // namespace tolvenmark
