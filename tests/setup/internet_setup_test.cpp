#include "setup/internet_setup.h"

#include <map>

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QSpinBox>
#include <QTimer>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "scripted_ras_backend.h"
#include "support/gui_app.h"
#include "support/scripted_prompts.h"

namespace tolvenmark {
namespace {

using ::testing::ElementsAre;
using testing::ScriptedPrompts;
using testing::ScriptedRasBackend;

class InternetSetupTest : public ::testing::Test {
protected:
    InternetSetupTest() {
        testing::EnsureGuiApplication();
        auto owned = std::make_unique<ScriptedRasBackend>();
        ras = owned.get();
        form = std::make_unique<TForm8>(
            std::move(owned),
            ConfigKeys{[this](const std::string& k) { return keys[k]; },
                       [this](const std::string& k, const std::string& v) { keys[k] = v; }},
            prompts);
        form->Timer1->stop();  // the tests run the watch by hand
    }
    std::vector<std::string> LogLines() const {
        const QString text = form->Memo1->toPlainText();
        if (text.isEmpty()) return {};
        std::vector<std::string> lines;
        for (const QString& l : text.split('\n')) lines.push_back(l.toStdString());
        return lines;
    }
    std::vector<std::string> ListEntries() const {
        std::vector<std::string> names;
        for (int i = 0; i < form->ListBox1->count(); ++i) names.push_back(form->ListBox1->item(i)->text().toStdString());
        return names;
    }
    // "&Test Connection" on the entry shown in the panel.
    void Dial(const std::string& entry) {
        keys["ICONNECT"] = entry;
        form->show();
        form->Button1Click();
    }

    std::map<std::string, std::string> keys;
    ScriptedPrompts prompts;
    ScriptedRasBackend* ras;
    std::unique_ptr<TForm8> form;
};

TEST_F(InternetSetupTest, ControlsAndSize) {
    EXPECT_EQ(form->windowTitle(), "Internet Connection Setup");
    EXPECT_EQ(form->size(), QSize(273, 475));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->Button4->text(), "&Set As Default");
    EXPECT_EQ(form->Button1->text(), "&Test Connection");
    EXPECT_EQ(form->Button2->text(), "&Disconnect");
    EXPECT_FALSE(form->Button2->isEnabled());
    EXPECT_EQ(form->Button3->text(), "&Done");
    EXPECT_EQ(form->CheckBox1->text(), "&Close Connection on Snooze");
    EXPECT_EQ(form->Label2->text(), "Wait before launching alarm:");
    EXPECT_EQ(form->Label3->text(), "seconds");
    EXPECT_TRUE(form->Memo1->isReadOnly());
    EXPECT_EQ(form->Timer1->interval(), 1000);
    for (QWidget* w : form->findChildren<QWidget*>())
        EXPECT_TRUE(form->rect().contains(w->geometry())) << w->metaObject()->className();
}

TEST_F(InternetSetupTest, ShowingListsThePhoneBookSortedThenTheLan) {
    ras->entries = {"b-net", "A-net", "Zeta"};
    keys["WAIT"] = "";
    keys["CLOSECONN"] = "Yes";
    keys["ICONNECT"] = "Zeta";
    form->show();
    EXPECT_THAT(ListEntries(), ElementsAre("A-net", "b-net", "Zeta", "Local Area Network (LAN)"));
    EXPECT_EQ(form->SpinEdit1->value(), 60);
    EXPECT_TRUE(form->CheckBox1->isChecked());
    EXPECT_EQ(form->Panel1->text(), "Zeta");
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_TRUE(prompts.shown.empty());
    form->Button3Click();
    EXPECT_EQ(keys["WAIT"], "60");
    EXPECT_EQ(keys["CLOSECONN"], "Yes");
    EXPECT_FALSE(form->isVisible());
}

TEST_F(InternetSetupTest, LanDefaultRepeatsItsNoteAtEveryShowing) {
    keys["ICONNECT"] = "Local Area Network (LAN)";
    for (int i = 0; i < 2; ++i) {
        form->show();
        EXPECT_THAT(LogLines(), ElementsAre("LAN connection set outside of this program...", "",
                                            "This setup is for dial-up connections only.  If you currently have a "
                                            "T1, Cable, DSL, or any other constant connection, please set the "
                                            "default value to LAN."));
        EXPECT_FALSE(form->Button1->isEnabled());
        EXPECT_FALSE(form->SpinEdit1->isEnabled());
        EXPECT_FALSE(form->CheckBox1->isEnabled());
        form->hide();
    }
    EXPECT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0], std::string("Information: ") + kLanMessage);
}

TEST_F(InternetSetupTest, SetAsDefault) {
    ras->entries = {"My ISP"};
    form->show();
    form->Button4Click();
    EXPECT_THAT(prompts.shown,
                ElementsAre("Error: You must select a dial-up connection before you can choose a default."));
    EXPECT_EQ(keys.count("ICONNECT") ? keys["ICONNECT"] : "", "");
    form->ListBox1->setCurrentRow(1);
    form->Button4Click();
    EXPECT_EQ(keys["ICONNECT"], "Local Area Network (LAN)");
    EXPECT_FALSE(form->Button1->isEnabled());
    form->ListBox1->setCurrentRow(0);
    form->Button4Click();
    EXPECT_EQ(keys["ICONNECT"], "My ISP");
    EXPECT_EQ(form->Panel1->text(), "My ISP");
    EXPECT_TRUE(form->Button1->isEnabled());
    EXPECT_TRUE(form->SpinEdit1->isEnabled());
}

TEST_F(InternetSetupTest, DialToConnected) {
    Dial("My ISP");
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_TRUE(form->Button2->isEnabled());
    for (std::uint16_t s : {0, 1, 2, 8192}) ras->Progress(s);
    ras->Progress(8192);  // the same state again writes nothing
    EXPECT_THAT(LogLines(), ElementsAre("Dialing Connection: My ISP", "Dial: Serial Port Opened (1)",
                                        "Dial: Connecting/Dialling (2)", "Dial: Connected/Online (8192)"));
    EXPECT_EQ(form->connectedHandle, 7u);
    EXPECT_EQ(form->dialingHandle, 0u);
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_EQ(form->ConnectState(), 8192);
    EXPECT_THAT(ras->dialed, ElementsAre("My ISP|"));
}

TEST_F(InternetSetupTest, DialErrorHangsUp) {
    Dial("My ISP");
    ras->Progress(2);
    ras->Progress(2, 678);
    EXPECT_THAT(LogLines(), ElementsAre("Dialing Connection: My ISP", "Dial: Connecting/Dialling (2)",
                                        "Dial: There was no answer. (678)"));
    EXPECT_THAT(ras->hungUp, ElementsAre(7u));
    EXPECT_TRUE(form->Timer1->isActive());
}

TEST_F(InternetSetupTest, RemoteHangUpDuringTheDial) {
    Dial("My ISP");
    ras->Progress(8193);
    EXPECT_THAT(LogLines(), ElementsAre("Dialing Connection: My ISP", "Dial: Disconnected/Offline (8193)"));
    EXPECT_THAT(ras->hungUp, ElementsAre(7u));
}

TEST_F(InternetSetupTest, RefusedDial) {
    ras->dialError = 678;
    Dial("My ISP");
    EXPECT_THAT(LogLines(), ElementsAre("Dialing Connection: My ISP", "Dialing Failed - There was no answer."));
    EXPECT_THAT(prompts.shown, ElementsAre("Error: Dial-up failed."));
    EXPECT_TRUE(form->Button1->isEnabled());
    EXPECT_FALSE(form->Button2->isEnabled());
    EXPECT_TRUE(form->Timer1->isActive());
}

TEST_F(InternetSetupTest, NoDialUpService) {
    ras->available = false;
    Dial("My ISP");
    EXPECT_THAT(LogLines(), ElementsAre("NetworkManager is not available: dial-up connections cannot be listed or dialed.",
                                        "Dialing Connection: My ISP", "Dialing Failed - RASAPI32.DLL Not Available"));
    EXPECT_THAT(prompts.shown, ElementsAre("Error: Dial-up failed."));
    EXPECT_THAT(ListEntries(), ElementsAre("Local Area Network (LAN)"));
}

// The watch runs only while something depends on it; otherwise the
// service's notice of a change runs it once.
TEST_F(InternetSetupTest, WatchRunsOnlyWhileSomethingNeedsIt) {
    bool alarmClose = false;
    form->WatchWanted = [&] { return alarmClose; };
    form->UpdateWatch();
    EXPECT_FALSE(form->Timer1->isActive());
    alarmClose = true;
    form->UpdateWatch();
    EXPECT_TRUE(form->Timer1->isActive());
    alarmClose = false;
    form->show();
    EXPECT_TRUE(form->Timer1->isActive());
    form->hide();
    EXPECT_FALSE(form->Timer1->isActive());
    ras->active = {{3, "Outside", "modem", "ppp0"}};
    ras->connectionsChanged();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !LogLines().empty(); }, 5000));
    EXPECT_THAT(LogLines(), ElementsAre("New Connection Found: Outside"));
    EXPECT_TRUE(form->Timer1->isActive());  // watched while it is up
}

// Without dial-up, the LAN note is longer than the log: its first line is what is shown.
TEST_F(InternetSetupTest, OpensAtTheLogsFirstLineAndReturnPressesNothing) {
    ras->available = false;
    keys["ICONNECT"] = "Local Area Network (LAN)";
    form->show();
    EXPECT_EQ(form->Memo1->verticalScrollBar()->value(), 0);
    EXPECT_GT(form->Memo1->verticalScrollBar()->maximum(), 0);
    int pressed = 0;
    for (QPushButton* button : form->findChildren<QPushButton*>())
        QObject::connect(button, &QPushButton::pressed, [&pressed] { ++pressed; });
    QTest::keyClick(form->ListBox1, Qt::Key_Return);
    EXPECT_EQ(pressed, 0);
}

TEST_F(InternetSetupTest, ConnectionMadeAndEndedOutsideTheProgram) {
    ras->active = {{42, "Mobile", "gsm", "ttyUSB2"}};
    ras->status[42] = {0, 8192, 0};
    form->Timer1Timer();  // never shown: the default is still empty
    EXPECT_THAT(LogLines(), ElementsAre("New Connection Found: Mobile", "Status: Connected/Online (8192)"));
    EXPECT_TRUE(form->Button2->isEnabled());
    EXPECT_EQ(form->ConnectState(), 8192);
    form->Timer1Timer();
    EXPECT_EQ(LogLines().size(), 2u);

    ras->active.clear();
    form->Timer1Timer();
    EXPECT_EQ(LogLines().back(), "Connection Offline");
    EXPECT_EQ(form->connectedHandle, 0u);
    EXPECT_EQ(form->defaultConnection, "");
    EXPECT_FALSE(form->Button2->isEnabled());
    EXPECT_EQ(form->ConnectState(), 8192);  // no status is read without a connection
    form->Timer1Timer();
    EXPECT_EQ(LogLines().size(), 3u);
}

TEST_F(InternetSetupTest, DisconnectLogsTheHangUp) {
    Dial("My ISP");
    ras->status[7] = {0, 8192, 0};
    ras->Progress(8192);
    ras->pollsBeforeGone = 1;
    form->Button2Click();
    EXPECT_THAT(LogLines(), ElementsAre("Dialing Connection: My ISP", "Dial: Connected/Online (8192)",
                                        "Hangup: The connection handle is not valid. (601)"));
    EXPECT_FALSE(form->Button2->isEnabled());
    EXPECT_TRUE(form->Button1->isEnabled());
}

TEST_F(InternetSetupTest, ClosingWhileConnectedAsks) {
    Dial("My ISP");
    ras->Progress(8192);
    prompts.answers.push_back(ConfirmAnswer::No);
    form->close();
    EXPECT_THAT(prompts.shown, ElementsAre("Confirm: Do you want to disconnect from the Internet?"));
    EXPECT_TRUE(ras->hungUp.empty());
    EXPECT_FALSE(form->isVisible());
    form->show();
    form->Button2->setEnabled(true);
    form->close();
    EXPECT_THAT(ras->hungUp, ElementsAre(7u));
}

}  // namespace
}  // namespace tolvenmark
