#pragma once

#include <optional>
#include <string>

namespace tolvenmark {

struct MediaRuleInput {
    std::string mediaType;    // "" when nothing is selected
    std::string tickedPlayer;  // code of the ticked player box, "" for none
    std::string cdDrive;       // CDDRIVE as stored; empty means "D"
    std::string dvdDrive;      // DVDDRIVE as stored; empty means "D"
    int cdDriveIndex = 0;
};

// What the rule changes on the dialog; an empty optional leaves it as it is.
struct MediaRuleResult {
    std::optional<std::string> caption;  // of the start-string field
    std::optional<bool> browseEnabled;
    std::optional<std::string> startString;

    bool operator==(const MediaRuleResult&) const = default;
};

// The caption, Browse state and start string a media type asks for: disc
// types build the start string their player understands, the others keep
// what the user typed.
MediaRuleResult ApplyMediaTypeRule(const MediaRuleInput& input);

}  // namespace tolvenmark
