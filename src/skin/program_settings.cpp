#include "skin/program_settings.h"

#include <algorithm>
#include <exception>
#include <utility>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHideEvent>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include "platform/dialog_finish.h"
#include "platform/autostart.h"
#include "platform/folders.h"
#include "platform/names.h"
#include "platform/profile_file.h"
#include "platform/program_data.h"
#include "platform/prompts.h"
#include "skin/skin_form.h"
#include "skin/skin_location.h"
#include "skin/skin_picture.h"
#include "skin/verify_skin.h"

namespace tolvenmark {

namespace {

constexpr const char* kComponentsMissing =
    "One or more of the skin components could not be found.  The default skin will be loaded.";
constexpr std::size_t kNameBuffer = 255;

QString Q(const char* text) { return QString::fromUtf8(text); }

// A throw must not cross Qt's signal code; this shows it as the general
// error handler would and ends the operation there.
template <typename Handler>
void Guarded(Handler&& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        AppPrompts().Error(error.what());
    } catch (...) {
        AppPrompts().Error("Unknown error");
    }
}

QPushButton* Button(QWidget* parent, const char* caption, int left, int top) {
    auto* button = new QPushButton(Q(caption), parent);
    button->setGeometry(left, top, 105, 25);
    return button;
}

}  // namespace

TForm4::TForm4(TSkinForm& skinForm, ProgramSettingsLinks links, QWidget* parent, bool deferControls)
    : QDialog(parent), skinForm_(skinForm), links_(std::move(links)) {
    setWindowTitle(Q("Program Settings"));
    // Fixed single border with the system menu (close) only.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(411, 332);
    setModal(false);
    if (!deferControls) CreateControls();

    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void TForm4::setVisible(bool visible) {
    if (visible) CreateControls();
    QDialog::setVisible(visible);
}

void TForm4::CreateControls() {
    if (Panel2) return;
    Panel2 = new QFrame(this);
    Panel2->setGeometry(8, 8, 393, 33);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    CheckBox1 = new QCheckBox(Q("&Run Tolvenmark Clock when Windows starts"), Panel2);
    // Wider than the original's 233 pixels when the desktop's font needs it.
    CheckBox1->setGeometry(8, 8, std::min(377, std::max(233, CheckBox1->sizeHint().width())), 17);

    Label1 = new QLabel(Q("Open Skin Preview"), this);
    Label1->move(128, 48);
    Label1->adjustSize();

    Panel1 = new QLabel(Q("No Skin Open"), this);
    Panel1->setGeometry(128, 64, 273, 257);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Image1 = new QLabel(Panel1);
    Image1->setGeometry(0, 0, 273, 257);
    Image1->setScaledContents(true);
    Image1->hide();

    Button4 = Button(this, "&Open Skin", 8, 64);
    Button2 = Button(this, "&Load Open Skin", 8, 96);
    Button2->setEnabled(false);
    Button1 = Button(this, "Load Default &Skin", 8, 128);
    Button3 = Button(this, "&Done", 8, 160);
    WakeLabel = new QLabel(Q("Waking from sleep is not available"), this);
    WakeLabel->setGeometry(8, 328, 393, 17);
    WakeLabel->hide();

    // "&Done" first, then the rest in the order they stand.
    setTabOrder(Button3, CheckBox1);
    setTabOrder(CheckBox1, Button4);
    setTabOrder(Button4, Button2);
    setTabOrder(Button2, Button1);
    Button3->setFocus();

    connect(CheckBox1, &QCheckBox::clicked, this, [this] { Guarded([this] { CheckBox1Click(); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { Guarded([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { Guarded([this] { Button2Click(); }); });
    connect(Button3, &QPushButton::clicked, this, [this] { Guarded([this] { Button3Click(); }); });
    connect(Button4, &QPushButton::clicked, this, [this] { Guarded([this] { Button4Click(); }); });
    FinishDialog(*this, DialogPlace::AsPlaced);  // centred at construction
}

void TForm4::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) Guarded([this] { FormShow(); });
}

void TForm4::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous()) Guarded([this] { FormHide(); });
}

void TForm4::FormShow() {
    CreateControls();
    winRunSetting_ = links_.readConfigKey ? links_.readConfigKey("WINRUN") : "";
    const bool wakeUnavailable = links_.wakeUnavailable && links_.wakeUnavailable();
    WakeLabel->setVisible(wakeUnavailable);
    setFixedSize(411, wakeUnavailable ? 352 : 332);
    EnterRegistryKey();
}

void TForm4::FormHide() {
    CreateControls();
    if (links_.writeConfigKey) links_.writeConfigKey("WINRUN", CheckBox1->isChecked() ? "Yes" : "No");
}

void TForm4::CheckBox1Click() {
    CreateControls();
    winRunSetting_ = CheckBox1->isChecked() ? "Yes" : "No";
    EnterRegistryKey();
}

// Setting the box from here emits no click, so the original's nested
// CheckBox1Click, which changed nothing further, does not run.
void TForm4::EnterRegistryKey() {
    CreateControls();
    if (winRunSetting_ != "Yes") {
        CheckBox1->setChecked(false);
        if (AutostartEntryExists()) DeleteAutostartEntry();
    } else {
        CheckBox1->setChecked(true);
        // An entry already there stays as it is, whatever it starts.
        if (!AutostartEntryExists()) WriteAutostartEntry(ProgramPath());
    }
}

std::string TForm4::ProgramPath() const {
    if (!links_.programPath.empty()) return links_.programPath;
    return QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
}

void TForm4::Button4Click() {
    CreateControls();
    QFileDialog dialog(this, Q("Open Skin File"), QString::fromStdString(StartFolder()),
                       Q("Skin File (skin*.ini *.skn *.SKN)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    OpenSkinFile(QFile::encodeName(dialog.selectedFiles().front()).toStdString());
}

// The built-in skin leaves nothing to start from but the sample skins we ship.
std::string TForm4::StartFolder() const {
    const std::string skin = links_.readConfigKey ? links_.readConfigKey("SKIN") : "";
    if (!skin.empty() && skin != "Default") return QDir::currentPath().toStdString();
    const std::string samples =
        !links_.sampleSkinsFolder.empty()
            ? links_.sampleSkinsFolder
            : ProgramDataFolder(QCoreApplication::applicationDirPath().toStdString()) + "/skins";
    return QFileInfo(QString::fromStdString(samples)).isDir() ? samples : QDir::currentPath().toStdString();
}

void TForm4::OpenSkinFile(const std::string& skinFile) {
    CreateControls();
    openSkinPath_ = skinFile;
    QImage image;
    bool found = false;
    try {
        // A packed skin's face is read from its members, unpacked for the preview.
        const SkinLocation where = LocateSkin(skinFile);
        const std::string name =
            where.damagedPacked || !FileExists(where.iniPath)
                ? ""
                : LoadSkinIni(where.iniPath, skinFile).Get("BITMAPINFO", "MouseUpBitmap", "", kNameBuffer);
        const std::string preview = name.empty() ? "" : SkinImagePath(where.imageDir, name);
        found = FileExists(preview);
        if (found) LoadSkinImage(preview, image);
        // A GIF face is skipped by skin loads but still previews.
        if (found && image.isNull()) image.load(QString::fromStdString(preview));
    } catch (...) {
        ResetPreview();
        throw;
    }
    if (!found) {
        AppPrompts().Warning("The skin file that you chose was not valid.");
        ResetPreview();
        return;
    }
    // Fitted into the panel with the face's own proportions, centred.
    const QSize fitted = image.size().scaled(Panel1->size(), Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    Image1->setGeometry(QRect(QPoint((Panel1->width() - fitted.width()) / 2, (Panel1->height() - fitted.height()) / 2),
                              fitted));
    Image1->setPixmap(QPixmap::fromImage(image));
    Image1->show();
    Button2->setEnabled(true);
}

void TForm4::Button2Click() {
    CreateControls();
    if (openSkinPath_.empty()) {
        AppPrompts().Warning("There is no skin loaded.");
        return;
    }
    bool skinFilesMissing = false;
    VerifySkin(openSkinPath_, skinFilesMissing);
    if (skinFilesMissing) {
        AppPrompts().Error(kComponentsMissing);
        skinForm_.LoadDefaultSkin();
    } else {
        skinForm_.LoadSkin(openSkinPath_);
        if (links_.writeConfigKey) links_.writeConfigKey("SKIN", openSkinPath_);
    }
    ReapplyAlarmSwitch();
}

void TForm4::Button1Click() {
    CreateControls();
    skinForm_.LoadDefaultSkin();
    ResetPreview();
    if (links_.writeConfigKey) links_.writeConfigKey("SKIN", "Default");
    ReapplyAlarmSwitch();
}

void TForm4::Button3Click() {
    CreateControls();
    ResetPreview();
    hide();
}

// A load resets every switch to the skin's own state; the alarm switch must
// show what the user last chose, not what the configuration said at start.
void TForm4::ReapplyAlarmSwitch() {
    const bool on = links_.alarmOnFlag ? links_.alarmOnFlag() : false;
    skinForm_.SetHotAreaState("AL_OFFON", on);
    if (links_.setAlarmOnFlag) links_.setAlarmOnFlag(on);
}

void TForm4::ResetPreview() {
    CreateControls();
    Image1->hide();
    Button2->setEnabled(false);
}

}  // namespace tolvenmark
