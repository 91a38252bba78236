#include "clock/main_window.h"

#include <cstdio>
#include <exception>

#include <QApplication>
#include <QFile>
#include <QEvent>
#include <QMenu>
#include <QPainter>
#include <QTimer>

#include "bin/saved_alarms_changed.h"
#include "clock/config.h"
#include "clock/help_file_open.h"
#include "clock/succession.h"
#include "platform/clock.h"
#include "platform/clock_icon.h"
#include "platform/conversion_error.h"
#include "platform/folders.h"
#include "platform/prompts.h"
#include "platform/regional_settings.h"
#include "skin/skin_form.h"
#include "skin/verify_skin.h"

namespace tolvenmark {

namespace {

constexpr const char* kSkinComponentsMissing =
    "One or more of the skin components could not be found.  The default skin will be loaded.";

// The started main window, which moves a passed pending alarm on.
TForm1* movesOn = nullptr;

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setWindowIcon(ClockIcon());
    setWindowFlag(Qt::FramelessWindowHint, true);

    // Translucent before the window exists: only a window with an alpha
    // channel shows a round face round where the system cannot shape it.
    setAttribute(Qt::WA_TranslucentBackground, true);
    SkinForm1 = new TSkinForm(this);
    // The face covers the whole window: nothing beneath it to paint each second.
    SkinForm1->setAttribute(Qt::WA_OpaquePaintEvent, true);
    // A desktop clock is seldom the active window: its face stays in colour
    // and keeps the time current.
    SkinForm1->SetGrayout(false);
    // A long header stays inside its place on the face.
    SkinForm1->SetElidedItems({"AL_HEADER"});
    SkinForm1->OnMouseUpNotify = [this](const std::string& id, Qt::MouseButton button,
                                        Qt::KeyboardModifiers shift, int x, int y) {
        SkinForm1MouseUpNotify(id, button, shift, x, y);
    };
    // Escape and F1 work on every skin, with or without these spots.
    SkinForm1->SetKeyCommand(Qt::Key_Escape, "MINIMIZE");
    SkinForm1->SetKeyCommand(Qt::Key_F1, "HELP");

    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, [this] {
        // The next second is armed first, so a handler that fails or opens a
        // message box does not stop the clock.
        ArmTimer1();
        Timer1Timer();
    });
    Timer2 = new QTimer(this);
    Timer3 = new QTimer(this);

    PopupMenu1 = new QMenu(this);
    AlarmSet1 = PopupMenu1->addAction("Alarm &Off");
    AlarmSet1->setCheckable(true);
    connect(AlarmSet1, &QAction::triggered, this, [this] {
        // The item checks itself on a click; the handler decides from the old state.
        AlarmSet1->setChecked(!AlarmSet1->isChecked());
        AlarmSet1Click();
    });
    AlarmSettings1 = PopupMenu1->addAction("&Alarm Settings");
    connect(AlarmSettings1, &QAction::triggered, this, [this] { AlarmSettings1Click(); });
    PopupMenu1->addSeparator();
    RestoreAlarmClock2 = PopupMenu1->addAction("&Restore Tolvenmark Clock");
    connect(RestoreAlarmClock2, &QAction::triggered, this, [this] { RestoreAlarmClock2Click(); });
    Exit1 = PopupMenu1->addAction("&Exit");
    connect(Exit1, &QAction::triggered, this, [this] { Exit1Click(); });

    TrayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    OpenUrl = [](const QUrl& url) { OpenHelpFile(QFile::encodeName(url.toLocalFile()).toStdString()); };
    EndProgram = [] { QCoreApplication::quit(); };
}

TForm1::~TForm1() {
    if (movesOn == this) movesOn = nullptr;
}

void TForm1::FormCreate(const StartupConfig& loaded, const PendingAlarm& pending) {
    // The minimise and restore handlers are changeEvent and RestoreAlarmClock2Click.
    Timer1->stop();
    PlayerStarted = false;
    // The configuration load and the date-format check ran before the window.
    config = loaded;
    pendingAlarm = pending;

    // An alarm that passed while the clock was not running. One whose second
    // comes while the rest starts is the first tick's.
    const DateTime checked = AppClock().Now();
    MovePassedAlarmOn(false);
    // Whether a saved alarm comes sooner reads the whole list: after the first frame.
    QTimer::singleShot(0, this, [this] { MovePassedAlarmOn(); });
    dueTest_.CoverFrom(checked);
    movesOn = this;
    SetSavedAlarmsChangedHandler([] {
        if (movesOn) movesOn->MovePassedAlarmOn();
    });

    ChooseSkin();

    // After the load, which gives every hot area the skin's own state.
    const bool on = config.alSet == "TRUE";
    SkinForm1->SetHotAreaState("AL_OFFON", on);
    AlarmSet1->setChecked(on);
    if (!on) AlarmSet1->setText("Alarm &Off");
    AlarmOnFlag = on;
    alarm.Show();

    Timer2->stop();
    ArmTimer1();
}

void TForm1::ChooseSkin() {
    // The file as found: a stored name may differ from it in letter case.
    const std::string skin = config.skin == "Default" ? "" : FindFileIgnoringCase(config.skin);
    if (skin.empty() || !FileExists(skin)) {
        SkinForm1->LoadDefaultSkin();
        return;
    }
    SkinFilesMissing = false;
    VerifySkin(skin, SkinFilesMissing);
    if (SkinFilesMissing) {
        AppPrompts().Error(kSkinComponentsMissing);
        SkinForm1->LoadDefaultSkin();
        return;
    }
    try {
        SkinForm1->LoadSkin(skin);
    } catch (const std::exception& error) {
        // A skin that does not load must not leave the clock without a face.
        AppPrompts().Error(error.what());
        SkinForm1->LoadDefaultSkin();
    }
}

void TForm1::MovePassedAlarmOn(bool soonerSaved) {
    // A launch under way moves on by itself after the player started.
    if (Timer3->isActive()) return;
    try {
        const DateTime now = AppClock().Now();
        if (PendingAlarmIsPast(pendingAlarm, now, AppRegionalSettings())) {
            UpdateAlarm();
        } else if (const auto earlier = soonerSaved ? EarlierSavedAlarm(pendingAlarm, alarm.listed, config.appPath,
                                                                        now, AppRegionalSettings())
                                                    : std::nullopt) {
            if (!alarm.Take(*earlier, true)) AppPrompts().Error(FileWriteError(ConfigPath(), errno ? errno : EIO));
        }
    } catch (const ConversionError& error) {
        // The clock goes on; the tick does not repeat the message.
        ShowConversionErrorOnce(error.what());
    } catch (const std::exception& error) {
        AppPrompts().Error(error.what());
    }
}

void TForm1::ArmTimer1() {
    // The start of the next wall-clock second, a little after it so the
    // tick never reads the second that is ending.
    const int ms = AppClock().Now().millisecond;
    Timer1->start(1000 - ms + 2);
}

void TForm1::UpdateAlarm() {
    const DateTime now = AppClock().Now();
    const std::optional<DateTime> from = dueTest_.CatchUpFrom(now, pendingAlarm);
    tolvenmark::UpdateAlarm(alarm, config.appPath, from.value_or(now), AppRegionalSettings());
}

void TForm1::SetupAlarm() {
    // Scripted runs see each alarm found due, whatever its launch does.
    if (qEnvironmentVariable("TOLVENMARK_PROMPTS") == "stderr")
        std::fprintf(stderr, "Alarm due: %s (%s)\n", pendingAlarm.header.c_str(),
                     AlarmDateText(pendingAlarm).c_str());
    if (SetupAlarmHook) {
        SetupAlarmHook();
        return;
    }
    dueAlarms.push_back(pendingAlarm);
}

void TForm1::SetDisplayText(const std::string& id, const std::string& text) {
    SkinForm1->SetDisplayText(id, text);
}

bool TForm1::AlarmMenuChecked() const { return AlarmSet1->isChecked(); }

void TForm1::SetAlarmMenuCaption(const std::string& caption) {
    AlarmSet1->setText(QString::fromStdString(caption));
}

}  // namespace tolvenmark
