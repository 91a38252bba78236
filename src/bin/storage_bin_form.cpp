#include "bin/storage_bin_form.h"

#include <algorithm>

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "bin/delete_range_form.h"
#include "bin/edit_alarm_form.h"
#include "bin/handover.h"
#include "bin/saved_alarms_changed.h"
#include "bin/storage_bin.h"
#include "platform/clock.h"
#include "platform/conversion_error.h"
#include "platform/dialog_finish.h"
#include "platform/drives.h"
#include "platform/folders.h"
#include "platform/prompts.h"
#include "platform/regional_settings.h"
#include "platform/saved_text.h"

namespace tolvenmark {

namespace {

QTableWidget* MakeGrid(QWidget* parent, const QStringList& titles, const int (&widths)[3]) {
    auto* grid = new QTableWidget(1, 3, parent);
    grid->setGeometry(8, 8, 609, 209);
    grid->setHorizontalHeaderLabels(titles);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(18);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->setWordWrap(false);
    for (int c = 0; c < 3; ++c) {
        if (widths[c] == 0) grid->setColumnHidden(c, true);
        else grid->setColumnWidth(c, widths[c]);
    }
    return grid;
}

std::string CellText(const QTableWidget& grid, int row, int column) {
    const QTableWidgetItem* item = grid.item(row, column);
    return item ? SavedText(*item) : std::string();
}

// A line's cells are read and written back in the line's own encoding.
void ShowLine(QTableWidget& grid, int row, const std::array<const std::string*, 3>& texts) {
    std::string line;
    for (const std::string* text : texts) line += (text ? *text : std::string()) + '^';
    const TextEncoding encoding = LineEncoding(line);
    for (int c = 0; c < 3; ++c) {
        QTableWidgetItem* item = grid.item(row, c);
        if (!item) grid.setItem(row, c, item = new QTableWidgetItem);
        ShowSavedText(*item, texts[c] ? *texts[c] : std::string(), encoding);
    }
}

// Rows are written in place; the count changes only when it must, so the
// current cell and the scroll position survive a rewrite of equal length.
template <typename Row, typename Fields>
void FillGrid(QTableWidget& grid, const std::vector<Row>& rows, Fields fields) {
    grid.setUpdatesEnabled(false);
    const int count = std::max<int>(static_cast<int>(rows.size()), 1);
    grid.setRowCount(count);
    for (int r = 0; r < count; ++r) {
        ShowLine(grid, r, r < static_cast<int>(rows.size()) ? fields(rows[r]) : std::array<const std::string*, 3>{});
    }
    grid.setUpdatesEnabled(true);
}

void SetCurrentRow(QTableWidget& grid, int& currentRow) {
    currentRow = std::clamp(currentRow, 0, grid.rowCount() - 1);
}

}  // namespace

TForm7::TForm7(QWidget* parent, std::string appPath, ConfigKeys config)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      appPath_(std::move(appPath)),
      config_(std::move(config)) {
    setWindowTitle("Storage Bin");
    setFixedSize(626, 353);

    StringGrid1 = MakeGrid(this, {"Saved Alarm File Settings", "File ID", "Default Player"}, {480, 100, 0});
    StringGrid1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid2 = MakeGrid(this, {"Saved Alarm Headers", "Alarm Date", "Alarm Time"}, {380, 100, 100});
    StringGrid2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // For screen readers, the captions of the choice between the two grids.
    StringGrid1->setAccessibleName("Saved Alarm File Settings");
    StringGrid2->setAccessibleName("Saved Alarm Times");
    StringGrid2->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid2->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* panel = new QFrame(this);
    panel->setGeometry(8, 224, 441, 57);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    CheckBox1 = new QCheckBox("Ignore &URLs (http...) when Validating Files", panel);
    CheckBox1->setGeometry(16, 8, 225, 17);
    CheckBox2 = new QCheckBox("Ignore &Messages when Validating Files (Text and Network Messages)", panel);
    CheckBox2->setGeometry(16, 32, 353, 17);

    auto* radioGroup = new QGroupBox(this);
    radioGroup->setGeometry(456, 219, 161, 62);
    RadioGroup1[0] = new QRadioButton("&Saved Alarm File Settings", radioGroup);
    RadioGroup1[0]->setGeometry(8, 12, 150, 20);
    RadioGroup1[1] = new QRadioButton("Saved Alarm &Times", radioGroup);
    RadioGroup1[1]->setGeometry(8, 36, 150, 20);

    auto button = [this](const char* caption, int left, int top, int width) {
        auto* b = new QPushButton(caption, this);
        b->setGeometry(left, top, width, 25);
        return b;
    };
    Button3 = button("&Validate Files", 8, 288, 129);
    Button5 = button("Copy &Entry to Alarm Settings", 144, 288, 169);
    Button2 = button("S&ort Alarms", 320, 288, 129);
    Button4 = button("Delete &Current Entry", 8, 320, 129);
    Button6 = button("Edit &Highlighted Alarm", 144, 320, 169);
    Button7 = button("Delete &Range of Alarms", 320, 320, 129);
    Button1 = button("&Done", 542, 320, 75);

    // Opening: rows, boxes, mode, then the files.
    currentRow1_ = currentRow2_ = 0;
    if (config_.read) {
        CheckBox1->setChecked(config_.read("IGNOREHTTP") == "Yes");
        CheckBox2->setChecked(config_.read("IGNOREMESS") == "Yes");
    }
    RadioGroup1[0]->setChecked(true);
    RadioGroup1Click();
    LoadFiles();

    for (QRadioButton* radio : RadioGroup1)
        connect(radio, &QRadioButton::toggled, this, [this](bool on) {
            if (on) RadioGroup1Click();
        });
    connect(StringGrid1, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0) currentRow1_ = row;
    });
    connect(StringGrid2, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0) currentRow2_ = row;
    });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(Button7, &QPushButton::clicked, this, [this] { Button7Click(); });
    FinishDialog(*this);
}

void TForm7::LoadFiles() {
    const RegionalSettings& settings = AppRegionalSettings();
    // Each file on its own: one that cannot be read stays untouched by "&Done".
    try {
        fileSettingList = LoadFileSettings(StorageBinPath(appPath_));
        fileSettingsRead_ = true;
        SetFileRows(fileSettingList);
    } catch (const OperationError& e) {
        AppPrompts().Error(e.what());
    }
    try {
        AlarmsLoad load = LoadAlarmsForBin(AlarmsPath(appPath_), settings, AppClock().Now().year);
        alarmsRead_ = true;
        savedAlarmList = load.rows;
        unreadAlarmLines_ = std::move(load.unreadLines);
        SetAlarmRows(load.rows);
        if (load.error) AppPrompts().Error(*load.error);
    } catch (const OperationError& e) {
        AppPrompts().Error(e.what());
    }
}

int TForm7::Mode() const { return RadioGroup1[1]->isChecked() ? 1 : 0; }

FileSettingList TForm7::FileRows() const {
    FileSettingList rows(static_cast<std::size_t>(StringGrid1->rowCount()));
    for (int r = 0; r < StringGrid1->rowCount(); ++r)
        rows[r] = {CellText(*StringGrid1, r, 0), CellText(*StringGrid1, r, 1), CellText(*StringGrid1, r, 2)};
    return rows;
}

SavedAlarmList TForm7::AlarmRows() const {
    SavedAlarmList rows(static_cast<std::size_t>(StringGrid2->rowCount()));
    for (int r = 0; r < StringGrid2->rowCount(); ++r)
        rows[r] = {CellText(*StringGrid2, r, 0), CellText(*StringGrid2, r, 1), CellText(*StringGrid2, r, 2)};
    return rows;
}

void TForm7::SetFileRows(const FileSettingList& rows) {
    FillGrid(*StringGrid1, rows, [](const FileSetting& row) {
        return std::array<const std::string*, 3>{&row.target, &row.fileId, &row.player};
    });
    SetCurrentRow(*StringGrid1, currentRow1_);
}

void TForm7::SetAlarmRows(const SavedAlarmList& rows) {
    FillGrid(*StringGrid2, rows, [](const SavedAlarm& row) {
        return std::array<const std::string*, 3>{&row.header, &row.date, &row.time};
    });
    SetCurrentRow(*StringGrid2, currentRow2_);
}

void TForm7::RadioGroup1Click() {
    const bool alarms = Mode() == 1;
    CheckBox1->setEnabled(!alarms);
    CheckBox2->setEnabled(!alarms);
    Button3->setText(alarms ? "&Validate Alarms" : "&Validate Files");
    Button2->setEnabled(alarms);
    Button6->setEnabled(alarms);
    Button7->setEnabled(alarms);
    StringGrid1->setVisible(!alarms);
    StringGrid2->setVisible(alarms);
}

void TForm7::Button3Click() {
    Prompts& prompts = AppPrompts();
    int count = 0;
    if (Mode() == 0) {
        FileSettingList rows = FileRows();
        // "E:\Mpegav\Avseq01.dat" on a mounted disc plays, so it is no missing file.
        const auto exists = [this](const std::string& path) {
            return FileExists(ResolveDrivePath(path, sysRoot, mountsFile));
        };
        count = ValidateFileSettings(rows, CheckBox1->isChecked(), CheckBox2->isChecked(), exists, prompts);
        SetFileRows(rows);
    } else {
        SavedAlarmList rows = AlarmRows();
        try {
            count = ValidateSavedAlarms(rows, AppClock().Now(), AppRegionalSettings(), prompts);
        } catch (const ConversionError&) {
            SetAlarmRows(rows);  // what was deleted before the bad row stays deleted
            throw;
        }
        SetAlarmRows(rows);
    }
    if (ReportValidation(count, prompts)) {
        PackFileGrid();
        PackAlarmGrid();
    }
}

void TForm7::Button4Click() {
    const bool alarms = Mode() == 1;
    if (!AppPrompts().Confirm(alarms ? "Are you sure you want to delete this alarm?"
                                     : "Are you sure you want to delete this settings entry?"))
        return;
    QTableWidget& grid = alarms ? *StringGrid2 : *StringGrid1;
    const int row = alarms ? currentRow2_ : currentRow1_;
    for (int c = 0; c < 3; ++c)
        if (QTableWidgetItem* item = grid.item(row, c)) item->setText(QString());
}

void TForm7::Button5Click() {
    Handovers& handovers = AppHandovers();
    if (Mode() == 0) {
        handovers.copiedFile = {CellText(*StringGrid1, currentRow1_, 0), CellText(*StringGrid1, currentRow1_, 2)};
    } else {
        handovers.copiedAlarm = {CellText(*StringGrid2, currentRow2_, 0), CellText(*StringGrid2, currentRow2_, 1),
                                 CellText(*StringGrid2, currentRow2_, 2)};
    }
}

void TForm7::Button6Click() {
    const int row = currentRow2_;
    AlarmHandover& edited = AppHandovers().editedAlarm;
    edited = {CellText(*StringGrid2, row, 0), CellText(*StringGrid2, row, 1), CellText(*StringGrid2, row, 2)};
    TForm9 editor(this);
    editor.exec();
    if (row < StringGrid2->rowCount()) ShowLine(*StringGrid2, row, {&edited.header, &edited.date, &edited.time});
}

void TForm7::Button2Click() {
    SetAlarmRows(SortAlarmRows(AlarmRows(), AppRegionalSettings(), AppClock().Now().year));
}

void TForm7::Button7Click() {
    savedAlarmList = AlarmRows();
    {
        TForm11 range(this, savedAlarmList);
        range.exec();
    }
    SetAlarmRows(savedAlarmList);
    PackAlarmGrid();
}

void TForm7::PackFileGrid() {
    fileSettingList = PackFileRows(FileRows());
    SetFileRows(fileSettingList);
}

void TForm7::PackAlarmGrid() {
    savedAlarmList = PackAlarmRows(AlarmRows());
    SetAlarmRows(savedAlarmList);
}

void TForm7::Button1Click() {
    const FileSettingList files = FileRows();
    const SavedAlarmList alarms = AlarmRows();
    // A text the line rule cannot carry refuses the save before any file changes.
    CheckFileRows(files);
    CheckAlarmRows(alarms);
    if (fileSettingsRead_) RewriteFileSettings(StorageBinPath(appPath_), files);
    const SavedAlarmList sorted = SortAlarmRows(alarms, AppRegionalSettings(), AppClock().Now().year);
    SetAlarmRows(sorted);
    if (alarmsRead_) RewriteSavedAlarms(AlarmsPath(appPath_), sorted, unreadAlarmLines_);
    SavedAlarmsChanged();
    if (config_.write) {
        config_.write("IGNOREHTTP", CheckBox1->isChecked() ? "Yes" : "No");
        config_.write("IGNOREMESS", CheckBox2->isChecked() ? "Yes" : "No");
    }
    accept();
}

}  // namespace tolvenmark
