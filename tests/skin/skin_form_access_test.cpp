// The skinned window to the keyboard and to assistive technology.

#include <string>
#include <vector>

#include <QAccessible>
#include <QTest>
#include <gtest/gtest.h>

#include "skin/skin_form.h"
#include "support/gui_app.h"

namespace tolvenmark {
namespace {

struct AccessCase {
    const char* name;
    const char* skinFile;  // "" for the built-in skin
    // Children in reading order: a button's name in brackets, a label's text.
    std::vector<std::string> children;
};

class SkinFormAccessTest : public ::testing::TestWithParam<AccessCase> {
protected:
    static void SetUpTestSuite() { testing::EnsureGuiApplication(); }
    void SetUp() override {
        form = new TSkinForm(&window);
        form->SetKeyCommand(Qt::Key_Escape, "MINIMIZE");
        auto record = [](std::vector<std::string>& ids) {
            return [&ids](const std::string& id, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ids.push_back(id); };
        };
        form->OnMouseDownNotify = record(downs);
        form->OnMouseUpNotify = record(ups);
        const std::string file = GetParam().skinFile;
        file.empty() ? form->LoadDefaultSkin() : form->LoadSkin(TOLVENMARK_SOURCE_DIR "/resources/skins/" + file);
        for (const DisplayInfoRec& item : form->CurrentSkin().DisplayItems) form->SetDisplayText(item.ID, " " + item.ID + " ");
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        form->setFocus();
        tree = QAccessible::queryAccessibleInterface(form);
    }

    QAccessibleInterface* Child(const std::string& name) {
        for (int i = 0; i < tree->childCount(); ++i)
            if (tree->child(i)->text(QAccessible::Name).toStdString() == name) return tree->child(i);
        ADD_FAILURE() << "no child " << name;
        return tree;
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(form, key, modifiers); }

    QWidget window;
    TSkinForm* form = nullptr;
    QAccessibleInterface* tree = nullptr;
    std::vector<std::string> downs, ups;
};

TEST_P(SkinFormAccessTest, SpotsAreButtonsAndLabelsInReadingOrder) {
    std::vector<std::string> seen;
    for (int i = 0; i < tree->childCount(); ++i) {
        QAccessibleInterface* child = tree->child(i);
        const std::string name = child->text(QAccessible::Name).toStdString();
        const bool button = child->role() == QAccessible::Button || child->role() == QAccessible::CheckBox;
        seen.push_back(button ? "[" + name + "]" : name);
        EXPECT_EQ(tree->indexOfChild(child), i);
        EXPECT_EQ(child->parent(), tree);
        EXPECT_EQ(child->state().focusable, button) << name;
        EXPECT_EQ(child->state().checkable, name == "Alarm On/Off") << name;
        EXPECT_EQ(child->role() == QAccessible::CheckBox, name == "Alarm On/Off") << name;
        EXPECT_EQ(tree->childAt(child->rect().center().x(), child->rect().center().y()), child) << name;
    }
    EXPECT_EQ(seen, GetParam().children);
}

TEST_P(SkinFormAccessTest, PressClicksSpotSwitchReportsState) {
    QAccessibleInterface* onOff = Child("Alarm On/Off");
    EXPECT_FALSE(onOff->state().checked);
    onOff->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(ups.empty()) << "pressed within the reader's call";
    QCoreApplication::processEvents();
    EXPECT_EQ(downs, std::vector<std::string>{"AL_OFFON"});
    EXPECT_EQ(ups, std::vector<std::string>{"AL_OFFON"});
    EXPECT_TRUE(form->GetHotAreaState("AL_OFFON"));
    EXPECT_TRUE(onOff->state().checked);
    form->SetHotAreaState("AL_OFFON", false);
    EXPECT_FALSE(onOff->state().checked);
}

// The set-up gave every label its first text; what follows comes within the minute.
TEST_P(SkinFormAccessTest, ClockTextsOncePerMinuteAlarmAtOnce) {
    form->SetDisplayText("SECONDS", "07");
    form->SetDisplayText("TIME", " 9:05 ");
    form->SetDisplayText("AL_HEADER", "Wake");
    form->SetDisplayText("AL_DATE", "1/1/2099 at 7:00:00 AM");
    for (const char* unchanged : {"SECONDS", "TIME"}) EXPECT_EQ(Child(unchanged)->role(), QAccessible::StaticText);
    for (const char* renewed : {"Wake", "1/1/2099 at 7:00:00 AM"}) EXPECT_EQ(Child(renewed)->role(), QAccessible::StaticText);
}

TEST_P(SkinFormAccessTest, SecondsSayWhatTheyCountSwitchToggles) {
    form->LoadDefaultSkin();  // its texts heard afresh
    form->SetDisplayText("SECONDS", "15");
    EXPECT_EQ(Child("15 seconds")->role(), QAccessible::StaticText);
    EXPECT_TRUE(Child("Alarm On/Off")->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
}

TEST_P(SkinFormAccessTest, TabRingsInReadingOrderSpacePresses) {
    std::vector<std::string> buttons;
    for (const std::string& child : GetParam().children)
        if (child.front() == '[') buttons.push_back(child.substr(1, child.size() - 2));
    const QImage before = form->grab().toImage();
    EXPECT_FALSE(form->ShowsFocusRing());
    for (const std::string& name : buttons) {
        Key(Qt::Key_Tab);
        EXPECT_TRUE(Child(name)->state().focused) << name;
    }
    EXPECT_NE(form->grab().toImage(), before) << "the ring is drawn";
    Key(Qt::Key_Tab);
    EXPECT_TRUE(Child(buttons.front())->state().focused) << "Tab goes round";
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    const int snooze = form->FocusedHotArea();
    EXPECT_EQ(form->HotAreaId(snooze), "SNOOZE");

    QTest::keyPress(form, Qt::Key_Space);
    EXPECT_TRUE(form->CurrentSkin().HotAreas[static_cast<std::size_t>(snooze)].Pressed);
    const QPoint middle = form->HotAreaBox(snooze).center();
    EXPECT_EQ(form->Face().pixel(middle), form->CurrentSkin().DownImage.pixel(middle));
    EXPECT_TRUE(ups.empty());
    QTest::keyRelease(form, Qt::Key_Space);
    QTest::keyClick(form, Qt::Key_Return);
    Key(Qt::Key_Escape);
    EXPECT_EQ(downs, (std::vector<std::string>{"SNOOZE", "SNOOZE"}));
    EXPECT_EQ(ups, (std::vector<std::string>{"SNOOZE", "SNOOZE", "MINIMIZE"}));

    QTest::mouseClick(form, Qt::LeftButton, {}, {1, 1});
    EXPECT_FALSE(form->ShowsFocusRing()) << "the mouse puts the ring away";
    ups.clear();
    QTest::keyClick(form, Qt::Key_Space);
    EXPECT_TRUE(form->ShowsFocusRing());
    EXPECT_TRUE(ups.empty()) << "the first key after the mouse only shows where the keyboard is";
    QTest::keyClick(form, Qt::Key_Return);
    EXPECT_EQ(ups, std::vector<std::string>{"SNOOZE"});
}

INSTANTIATE_TEST_SUITE_P(
    Skins, SkinFormAccessTest,
    ::testing::Values(AccessCase{"BuiltIn", "",
                                 {"[About Program]", "[Minimize]", "[Help]", "[Exit Program]", "TIME", "SECONDS",
                                  "AM_PM", "DATE", "[Alarm On/Off]", "[Alarm Settings]", "AL_HEADER",
                                  "[Program Settings]", "AL_DATE", "[Snooze]"}},
                      AccessCase{"Round", "round/skin.ini",
                                 {"[About Program]", "[Program Settings]", "[Help]", "[Minimize]", "[Exit Program]",
                                  "TIME", "SECONDS", "AM_PM", "DATE", "[Alarm On/Off]", "[Alarm Settings]",
                                  "AL_HEADER", "AL_DATE", "[Snooze]"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tolvenmark
