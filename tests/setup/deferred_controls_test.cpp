#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

#include "scripted_ras_backend.h"
#include "setup/internet_setup.h"
#include "support/gui_app.h"
#include "support/scripted_prompts.h"

namespace tolvenmark {
namespace {

using testing::ScriptedPrompts;
using testing::ScriptedRasBackend;

// One internet connection window with its own scripted service and keys.
struct Form8Run {
    explicit Form8Run(bool defer) {
        auto owned = std::make_unique<ScriptedRasBackend>();
        ras = owned.get();
        ras->entries = {"Office", "My ISP"};
        keys["WAIT"] = "45";
        keys["CLOSECONN"] = "Yes";
        form = std::make_unique<TForm8>(
            std::move(owned),
            ConfigKeys{[this](const std::string& k) { return keys[k]; },
                       [this](const std::string& k, const std::string& v) { keys[k] = v; }},
            prompts, nullptr, defer);
        form->Timer1->stop();
    }

    // Everything a user or the alarm can see of the window and the service.
    std::string Snapshot() const {
        std::string s = "log[" + form->Memo1->toPlainText().toStdString() + "] panel[" +
                        form->Panel1->text().toStdString() + "] list[";
        for (int i = 0; i < form->ListBox1->count(); ++i) s += form->ListBox1->item(i)->text().toStdString() + ";";
        s += "] test " + std::to_string(form->Button1->isEnabled()) + " disconnect " +
             std::to_string(form->Button2->isEnabled()) + " wait " + std::to_string(form->SpinEdit1->value()) +
             " close " + std::to_string(form->CheckBox1->isChecked()) + " state " +
             std::to_string(form->ConnectState()) + " dialed[";
        for (const std::string& d : ras->dialed) s += d + ";";
        s += "] hung " + std::to_string(ras->hungUp.size()) + " prompts[";
        for (const std::string& p : prompts.shown) s += p + ";";
        return s + "] default[" + form->defaultConnection + "]";
    }

    std::map<std::string, std::string> keys;
    ScriptedPrompts prompts;
    ScriptedRasBackend* ras = nullptr;
    std::unique_ptr<TForm8> form;
};

struct Form8Case {
    const char* name;
    std::function<void(Form8Run&)> steps;  // while the window was never shown
    bool controlsNeeded;                   // whether the steps had anything to show
};

class DeferredForm8Test : public ::testing::TestWithParam<Form8Case> {
protected:
    static void SetUpTestSuite() { testing::EnsureGuiApplication(); }
};

// Made when first needed, the window ends as one made at once would.
TEST_P(DeferredForm8Test, EndsAsMadeAtOnce) {
    Form8Run now(false), later(true);
    GetParam().steps(now);
    GetParam().steps(later);
    EXPECT_EQ(later.form->Memo1 != nullptr, GetParam().controlsNeeded);
    now.form->ShowSetup();
    later.form->ShowSetup();
    EXPECT_EQ(later.Snapshot(), now.Snapshot());
    now.form->close();
    later.form->close();
    EXPECT_EQ(later.Snapshot(), now.Snapshot());
}

INSTANTIATE_TEST_SUITE_P(
    Histories, DeferredForm8Test,
    ::testing::Values(
        Form8Case{"NeverUsed", [](Form8Run&) {}, false},
        Form8Case{"QuietWatch", [](Form8Run& r) { for (int i = 0; i < 3; ++i) r.form->Timer1Timer(); }, false},
        Form8Case{"HiddenAgain", [](Form8Run& r) { r.form->HideSetup(); }, false},
        Form8Case{"ConnectionFoundAndLost",
                  [](Form8Run& r) {
                      r.ras->active = {{42, "Mobile", "gsm", "ttyUSB2"}};
                      r.ras->status[42] = {0, 8192, 0};
                      r.form->Timer1Timer();
                      r.ras->active.clear();
                      r.form->Timer1Timer();
                  },
                  true},
        Form8Case{"AlarmDialsWhileHidden",
                  [](Form8Run& r) {
                      r.form->TestConnection();
                      r.ras->Progress(2);
                      r.ras->Progress(8192);
                  },
                  true},
        Form8Case{"AlarmDialRefused",
                  [](Form8Run& r) {
                      r.ras->dialError = 678;
                      r.form->TestConnection();
                  },
                  true},
        Form8Case{"AlarmDisconnects",
                  [](Form8Run& r) {
                      r.form->TestConnection();
                      r.ras->Progress(8192);
                      r.form->Disconnect();
                  },
                  true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tolvenmark
