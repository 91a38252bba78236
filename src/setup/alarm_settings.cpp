#include "setup/alarm_settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "bin/alarm_time.h"
#include "bin/saved_alarms_changed.h"
#include "bin/time_picker.h"
#include "platform/clock.h"
#include "platform/date_time_text.h"
#include "platform/dialog_finish.h"
#include "platform/folders.h"
#include "platform/prompts.h"
#include "platform/regional_settings.h"
#include "platform/saved_text.h"
#include "setup/media_setup.h"
#include "setup/media_type_rule.h"
#include "setup/media_types.h"

namespace tolvenmark {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }
const char* YesNo(bool on) { return on ? "Yes" : "No"; }

QTime ToQTime(const DateTime& t) { return QTime(t.hour, t.minute, t.second); }

// An empty slot plays with the first player found, so only a path that names
// no file is worth a warning.
bool NamesMissingFile(const std::string& path) { return !path.empty() && !FileExists(path); }

}  // namespace

TForm2::TForm2(AlarmSettingsHost& host, ConfigKeys& config, AlarmSettingsHooks hooks, MediaMemory& memory,
               QWidget* parent)
    : QDialog(parent), host_(host), config_(config), hooks_(std::move(hooks)), memory_(memory) {
    BuildControls();
    // A stored value that does not convert is reported and the dialog still
    // opens, so the user can put it right here.
    try {
        FormCreate();
    } catch (const std::exception& e) {
        AppPrompts().Error(e.what());
    }
}

void TForm2::BuildControls() {
    setWindowTitle("Alarm Settings");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);

    auto* players = new QGroupBox("Select Media Player", this);
    CheckBox1 = new QCheckBox("Use Windows Media &Player", players);
    CheckBox2 = new QCheckBox("Use &Winamp", players);
    CheckBox3 = new QCheckBox("Use &Real One Player", players);
    CheckBox5 = new QCheckBox("Use &QuickTime Player", players);
    CheckBox6 = new QCheckBox("Use C&ustom Player", players);
    auto* playerLayout = new QGridLayout(players);
    playerLayout->setContentsMargins(6, 2, 6, 2);
    playerLayout->setVerticalSpacing(0);
    const std::array<QCheckBox*, 5> boxes = PlayerBoxes();
    for (int i = 0; i < 5; ++i) {
        playerLayout->addWidget(boxes[i], i / 2, i % 2);
        connect(boxes[i], &QCheckBox::toggled, this, [this, i](bool ticked) { PlayerBoxClick(i, ticked); });
    }

    ComboBox1 = new QComboBox(this);
    for (const char* type : kMediaTypes) ComboBox1->addItem(type);
    ComboBox1->setCurrentIndex(-1);
    auto* typeLabel = new QLabel("Media Type / Message", this);
    typeLabel->setBuddy(ComboBox1);
    Label1 = new QLabel("File to Open", this);
    Edit1 = new QLineEdit(this);
    Label1->setBuddy(Edit1);
    Button3 = new QPushButton("&Browse...", this);

    auto* setup = new QGroupBox("Alarm Setup", this);
    CheckBox4 = new QCheckBox("&Snooze", setup);
    Label2 = new QLabel("Number of Minutes", setup);
    SpinEdit1 = new QSpinBox(setup);
    SpinEdit1->setRange(0, 60);
    SpinEdit1->setValue(5);
    Label2->setBuddy(SpinEdit1);
    Edit3 = new QLineEdit(setup);
    Edit2 = new QLineEdit(setup);
    Edit2->setReadOnly(true);
    Button6 = new QPushButton(":::", setup);
    // For screen readers: the labels beside these are not their buddies.
    Edit3->setAccessibleName("Alarm Header");
    Edit2->setAccessibleName("Date");
    Button6->setAccessibleName("Calendar");
    Button6->setFixedWidth(32);
    Edit2->setMinimumWidth(80);
    Label4 = new QLabel("Time (24-HR Format)", setup);
    DateTimePicker1 = new TimeField(setup);
    Label4->setBuddy(DateTimePicker1);
    CheckBox7 = new QCheckBox("Automaticall&y Change Alarm", setup);
    CheckBox8 = new QCheckBox("Automatically &Delete Old Alarm", setup);
    Button10 = new QPushButton("Set Sc&hedule", setup);
    Button11 = new QPushButton("A&dd Alarm to Bin", setup);
    Button8 = new QPushButton("&Add Settings to Storage Bin", setup);
    Button7 = new QPushButton("Op&en Storage Bin", setup);

    auto* fields = new QGridLayout;
    fields->setVerticalSpacing(2);
    fields->addWidget(CheckBox4, 0, 0, 1, 2);
    fields->addWidget(Label2, 1, 0);
    fields->addWidget(SpinEdit1, 1, 1, Qt::AlignLeft);
    fields->addWidget(new QLabel("Alarm Header", setup), 2, 0);
    fields->addWidget(Edit3, 2, 1);
    fields->addWidget(new QLabel("Date", setup), 3, 0);
    auto* dateRow = new QHBoxLayout;
    dateRow->setSpacing(2);
    dateRow->addWidget(Edit2);
    dateRow->addWidget(Button6);
    fields->addLayout(dateRow, 3, 1);
    fields->addWidget(Label4, 4, 0);
    fields->addWidget(DateTimePicker1, 4, 1);
    fields->addWidget(CheckBox7, 5, 0, 1, 2);
    fields->addWidget(CheckBox8, 6, 0, 1, 2);
    auto* binButtons = new QVBoxLayout;
    for (QPushButton* button : {Button10, Button11, Button8, Button7}) binButtons->addWidget(button);
    binButtons->addStretch();
    auto* setupLayout = new QHBoxLayout(setup);
    setupLayout->setContentsMargins(6, 4, 6, 4);
    setupLayout->addLayout(fields, 1);
    setupLayout->addLayout(binButtons);

    Button5 = new QPushButton("&Media Programs and Locations Setup", this);
    Button9 = new QPushButton("&Internet Connection Setup", this);
    Button4 = new QPushButton("&Test Alarm", this);
    Button1 = new QPushButton("&OK", this);
    Button2 = new QPushButton("&Cancel", this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(players);
    auto* typeRow = new QGridLayout;
    typeRow->addWidget(typeLabel, 0, 0);
    typeRow->addWidget(ComboBox1, 1, 0);
    typeRow->addWidget(Label1, 0, 1);
    typeRow->addWidget(Edit1, 1, 1);
    typeRow->addWidget(Button3, 1, 2);
    typeRow->setColumnStretch(1, 1);
    typeRow->setVerticalSpacing(1);
    layout->addLayout(typeRow);
    layout->addWidget(setup);
    auto* setupButtons = new QHBoxLayout;
    setupButtons->addWidget(Button5);
    setupButtons->addWidget(Button9);
    layout->addLayout(setupButtons);
    auto* closers = new QHBoxLayout;
    closers->addWidget(Button4);
    closers->addStretch();
    closers->addWidget(Button1);
    closers->addWidget(Button2);
    layout->addLayout(closers);
    // The designed size, or more where the desktop font needs it: no caption is cut.
    setFixedSize(sizeHint().expandedTo(QSize(442, 425)));
    FinishDialog(*this);

    connect(ComboBox1, &QComboBox::activated, this, &TForm2::ComboBox1Change);
    connect(Button3, &QPushButton::clicked, this, &TForm2::Button3Click);
    connect(CheckBox4, &QCheckBox::toggled, this, &TForm2::CheckBox4Click);
    connect(Button6, &QPushButton::clicked, this, &TForm2::Button6Click);
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
    connect(Button7, &QPushButton::clicked, this, &TForm2::Button7Click);
    connect(Button5, &QPushButton::clicked, this, &TForm2::Button5Click);
    connect(Button9, &QPushButton::clicked, this, &TForm2::Button9Click);
    connect(Button10, &QPushButton::clicked, this, &TForm2::Button10Click);
    connect(Button4, &QPushButton::clicked, this, &TForm2::Button4Click);
    connect(Button8, &QPushButton::clicked, this, &TForm2::Button8Click);
    connect(Button11, &QPushButton::clicked, this, &TForm2::Button11Click);
}

void TForm2::FormCreate() {
    for (std::size_t i = 0; i < kPlayers.size(); ++i) memory_.playerPaths[i] = config_.read(kPlayers[i].code);
    player_ = config_.read("PLAYER");
    mediaType_ = config_.read("MTYPE");
    const std::string startString = config_.read("ALFILE");
    const std::string snooze = config_.read("SNOOZE");
    const std::string snoozeMinutes = config_.read("SNOOZEMIN");
    const std::string changeAlarm = config_.read("CHANGEALARM");
    const std::string deleteAlarm = config_.read("DELETEALARM");

    const std::array<QCheckBox*, 5> boxes = PlayerBoxes();
    const int stored = PlayerIndex(player_);
    if (stored >= 0) boxes[stored]->setChecked(true);  // warns when the program is gone
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (NamesMissingFile(memory_.playerPaths[i])) boxes[i]->setChecked(false);

    SelectMediaType(mediaType_);
    ApplyMediaTypeRule();
    ShowSavedText(*Edit1, startString);

    CheckBox4->setChecked(snooze == "Yes");
    CheckBox4Click();
    // The snooze itself counts a missing or unreadable value as 5 minutes.
    SpinEdit1->setValue(StrToIntDef(snoozeMinutes, 5));
    Label4->setText(host_.ClockMode() == "12" ? "Time (12-HR Format)" : "Time (24-HR Format)");
    ShowPendingFields();

    CheckBox7->setChecked(changeAlarm == "Yes");
    CheckBox8->setChecked(deleteAlarm == "Yes");
}

void TForm2::ShowPendingFields() {
    shownKeys_ = {config_.read("ALHEADER"), config_.read("ALDATE"), config_.read("ALTIME")};
    const auto& [header, storedDate, storedTime] = shownKeys_;
    ShowSavedText(*Edit3, header);
    RegionalSettings& settings = AppRegionalSettings();
    const DateTime now = AppClock().Now();
    const std::string date = storedDate.empty() ? DateToStr(now, settings) : storedDate;
    ShowSavedText(*Edit2, date);
    AppHandovers().calendarResult[1] = date;
    if (storedTime.empty())
        DateTimePicker1->setTime(ToQTime(now));
    else
        SetPickerTime(storedTime);
    shownFields_ = {SavedText(*Edit3), SavedText(*Edit2), PickerTime()};
}

void TForm2::FollowPendingAlarm() {
    const std::array<std::string, 3> keys = {config_.read("ALHEADER"), config_.read("ALDATE"), config_.read("ALTIME")};
    // A time typed that does not read was changed by the user.
    if (!DateTimePicker1->IsReadable()) return;
    const std::array<std::string, 3> fields = {SavedText(*Edit3), SavedText(*Edit2), PickerTime()};
    if (keys != shownKeys_ && fields == shownFields_) ShowPendingFields();
}

void TForm2::SetPickerTime(const std::string& storedTime) {
    // Through the alarm-time shape, as the clock compares alarm times.
    RegionalSettings& settings = AppRegionalSettings();
    const DateTime stored = StrToTime(storedTime, settings);
    const std::string shortText = FormatDateTime(settings.shortTimeFormat, stored, settings);
    DateTimePicker1->setTime(ToQTime(StrToTime(shortText, settings)));
}

std::string TForm2::SelectedMediaType() const {
    const int index = ComboBox1->currentIndex();
    return index < 0 ? std::string() : kMediaTypes[static_cast<std::size_t>(index)];
}

std::string TForm2::TickedPlayer() const {
    const std::array<QCheckBox*, 5> boxes = PlayerBoxes();
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (boxes[i]->isChecked()) return kPlayers[i].code;
    return "";
}

std::string TForm2::StartString() const { return SavedText(*Edit1); }

std::string TForm2::PickerTime() const {
    return TimeToStr(tolvenmark::PickerTime(*DateTimePicker1), AppRegionalSettings());
}

void TForm2::SelectMediaType(const std::string& mediaType) { ComboBox1->setCurrentIndex(MediaTypeIndex(mediaType)); }

void TForm2::PlayerBoxClick(int player, bool ticked) {
    if (!ticked) return;
    const std::array<QCheckBox*, 5> boxes = PlayerBoxes();
    if (NamesMissingFile(memory_.playerPaths[static_cast<std::size_t>(player)])) {
        AppPrompts().Warning(MissingPlayerText(player));
        boxes[static_cast<std::size_t>(player)]->setChecked(false);
        return;
    }
    for (int i = 0; i < 5; ++i)
        if (i != player) boxes[static_cast<std::size_t>(i)]->setChecked(false);
    ApplyMediaTypeRule();
    player_ = kPlayers[static_cast<std::size_t>(player)].code;
}

void TForm2::ApplyMediaTypeRule() {
    memory_.cdDrive = config_.read("CDDRIVE");
    memory_.dvdDrive = config_.read("DVDDRIVE");
    if (memory_.cdDrive.empty()) memory_.cdDrive = "D";
    if (memory_.dvdDrive.empty()) memory_.dvdDrive = "D";
    const MediaRuleResult result = tolvenmark::ApplyMediaTypeRule(
        {SelectedMediaType(), TickedPlayer(), memory_.cdDrive, memory_.dvdDrive, memory_.cdDriveIndex});
    if (result.caption) Label1->setText(Q(*result.caption));
    if (result.browseEnabled) Button3->setEnabled(*result.browseEnabled);
    if (result.startString) ShowSavedText(*Edit1, *result.startString);
}

void TForm2::ComboBox1Change() { ApplyMediaTypeRule(); }

void TForm2::Button3Click() {
    const std::string type = SelectedMediaType();
    // Every sound file a player here plays, the shipped chime among them.
    if (type == "MP3") OpenDialog1.filter = "Audio Files|*.mp3 *.ogg *.opus *.oga *.flac *.wav *.m4a|All Files|*.*";
    if (type == "Other File Format") OpenDialog1.filter = "All Files|*.*";
    OpenDialog1.folder = StartFolder(Edit1->text().toStdString(), MusicFolder());
    if (const auto chosen = OpenDialog1.Execute(this)) ShowSavedText(*Edit1, *chosen);
}

void TForm2::CheckBox4Click() {
    const bool on = CheckBox4->isChecked();
    Label2->setEnabled(on);
    SpinEdit1->setEnabled(on);
}

void TForm2::Button6Click() {
    if (!hooks_.openCalendar) return;
    AppHandovers().calendarCaller = 1;
    AppHandovers().calendarOpening = Edit2->text().toStdString();
    hooks_.openCalendar();
    ShowSavedText(*Edit2, AppHandovers().calendarResult[1]);
}

void TForm2::Button1Click() {
    // Every text first: one that cannot be saved stops the save before any write.
    const std::string startString = StartString();
    const std::string date = SavedText(*Edit2);
    const std::string header = SavedText(*Edit3);
    const std::string time = PickerTime();
    config_.write("PLAYER", TickedPlayer());
    config_.write("MTYPE", SelectedMediaType());
    config_.write("ALFILE", startString);
    config_.write("SNOOZE", YesNo(CheckBox4->isChecked()));
    config_.write("CHANGEALARM", YesNo(CheckBox7->isChecked()));
    config_.write("DELETEALARM", YesNo(CheckBox8->isChecked()));
    config_.write("SNOOZEMIN", std::to_string(SpinEdit1->value()));
    // The clock takes the alarm even when it cannot be kept; the user hears why.
    const std::string failure = host_.TakePendingAlarm(header, date, time);
    if (!failure.empty()) AppPrompts().Error(failure);
    if (AlarmHasPassed(date, time, AppClock().Now(), AppRegionalSettings()))
        AppPrompts().Warning("The alarm time has passed.  This alarm will not ring.");
    // The fields may hold a saved alarm the list has since passed by (a series
    // made meanwhile starts sooner), or one that passed: the next in time rings.
    SavedAlarmsChanged();
    accept();
}

void TForm2::Button2Click() {
    host_.ShowPendingAlarm();
    reject();
}

void TForm2::Button5Click() {
    if (hooks_.openMediaPrograms) {
        hooks_.openMediaPrograms();
        return;
    }
    TForm6 form(config_, memory_, "/sys", this);
    form.exec();
}

void TForm2::Button9Click() {
    if (hooks_.showInternetSetup) hooks_.showInternetSetup();
}

void TForm2::Button10Click() {
    if (!hooks_.openSchedule) return;
    hooks_.openSchedule({SavedText(*Edit3), SavedText(*Edit2), PickerTime()});
    FollowPendingAlarm();
}

void TForm2::Button4Click() {
    if (hooks_.testAlarm) hooks_.testAlarm(*this);
}

}  // namespace tolvenmark
