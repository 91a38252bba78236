#include <memory>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include "skin/program_settings.h"
#include "skin/skin_form.h"
#include "support/gui_app.h"

namespace tolvenmark {
namespace {

class DeferredForm4Test : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureGuiApplication(); }

    std::unique_ptr<TForm4> Make(bool defer) {
        ProgramSettingsLinks links;
        links.alarmOnFlag = [] { return false; };
        links.readConfigKey = [](const std::string& key) { return key == "WINRUN" ? "Yes" : ""; };
        links.writeConfigKey = [this](const std::string& key, const std::string& value) {
            written.push_back(key + "=" + value);
        };
        links.programPath = "/nowhere/tolvenmark-clock";
        return std::make_unique<TForm4>(skinForm, links, nullptr, defer);
    }

    static std::string Snapshot(TForm4& form) {
        return form.CheckBox1->text().toStdString() + " " + std::to_string(form.CheckBox1->isChecked()) + " " +
               std::to_string(form.CheckBox1->width()) + " " + form.Panel1->text().toStdString() + " " +
               std::to_string(form.Button2->isEnabled()) + " " + std::to_string(form.Image1->isVisible()) + " " +
               (form.focusWidget() ? form.focusWidget()->objectName().toStdString() + "/" +
                                         qobject_cast<QPushButton*>(form.focusWidget())->text().toStdString()
                                   : "none") +
               " " + std::to_string(form.pos().x()) + "," + std::to_string(form.pos().y());
    }

    TSkinForm skinForm;
    std::vector<std::string> written;
};

TEST_F(DeferredForm4Test, MadeAtFirstShowAsAtOnce) {
    auto now = Make(false);
    auto later = Make(true);
    EXPECT_EQ(later->CheckBox1, nullptr);
    later->hide();
    EXPECT_EQ(later->CheckBox1, nullptr);
    now->show();
    later->show();
    EXPECT_EQ(Snapshot(*later), Snapshot(*now));
    now->Button3Click();
    later->Button3Click();
    EXPECT_FALSE(later->isVisible());
    ASSERT_EQ(written.size() % 2, 0u);
    EXPECT_EQ(std::vector<std::string>(written.begin() + static_cast<long>(written.size() / 2), written.end()),
              std::vector<std::string>(written.begin(), written.begin() + static_cast<long>(written.size() / 2)));
}

}  // namespace
}  // namespace tolvenmark
