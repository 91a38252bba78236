#include "setup/internet_setup.h"

#include <algorithm>
#include <climits>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QScrollBar>
#include <QWindow>

#include "platform/dialog_finish.h"
#include "platform/date_time_text.h"
#include "platform/names.h"

namespace tolvenmark {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

constexpr const char* kSoftwareError = "Software Error.  Please contact the program creator.";
constexpr const char* kNoNetworkManager =
    "NetworkManager is not available: dial-up connections cannot be listed or dialed.";

QLabel* Caption(QWidget* parent, const char* text, int x, int y, int w) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setGeometry(x, y, w, 16);
    return label;
}

QPushButton* Button(QWidget* parent, const char* text, int x, int y, int w) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setGeometry(x, y, w, 25);
    return button;
}

}  // namespace

TForm8::TForm8(std::unique_ptr<RasBackend> backend, ConfigKeys config, Prompts& prompts, QWidget* parent,
               bool deferControls)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      MagRasCon1(std::move(backend)), config_(std::move(config)), prompts_(prompts) {
    setObjectName("Form8");
    setWindowTitle("Internet Connection Setup");
    setFixedSize(273, 475);
    if (!deferControls) CreateControls();

    MagRasCon1.OnStateChanged = [this] { MagRasCon1StateChanged(); };
    MagRasCon1.OnRasAvailable = [this] { MagRasCon1Available(); };

    // The watch runs while something depends on it; otherwise the service's
    // own word on a change runs it once.
    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    MagRasCon1.OnConnectionsChanged = [this] {
        QTimer::singleShot(0, this, [this] {
            if (!Timer1->isActive() && dialingHandle == 0) Timer1Timer();
        });
    };
}

void TForm8::UpdateWatch() {
    // While a dial runs its own pacing reads the service.
    const bool wanted =
        dialingHandle == 0 && (isVisible() || connectedHandle != 0 || (WatchWanted && WatchWanted()));
    if (wanted && !Timer1->isActive())
        Timer1->start();
    else if (!wanted && Timer1->isActive())
        Timer1->stop();
}

void TForm8::CreateControls() {
    if (ListBox1) return;
    Caption(this, "Available Connections", 8, 8, 257);
    ListBox1 = new QListWidget(this);
    ListBox1->setGeometry(8, 24, 257, 97);

    Caption(this, "Default Connection", 8, 128, 257);
    Panel1 = new QLabel(this);
    Panel1->setGeometry(8, 144, 257, 21);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Button4 = Button(this, "&Set As Default", 8, 172, 121);

    Caption(this, "Status", 8, 204, 257);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setGeometry(8, 220, 257, 129);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    Button1 = Button(this, "&Test Connection", 8, 356, 121);
    Button2 = Button(this, "&Disconnect", 144, 356, 121);
    Button2->setEnabled(false);

    Label2 = Caption(this, "Wait before launching alarm:", 8, 396, 150);
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setGeometry(160, 392, 57, 22);
    SpinEdit1->setRange(INT_MIN, INT_MAX);
    Label3 = Caption(this, "seconds", 224, 396, 45);

    CheckBox1 = new QCheckBox("&Close Connection on Snooze", this);
    CheckBox1->setGeometry(8, 420, 257, 17);
    Button3 = Button(this, "&Done", 96, 444, 81);
    // For screen readers, the captions above and beside.
    ListBox1->setAccessibleName("Available Connections");
    Memo1->setAccessibleName("Status");
    Label2->setBuddy(SpinEdit1);

    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    FinishDialog(*this);
}

void TForm8::setVisible(bool visible) {
    if (visible) CreateControls();
    QWidget::setVisible(visible);
    UpdateWatch();
}

void TForm8::ShowSetup() {
    // A modal dialog that is up (the alarm settings, or any when an alarm
    // dials) lets input through to its own transient children only.
    QWidget* modal = QApplication::activeModalWidget();
    create();
    windowHandle()->setTransientParent(modal && modal != this ? modal->window()->windowHandle() : nullptr);
    show();
    raise();
    activateWindow();
}

void TForm8::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TForm8::Log(const std::string& line) {
    CreateControls();
    Memo1->appendPlainText(Q(line));
    // A dial's progress follows the newest line.
    Memo1->verticalScrollBar()->setValue(Memo1->verticalScrollBar()->maximum());
}

void TForm8::SetDialControls(bool on) {
    CreateControls();
    Button1->setEnabled(on);
    Label2->setEnabled(on);
    Label3->setEnabled(on);
    SpinEdit1->setEnabled(on);
    CheckBox1->setEnabled(on);
}

void TForm8::FormShow() {
    CreateControls();
    const std::string iConnect = config_.read("ICONNECT");
    const std::string wait = config_.read("WAIT");
    defaultConnection = iConnect;
    // A WAIT that is no number shows the default instead of stopping the dialog.
    SpinEdit1->setValue(wait.empty() ? 60 : StrToIntDef(wait, 60));
    CheckBox1->setChecked(config_.read("CLOSECONN") == "Yes");
    Panel1->setText(Q(defaultConnection));
    Button1->setEnabled(true);
    lastLoggedState = 0;
    Memo1->clear();

    if (!FillList()) Log(MagRasCon1.Backend().Absent() ? kNoNetworkManager : kSoftwareError);

    if (MagRasCon1.ConnectState == kRasConnected && iConnect != kLanConnection) {
        MagRasCon1.RefreshConnections();
        Button2->setEnabled(true);
    } else if (iConnect == kLanConnection) {
        prompts_.Information(kLanMessage);
        Log("LAN connection set outside of this program...");
        Log("");
        Log("This setup is for dial-up connections only.  If you currently have a T1, Cable, DSL, or any "
            "other constant connection, please set the default value to LAN.");
        SetDialControls(false);
        Button2->setEnabled(false);
    }
    // What the dialog says on opening is read from its first line.
    Memo1->verticalScrollBar()->setValue(0);
    Button3->setFocus();
}

bool TForm8::FillList() {
    ListBox1->clear();
    const bool available = MagRasCon1.IsRasAvailable();
    if (available) {
        MagRasCon1.ListPhoneBookEntries();
        std::vector<std::string> names = MagRasCon1.PhoneBookEntries;
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            const std::string ua = AsciiUpper(a), ub = AsciiUpper(b);
            return ua != ub ? ua < ub : a < b;
        });
        for (const std::string& name : names) ListBox1->addItem(Q(name));
        UpdateWatch();
    }
    // Without dial-up the LAN is the one choice left; it must stay choosable.
    ListBox1->addItem(kLanConnection);
    return available;
}

void TForm8::MagRasCon1Available() {
    // Shown before the service first answered: it is listed now.
    if (!isVisible() || !ListBox1) return;
    const QString chosen = ListBox1->currentItem() ? ListBox1->currentItem()->text() : QString();
    const bool dialing = dialingHandle != 0;
    const bool available = FillList();
    if (dialing) Timer1->stop();
    const auto kept = ListBox1->findItems(chosen, Qt::MatchExactly);
    if (!chosen.isEmpty() && !kept.isEmpty()) ListBox1->setCurrentItem(kept.front());
    QStringList lines = Memo1->toPlainText().split('\n');
    const QString unavailable = kNoNetworkManager;
    qsizetype changed = 0;
    if (available) {
        changed = lines.removeAll(QString(kSoftwareError)) + lines.removeAll(unavailable);
    } else if (MagRasCon1.Backend().Absent()) {
        // Not there, rather than not answered yet: said so.
        for (QString& line : lines)
            if (line == kSoftwareError) line = unavailable, ++changed;
    }
    if (changed > 0) Memo1->setPlainText(lines.join('\n'));
}

void TForm8::Button4Click() {
    CreateControls();
    QListWidgetItem* item = ListBox1->currentItem();
    if (!item || !item->isSelected()) {
        prompts_.Error("You must select a dial-up connection before you can choose a default.");
        return;
    }
    defaultConnection = item->text().toStdString();
    if (defaultConnection == kLanConnection) {
        SetDialControls(false);
        Button2->setEnabled(false);
    } else {
        SetDialControls(true);
    }
    Panel1->setText(Q(defaultConnection));
    Memo1->clear();
    config_.write("ICONNECT", defaultConnection);
}

void TForm8::Button1Click() {
    CreateControls();
    Timer1->stop();
    Button1->setEnabled(false);
    defaultConnection = Panel1->text().toStdString();
    MagRasCon1.EntryName = defaultConnection;
    MagRasCon1.PhoneNumber.clear();
    Log("Dialing Connection: " + defaultConnection);
    dialingHandle = 0;
    if (MagRasCon1.DialEntry(dialingHandle) != 0) {
        Log("Dialing Failed - " + MagRasCon1.StatusText);
        prompts_.Error("Dial-up failed.");
        QApplication::beep();
        UpdateWatch();
        Button1->setEnabled(true);
        return;
    }
    Button2->setEnabled(true);
}

void TForm8::MagRasCon1StateChanged() {
    CreateControls();
    static constexpr const char* kPrefix[] = {"Dial: ", "Status: ", "Hangup: "};
    const int state = MagRasCon1.ConnectState;
    if (state == lastLoggedState) return;
    lastLoggedState = state;
    Log(kPrefix[static_cast<int>(MagRasCon1.StateEventSource)] + MagRasCon1.StatusText + " (" +
        std::to_string(state) + ")");
    if (dialingHandle == 0) return;
    if (state == kRasConnected) {
        connectedHandle = dialingHandle;
        dialingHandle = 0;
        UpdateWatch();
    } else if ((state > 600 && state < 4096) || state == kRasDisconnected) {
        connectedHandle = dialingHandle;
        dialingHandle = 0;
        MagRasCon1.HangUp(connectedHandle, false, 3000);
        UpdateWatch();
    }
}

void TForm8::Timer1Timer() {
    MagRasCon1.RefreshConnections();
    if (MagRasCon1.ActiveConnections.empty()) {
        if (connectedHandle != 0) {
            CreateControls();
            connectedHandle = 0;
            defaultConnection.clear();
            Button2->setEnabled(false);
            Button1->setEnabled(true);
            Log("Connection Offline");
            UpdateWatch();
        }
        return;
    }
    if (MagRasCon1.ConnectionsChanged) {
        CreateControls();
        const RasConnectionInfo& first = MagRasCon1.ActiveConnections.front();
        connectedHandle = first.handle;
        activeName = first.entryName;
        Button2->setEnabled(true);
        if (activeName != defaultConnection) Log("New Connection Found: " + activeName);
    }
    MagRasCon1.PollStatus(connectedHandle);
    UpdateWatch();
}

void TForm8::Button2Click() {
    CreateControls();
    Button2->setEnabled(false);
    Button1->setEnabled(true);
    if (dialingHandle == 0 && connectedHandle == 0) return;
    if (connectedHandle == 0) connectedHandle = dialingHandle;
    MagRasCon1.HangUp(connectedHandle, true, 3000);
}

void TForm8::closeEvent(QCloseEvent* event) {
    // Controls never made stand as they were made: nothing to disconnect.
    if (Button2 && Button2->isEnabled() && prompts_.Confirm("Do you want to disconnect from the Internet?")) Button2Click();
    event->accept();  // hidden, never destroyed
}

void TForm8::Button3Click() {
    CreateControls();
    config_.write("CLOSECONN", CheckBox1->isChecked() ? "Yes" : "No");
    config_.write("WAIT", std::to_string(SpinEdit1->value()));
    hide();
}

}  // namespace tolvenmark
