#include "setup/media_setup.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/dialog_finish.h"
#include "platform/drives.h"
#include "platform/prompts.h"
#include "platform/saved_text.h"
#include "setup/drive_choice.h"
#include "setup/media_types.h"

namespace tolvenmark {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TForm6::TForm6(ConfigKeys& config, MediaMemory& memory, std::string sysRoot, QWidget* parent)
    : QDialog(parent), config_(config), memory_(memory), sysRoot_(std::move(sysRoot)) {
    setWindowTitle("Media Program and Location Setup");
    resize(489, 432);
    move(199, 55);

    auto* paths = new QGridLayout;
    const char* names[] = {"Windows Media Player", "Winamp", "RealOne Player", "QuickTime", "Custom Player"};
    const char* browse[] = {"&Browse...", "B&rowse...", "Br&owse...", "Bro&wse...", "Brow&se..."};
    QLabel** labels[] = {&Label1, &Label2, &Label3, &Label4, &Label7};
    QLineEdit** edits[] = {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5};
    QPushButton** buttons[] = {&Button1, &Button2, &Button3, &Button4, &Button7};
    for (int i = 0; i < 5; ++i) {
        *labels[i] = new QLabel(names[i], this);
        *edits[i] = new QLineEdit(this);
        *buttons[i] = new QPushButton(browse[i], this);
        (*labels[i])->setBuddy(*edits[i]);
        paths->addWidget(*labels[i], 2 * i, 0, 1, 2);
        paths->addWidget(*edits[i], 2 * i + 1, 0);
        paths->addWidget(*buttons[i], 2 * i + 1, 1);
    }

    auto* drives = new QGroupBox("Select Drive to Launch:", this);
    ComboBox1 = new QComboBox(drives);
    ComboBox2 = new QComboBox(drives);
    auto* driveLayout = new QGridLayout(drives);
    driveLayout->addWidget(new QLabel("Audio CDs / VCDs", drives), 0, 0);
    driveLayout->addWidget(ComboBox1, 1, 0);
    driveLayout->addWidget(new QLabel("DVDs", drives), 0, 1);
    driveLayout->addWidget(ComboBox2, 1, 1);

    Button5 = new QPushButton("&OK", this);
    Button6 = new QPushButton("&Cancel", this);
    auto* closers = new QHBoxLayout;
    closers->addStretch();
    closers->addWidget(Button5);
    closers->addWidget(Button6);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(paths);
    layout->addWidget(drives);
    layout->addStretch();
    layout->addLayout(closers);
    FinishDialog(*this, DialogPlace::AsPlaced);

    connect(Button1, &QPushButton::clicked, this, &TForm6::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm6::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm6::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm6::Button4Click);
    connect(Button7, &QPushButton::clicked, this, &TForm6::Button7Click);
    connect(ComboBox1, &QComboBox::activated, this, &TForm6::ComboBox1Change);
    connect(ComboBox2, &QComboBox::activated, this, &TForm6::ComboBox2Change);
    connect(Button5, &QPushButton::clicked, this, &TForm6::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TForm6::Button6Click);

    FormCreate();
}

void TForm6::FormCreate() {
    const std::array<QLineEdit*, 5> edits = PathEdits();
    for (std::size_t i = 0; i < kPlayers.size(); ++i) {
        memory_.playerPaths[i] = config_.read(kPlayers[i].code);
        ShowSavedText(*edits[i], memory_.playerPaths[i]);
    }
    memory_.cdDrive = config_.read("CDDRIVE");
    memory_.dvdDrive = config_.read("DVDDRIVE");

    const std::vector<std::string> roots = OpticalDriveRoots(sysRoot_);
    driveCount_ = roots.size();
    for (const std::string& root : roots) {
        ComboBox1->addItem(Q(root));
        ComboBox2->addItem(Q(root));
    }
    if (roots.empty()) {
        if (!memory_.noDrivesTold)
            AppPrompts().Information("There were no CD or DVD drives found on this machine.");
        memory_.noDrivesTold = true;
        ComboBox1->setEnabled(false);
        ComboBox2->setEnabled(false);
    }

    const bool cdStored = !memory_.cdDrive.empty();
    const DriveChoice cd = ChooseDrive(roots, memory_.cdDrive);
    ComboBox1->setCurrentIndex(cd.selected);
    memory_.cdDrive = cd.drive;
    if (!cdStored) memory_.cdDriveIndex = 0;
    else if (cd.selected >= 0) memory_.cdDriveIndex = cd.selected;
    pickedCdIndex_ = memory_.cdDriveIndex;

    const DriveChoice dvd = ChooseDrive(roots, memory_.dvdDrive);
    ComboBox2->setCurrentIndex(dvd.selected);
    memory_.dvdDrive = dvd.drive;
}

void TForm6::Browse(QLineEdit* edit, const char* title, const char* filter) {
    OpenDialog1.title = title;
    OpenDialog1.filter = filter;
    OpenDialog1.folder = StartFolder(edit->text().toStdString(), MusicFolder());
    if (const auto chosen = OpenDialog1.Execute(this)) ShowSavedText(*edit, *chosen);
}

void TForm6::Button1Click() {
    Browse(Edit1, "Windows Media Player",
           "Windows Media Player 7/8/9 (wmplayer.exe)|wmplayer.exe|Windows Media Player 6 (mplayer2.exe)|"
           "mplayer2.exe|All Files (*.*)|*.*");
}

void TForm6::Button2Click() {
    Browse(Edit2, "Winamp",
           "Winamp 3 (studio.exe)|studio.exe|Winamp 2.x (winamp.exe)|winamp.exe|All Files (*.*)|*.*");
}

void TForm6::Button3Click() {
    Browse(Edit3, "RealOne Player", "RealOne Player (realplay.exe)|realplay.exe|All Files (*.*)|*.*");
}

void TForm6::Button4Click() {
    Browse(Edit4, "QuickTime", "QuickTime 6 (QuickTimePlayer.exe)|QuickTimePlayer.exe|All Files (*.*)|*.*");
}

// Programs here have no ".exe": every file comes first, or /usr/bin looks empty.
void TForm6::Button7Click() { Browse(Edit5, "Custom Player", "All Files (*.*)|*.*|Custom Player (*.exe)|*.exe"); }

void TForm6::ComboBox1Change(int index) {
    if (index < 0) return;
    memory_.cdDrive = ComboBox1->itemText(index).toStdString();
    // The disc address of CD alarms names the drive by this position; it
    // follows the pick, but only once OK stores the pick's letter too.
    pickedCdIndex_ = index;
}

void TForm6::ComboBox2Change(int index) {
    if (index < 0) return;
    memory_.dvdDrive = ComboBox2->itemText(index).toStdString();
}

void TForm6::Button5Click() {
    const std::string cdLetter = DriveLetterToStore(memory_.cdDrive, driveCount_);
    const std::string dvdLetter = DriveLetterToStore(memory_.dvdDrive, driveCount_);
    const std::array<QLineEdit*, 5> edits = PathEdits();
    std::array<std::string, 5> paths;  // all first: a path that cannot be saved stops every write
    for (std::size_t i = 0; i < kPlayers.size(); ++i) paths[i] = SavedText(*edits[i]);
    for (std::size_t i = 0; i < kPlayers.size(); ++i) config_.write(kPlayers[i].code, paths[i]);
    config_.write("CDDRIVE", cdLetter);
    config_.write("DVDDRIVE", dvdLetter);
    memory_.playerPaths = paths;
    memory_.cdDriveIndex = pickedCdIndex_;
    accept();
}

void TForm6::Button6Click() { reject(); }

}  // namespace tolvenmark
