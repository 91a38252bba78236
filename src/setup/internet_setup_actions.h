#pragma once

#include <cstdint>

namespace tolvenmark {

// What the rest of the program uses of the internet connection dialog
// (TForm8 implements it; launch logic is tested against a stand-in).
class InternetSetupActions {
public:
    virtual ~InternetSetupActions() = default;
    // The dial-up component's ConnectState; 8192 means connected.
    virtual std::uint16_t ConnectState() const = 0;
    virtual void ShowSetup() = 0;       // not modally
    virtual void TestConnection() = 0;  // "&Test Connection": dial the default
    virtual void HideSetup() = 0;
    virtual void Disconnect() = 0;      // "&Disconnect"
};

}  // namespace tolvenmark
