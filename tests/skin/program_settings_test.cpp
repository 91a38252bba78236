#include "skin/program_settings.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/autostart.h"
#include "platform/profile_file.h"
#include "skin/skin_form.h"
#include "support/gui_app.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace tolvenmark {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

const std::string kSamples = std::string(TOLVENMARK_BINARY_DIR) + "/share/tolvenmark-clock/skins";
constexpr char kProgram[] = "/opt/tolvenmark clock/bin/tolvenmark-clock";
constexpr char kOtherEntry[] = "[Desktop Entry]\nType=Application\nExec=/somewhere/else\n";
constexpr char kNotValid[] = "Warning: The skin file that you chose was not valid.";
constexpr char kMissing[] =
    "Error: One or more of the skin components could not be found.  The default skin will be loaded.";

// A user's skin in a folder of its own: 30 x 20 faces and one alarm switch
// that the skin itself starts switched on.
void WriteSkin(const std::string& folder, const std::string& images, const std::string& switchLine =
                                                                          "AL_OFFON, 0, 0, 10, 10, Alarm, TRUE") {
    std::filesystem::create_directories(folder);
    for (const char* name : {"mask.bmp", "up.bmp", "down.bmp"}) {
        QImage image(30, 20, QImage::Format_RGB32);
        image.fill(Qt::black);
        ASSERT_TRUE(image.save(QString::fromStdString(folder + "/" + name), "BMP"));
    }
    WriteFileBytes(folder + "/skin.ini", "[VERSION]\nVer=217\n[BITMAPINFO]\n" + images +
                                             "[HOTAREAINFO]\nCount=1\n1=" + switchLine + "\n");
}

constexpr char kGoodImages[] = "MaskBitmap=mask.bmp\nMouseUpBitmap=up.bmp\nMouseDownBitmap=down.bmp\n";

class ProgramSettingsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureGuiApplication(); }

    void SetUp() override {
        if (const char* v = std::getenv("XDG_CONFIG_HOME")) savedConfigHome = v;
        setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
        WriteFileBytes(Config(), "[ALARM]\nSKIN=/old/skin.ini\nALSET=TRUE\n");
        WriteSkin(dir.File("good"), kGoodImages);

        window = std::make_unique<QWidget>();
        skinForm = new TSkinForm(window.get());
        skinForm->LoadDefaultSkin();

        ProgramSettingsLinks links;
        links.alarmOnFlag = [this] { return alarmOnFlag; };
        links.setAlarmOnFlag = [this](bool on) {
            alarmOnFlag = on;
            flagsSet.push_back(on);
        };
        links.readConfigKey = [this](const std::string& key) {
            return GetPrivateProfileString("ALARM", key, "", 255, Config());
        };
        links.writeConfigKey = [this](const std::string& key, const std::string& value) {
            WritePrivateProfileString("ALARM", key, value, Config());
        };
        links.programPath = kProgram;
        links.sampleSkinsFolder = kSamples;
        links.wakeUnavailable = [this] { return wakeUnavailable; };
        form = std::make_unique<TForm4>(*skinForm, links);
    }

    void TearDown() override {
        form.reset();
        if (savedConfigHome) setenv("XDG_CONFIG_HOME", savedConfigHome->c_str(), 1);
        else unsetenv("XDG_CONFIG_HOME");
    }

    std::string Config() const { return dir.File("TOLVENMARKCLOCK.INI"); }
    std::string Key(const std::string& key) const { return GetPrivateProfileString("ALARM", key, "<none>", 255, Config()); }
    std::string Entry() const { return dir.File("config/autostart/tolvenmark-clock.desktop"); }
    void PutEntry(const std::string& text) {
        std::filesystem::create_directories(dir.File("config/autostart"));
        WriteFileBytes(Entry(), text);
    }
    void Click(QWidget* control) { QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(4, control->height() / 2)); }

    testing::TempDir dir;
    testing::ScriptedPrompts prompts;
    testing::ScopedAppPrompts scopedPrompts{prompts};
    std::optional<std::string> savedConfigHome;
    std::unique_ptr<QWidget> window;
    TSkinForm* skinForm = nullptr;
    std::unique_ptr<TForm4> form;
    bool alarmOnFlag = false;
    bool wakeUnavailable = false;
    std::vector<bool> flagsSet;
};

struct WinRunCase {
    std::optional<std::string> winRun;  // nullopt: no key
    bool entryBefore;
    bool checked;
};

class WinRunTest : public ProgramSettingsTest, public ::testing::WithParamInterface<WinRunCase> {};

// Showing makes the box and the entry follow WINRUN; hiding writes the box back.
TEST_P(WinRunTest, ShowingFollowsWinRunAndHidingWritesItBack) {
    const WinRunCase& c = GetParam();
    if (c.winRun) WritePrivateProfileString("ALARM", "WINRUN", *c.winRun, Config());
    if (c.entryBefore) PutEntry(kOtherEntry);
    const std::string before = Key("WINRUN");

    form->show();
    EXPECT_EQ(form->CheckBox1->isChecked(), c.checked);
    EXPECT_EQ(std::filesystem::exists(Entry()), c.checked);
    if (c.checked && c.entryBefore) {
        EXPECT_EQ(ReadFileBytes(Entry()), kOtherEntry);  // not corrected
    } else if (c.checked) {
        EXPECT_NE(ReadFileBytes(Entry()).find("\nExec=\"" + std::string(kProgram) + "\"\n"), std::string::npos);
    }
    EXPECT_EQ(Key("WINRUN"), before);  // only hiding writes it

    form->hide();
    EXPECT_EQ(Key("WINRUN"), c.checked ? "Yes" : "No");
    EXPECT_THAT(prompts.shown, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Values, WinRunTest,
    ::testing::Values(WinRunCase{std::nullopt, true, false}, WinRunCase{std::nullopt, false, false},
                      WinRunCase{"Yes", false, true}, WinRunCase{"Yes", true, true},
                      WinRunCase{"yes", true, false}, WinRunCase{"YES", false, false},
                      WinRunCase{"No", true, false}, WinRunCase{"TRUE", true, false},
                      // The profile reader drops blanks and one pair of quotes.
                      WinRunCase{" Yes ", false, true}, WinRunCase{"\"Yes\"", false, true}));

TEST_F(ProgramSettingsTest, ReturnOpensNoSkin) {
    form->show();
    int pressed = 0;
    for (QPushButton* button : form->findChildren<QPushButton*>())
        QObject::connect(button, &QPushButton::pressed, [&pressed] { ++pressed; });
    QTest::keyClick(form->CheckBox1, Qt::Key_Return);
    EXPECT_EQ(pressed, 0);
}

TEST_F(ProgramSettingsTest, SaysOnlyWhenWakingFromSleepIsNotAvailable) {
    for (const bool unavailable : {false, true, false}) {
        wakeUnavailable = unavailable;
        form->FormShow();
        EXPECT_EQ(form->WakeLabel->isVisibleTo(form.get()), unavailable);
        // One line below the preview, inside a dialog that grows for it only.
        EXPECT_EQ(form->rect().contains(form->WakeLabel->geometry()), unavailable);
    }
    EXPECT_EQ(form->WakeLabel->text().toStdString(), "Waking from sleep is not available");
    EXPECT_FALSE(form->WakeLabel->geometry().intersects(form->Panel1->geometry()));
}

TEST_F(ProgramSettingsTest, TheBoxWritesAndRemovesTheEntryAtOnce) {
    form->show();
    ASSERT_FALSE(form->CheckBox1->isChecked());
    Click(form->CheckBox1);
    EXPECT_TRUE(form->CheckBox1->isChecked());
    EXPECT_EQ(form->WinRunSetting(), "Yes");
    EXPECT_TRUE(std::filesystem::exists(Entry()));
    EXPECT_EQ(Key("WINRUN"), "<none>");  // the configuration follows at hiding

    Click(form->CheckBox1);
    EXPECT_FALSE(std::filesystem::exists(Entry()));
    EXPECT_EQ(form->WinRunSetting(), "No");
    form->hide();
    EXPECT_EQ(Key("WINRUN"), "No");
    EXPECT_THAT(prompts.shown, IsEmpty());
}

TEST_F(ProgramSettingsTest, AnEntryThatCannotBeWrittenIsReportedAndTheBoxStays) {
    std::filesystem::create_directories(dir.File("config"));
    WriteFileBytes(dir.File("config/autostart"), "");  // a file where the folder must go
    form->show();
    Click(form->CheckBox1);
    EXPECT_THAT(prompts.shown, ElementsAre("Error: Failed to set data for 'Tolvenmark Clock'"));
    EXPECT_TRUE(form->CheckBox1->isChecked());
    EXPECT_FALSE(AutostartEntryExists());
    form->hide();
    EXPECT_EQ(Key("WINRUN"), "Yes");
}

TEST_F(ProgramSettingsTest, OpenSkinPreviewsThroughTheFileDialog) {
    const std::string chosen = dir.File("good/skin.ini");
    bool answered = false;
    // Answers the real dialog once it is up.
    std::function<void()> answer = [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return QTimer::singleShot(10, answer);
        EXPECT_EQ(dialog->windowTitle(), "Open Skin File");
        EXPECT_THAT(dialog->nameFilters(), ElementsAre("Skin File (skin*.ini *.skn *.SKN)"));
        dialog->selectFile(QString::fromStdString(chosen));
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides its override
        answered = true;
    };
    QTimer::singleShot(0, answer);
    form->Button4Click();
    ASSERT_TRUE(answered);
    EXPECT_EQ(form->OpenSkinPath(), chosen);
    EXPECT_TRUE(form->Image1->isVisibleTo(form.get()));
    EXPECT_TRUE(form->Button2->isEnabled());

    // Cancelling later keeps the earlier choice and preview.
    std::function<void()> cancel = [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return QTimer::singleShot(10, cancel);
        dialog->reject();
    };
    QTimer::singleShot(0, cancel);
    form->Button4Click();
    EXPECT_EQ(form->OpenSkinPath(), chosen);
    EXPECT_TRUE(form->Button2->isEnabled());
    EXPECT_THAT(prompts.shown, IsEmpty());
}

// The sample skins we ship are packed: with the built-in skin on, the dialog
// starts among them, previews the chosen one's face and loads it.
TEST_F(ProgramSettingsTest, PreviewsAndLoadsAShippedPackedSkin) {
    WritePrivateProfileString("ALARM", "SKIN", "Default", Config());
    const std::string chosen = kSamples + "/Strip.skn";
    std::string startedIn;
    std::function<void()> answer = [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return QTimer::singleShot(10, answer);
        startedIn = dialog->directory().absolutePath().toStdString();
        dialog->selectFile(QString::fromStdString(chosen));
        static_cast<QDialog*>(dialog)->accept();
    };
    QTimer::singleShot(0, answer);
    form->Button4Click();
    EXPECT_EQ(startedIn, std::filesystem::canonical(kSamples).string());
    EXPECT_TRUE(form->Image1->isVisibleTo(form.get()));
    EXPECT_FALSE(form->Image1->pixmap().isNull());
    // The long strip keeps its proportions, centred in the panel.
    const QSize face = form->Image1->pixmap().size(), shown = form->Image1->size();
    EXPECT_EQ(shown.width(), form->Panel1->width());
    EXPECT_NEAR(shown.height(), double(shown.width()) * face.height() / face.width(), 1.0);
    EXPECT_EQ(form->Image1->geometry().center(), form->Panel1->rect().center());
    form->Button2Click();
    EXPECT_THAT(prompts.shown, IsEmpty());
    EXPECT_EQ(skinForm->SkinFile(), chosen);
    EXPECT_EQ(Key("SKIN"), chosen);
}

struct InvalidChoice {
    const char* name;
    std::string images;
};

class InvalidSkinChoiceTest : public ProgramSettingsTest, public ::testing::WithParamInterface<InvalidChoice> {};

// The preview needs MouseUpBitmap beside the skin file; nothing else will do.
TEST_P(InvalidSkinChoiceTest, IsRefusedAndDisablesLoading) {
    form->OpenSkinFile(dir.File("good/skin.ini"));
    ASSERT_TRUE(form->Button2->isEnabled());

    const std::string folder = dir.File(GetParam().name);
    WriteSkin(folder, GetParam().images);
    form->OpenSkinFile(folder + "/skin.ini");
    EXPECT_THAT(prompts.shown, ElementsAre(kNotValid));
    EXPECT_FALSE(form->Image1->isVisibleTo(form.get()));
    EXPECT_FALSE(form->Button2->isEnabled());
    EXPECT_EQ(form->OpenSkinPath(), folder + "/skin.ini");
}

INSTANTIATE_TEST_SUITE_P(
    Skins, InvalidSkinChoiceTest,
    ::testing::Values(InvalidChoice{"missing_face", "MaskBitmap=mask.bmp\nMouseUpBitmap=gone.bmp\n"},
                      // Loadable, as the up face falls back to the mask, but not previewable.
                      InvalidChoice{"mask_only", "MaskBitmap=mask.bmp\n"},
                      InvalidChoice{"folder_named", "MaskBitmap=mask.bmp\nMouseUpBitmap=.\n"}));

TEST_F(ProgramSettingsTest, LoadingWithoutAChoiceWarns) {
    form->Button2Click();
    EXPECT_THAT(prompts.shown, ElementsAre("Warning: There is no skin loaded."));
    EXPECT_EQ(skinForm->ResourceName(), "Skin");
    EXPECT_THAT(flagsSet, IsEmpty());
}

// "&Done", the title bar's close button and Escape all hide the dialog and
// write WINRUN; only "&Done" clears the preview.
TEST_F(ProgramSettingsTest, HidingWritesWinRunAndOnlyDoneClearsThePreview) {
    form->show();
    form->OpenSkinFile(dir.File("good/skin.ini"));
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(Key("WINRUN"), "No");
    EXPECT_TRUE(form->Button2->isEnabled());

    WritePrivateProfileString("ALARM", "WINRUN", "Yes", Config());
    form->show();
    EXPECT_TRUE(form->CheckBox1->isChecked());
    EXPECT_TRUE(form->Image1->isVisibleTo(form.get()));
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(Key("WINRUN"), "Yes");

    form->show();
    Click(form->Button3);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->Image1->isVisibleTo(form.get()));
    EXPECT_FALSE(form->Button2->isEnabled());
}

enum class Load { OpenSkin, Default, MissingComponent, BadContent };

struct LoadCase {
    Load load;
    bool alarmOn;
};

class LoadTest : public ProgramSettingsTest, public ::testing::WithParamInterface<LoadCase> {
protected:
    std::string Good() const { return dir.File("good/skin.ini"); }
};

// Each skin brings its own switch state (the user's skin: on, the built-in
// one: off) and ALSET says "TRUE"; the user's current choice must win.
TEST_P(LoadTest, RecordsTheSkinAndKeepsTheUsersAlarmSwitch) {
    const bool on = alarmOnFlag = GetParam().alarmOn;
    skinForm->SetHotAreaState("AL_OFFON", !on);  // a press released outside
    if (GetParam().load == Load::BadContent) WriteSkin(dir.File("good"), kGoodImages, "AL_OFFON, x, 0, 10, 10, A, TRUE");
    form->OpenSkinFile(Good());
    switch (GetParam().load) {
        case Load::OpenSkin:
            form->Button2Click();
            EXPECT_EQ(skinForm->SkinFile(), Good());
            EXPECT_EQ(skinForm->CurrentSkin().MaskImage.size(), QSize(30, 20));
            EXPECT_EQ(Key("SKIN"), Good());
            EXPECT_TRUE(form->Button2->isEnabled());  // pressing again reloads it
            EXPECT_THAT(prompts.shown, IsEmpty());
            break;
        case Load::Default:
            Click(form->Button1);
            EXPECT_EQ(skinForm->ResourceName(), "Skin");
            EXPECT_EQ(skinForm->CurrentSkin().MaskImage.size(), QSize(501, 357));
            EXPECT_EQ(Key("SKIN"), "Default");
            EXPECT_FALSE(form->Image1->isVisibleTo(form.get()));
            EXPECT_FALSE(form->Button2->isEnabled());
            EXPECT_EQ(form->OpenSkinPath(), Good());  // kept for the run
            break;
        case Load::MissingComponent:
            std::filesystem::remove(dir.File("good/down.bmp"));
            form->Button2Click();
            EXPECT_THAT(prompts.shown, ElementsAre(kMissing));
            EXPECT_EQ(skinForm->CurrentSkin().MaskImage.size(), QSize(501, 357));
            EXPECT_EQ(Key("SKIN"), "/old/skin.ini");
            break;
        case Load::BadContent:
            Click(form->Button2);
            EXPECT_THAT(prompts.shown, ElementsAre("Error: 'x' is not a valid integer value"));
            EXPECT_EQ(Key("SKIN"), "/old/skin.ini");
            // The load stopped: the window keeps its skin and the switch as it was.
            EXPECT_EQ(skinForm->CurrentSkin().MaskImage.size(), QSize(501, 357));
            EXPECT_EQ(skinForm->GetHotAreaState("AL_OFFON"), !on);
            EXPECT_THAT(flagsSet, IsEmpty());
            return;
    }
    EXPECT_EQ(skinForm->GetHotAreaState("AL_OFFON"), on);
    EXPECT_THAT(flagsSet, ElementsAre(on));
    EXPECT_EQ(Key("ALSET"), "TRUE");
}

INSTANTIATE_TEST_SUITE_P(
    Loads, LoadTest,
    ::testing::Values(LoadCase{Load::OpenSkin, false}, LoadCase{Load::OpenSkin, true},
                      LoadCase{Load::Default, false}, LoadCase{Load::Default, true},
                      LoadCase{Load::MissingComponent, false}, LoadCase{Load::MissingComponent, true},
                      LoadCase{Load::BadContent, false}));

}  // namespace
}  // namespace tolvenmark
