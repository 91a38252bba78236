#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/prompts.h"

namespace tolvenmark::testing {

// Records every message box as "CAPTION: TEXT" and answers confirmations
// from a queue (Yes when the queue is empty).
class ScriptedPrompts final : public Prompts {
public:
    void Error(const std::string& text) override { shown.push_back("Error: " + text); }
    void Warning(const std::string& text) override { shown.push_back("Warning: " + text); }
    void Information(const std::string& text) override { shown.push_back("Information: " + text); }
    void PlainBox(const std::string& text) override { shown.push_back(std::string(kApplicationTitle) + ": " + text); }
    bool Confirm(const std::string& text) override {
        shown.push_back("Confirm: " + text);
        return Next() != ConfirmAnswer::No;
    }
    ConfirmAnswer ConfirmAll(const std::string& text) override {
        shown.push_back("Confirm: " + text);
        return Next();
    }

    std::vector<std::string> shown;
    std::deque<ConfirmAnswer> answers;

private:
    ConfirmAnswer Next() {
        if (answers.empty()) return ConfirmAnswer::Yes;
        ConfirmAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
};

// Installs itself as the application's prompts for the life of a test.
class ScopedAppPrompts {
public:
    explicit ScopedAppPrompts(Prompts& p) { SetAppPrompts(&p); }
    ~ScopedAppPrompts() { SetAppPrompts(nullptr); }
};

}  // namespace tolvenmark::testing
