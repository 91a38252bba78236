#pragma once

#include <memory>
#include <string>

namespace tolvenmark {

enum class ConfirmAnswer { Yes, No, YesToAll };

// Message boxes with the system's captions: "Error", "Warning",
// "Information", "Confirm"; PlainBox is titled with the application title.
class Prompts {
public:
    virtual ~Prompts() = default;
    virtual void Error(const std::string& text) = 0;
    virtual void Warning(const std::string& text) = 0;
    virtual void Information(const std::string& text) = 0;
    virtual bool Confirm(const std::string& text) = 0;  // "&Yes" / "&No"
    virtual ConfirmAnswer ConfirmAll(const std::string& text) = 0;  // + "Yes to &All"
    virtual void PlainBox(const std::string& text) = 0;
};

// Every box answered at once with its default button and shown nowhere:
// for benchmarks and fuzzing, which must never wait for a user.
class SilentPrompts : public Prompts {
public:
    void Error(const std::string&) override {}
    void Warning(const std::string&) override {}
    void Information(const std::string&) override {}
    bool Confirm(const std::string&) override { return true; }
    ConfirmAnswer ConfirmAll(const std::string&) override { return ConfirmAnswer::Yes; }
    void PlainBox(const std::string&) override {}
};

inline constexpr const char* kApplicationTitle = "Tolvenmark Clock";

// Qt message boxes, or with TOLVENMARK_PROMPTS=stderr one line "CAPTION: TEXT"
// on standard error per box, answered with its default button.
std::unique_ptr<Prompts> MakeDesktopPrompts();

// The prompts every part of the program uses; set once at start (and by tests).
Prompts& AppPrompts();
void SetAppPrompts(Prompts* prompts);

}  // namespace tolvenmark
