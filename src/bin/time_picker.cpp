#include "bin/time_picker.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include "platform/conversion_error.h"
#include "platform/date_time_text.h"
#include "platform/regional_settings.h"

namespace tolvenmark {

namespace {

DateTime ToDateTime(const QTime& t) { return {1899, 12, 30, t.hour(), t.minute(), t.second(), 0}; }

QString Formatted(const QTime& t) {
    const RegionalSettings& settings = AppRegionalSettings();
    return QString::fromStdString(FormatDateTime(settings.longTimeFormat, ToDateTime(t), settings));
}

QString NotATime(const QString& text) { return "'" + text + "' is not a valid time"; }

// Whether a typed letter names the designator (its first letter, or that of AM or PM).
bool Names(QChar typed, const std::string& designator, QChar latin) {
    const QString name = QString::fromStdString(designator);
    return typed.toLower() == latin || (!name.isEmpty() && typed.toLower() == name.front().toLower());
}

}  // namespace

TimeField::TimeField(QWidget* parent) : QAbstractSpinBox(parent) {
    // The text is read here, never by the spin box's own value machinery.
    setKeyboardTracking(false);
    connect(lineEdit(), &QLineEdit::textChanged, this, &TimeField::TextChanged);
    connect(this, &QAbstractSpinBox::editingFinished, this, [this] {
        typingSpan_ = -1;
        if (readable_) ShowTime();
    });
    ShowTime();
}

void TimeField::setTime(const QTime& time) {
    if (!time.isValid()) return;
    const QTime whole(time.hour(), time.minute(), time.second());
    const bool changed = whole != time_;
    time_ = whole;
    typingSpan_ = -1;
    ShowTime();
    if (changed) emit timeChanged(time_);
}

void TimeField::ShowTime() {
    const QString text = Formatted(time_);
    if (lineEdit()->text() != text) {
        lineEdit()->setText(text);
        lineEdit()->setCursorPosition(0);  // the arrows step the first section, as before any click
    }
    MarkReadable(true);
}

void TimeField::TextChanged(const QString& text) {
    const std::optional<DateTime> read = ReadTypedTime(text.toStdString(), AppRegionalSettings());
    MarkReadable(read.has_value());
    if (!read) return;
    const QTime time(read->hour, read->minute, read->second);
    if (time == time_) return;
    time_ = time;
    emit timeChanged(time_);
}

void MarkUnreadable(QWidget& field, const QString& reason) {
    QPalette palette;
    if (!reason.isEmpty()) {
        palette = field.palette();
        palette.setColor(QPalette::Base, QColor(255, 221, 221));
        palette.setColor(QPalette::Text, QColor(150, 0, 0));
    }
    field.setPalette(palette);
    field.setToolTip(reason);
    field.setAccessibleDescription(reason);
}

void TimeField::MarkReadable(bool readable) {
    readable_ = readable;
    MarkUnreadable(*lineEdit(), readable ? QString() : NotATime(text()));
    setToolTip(lineEdit()->toolTip());
    setAccessibleDescription(lineEdit()->accessibleDescription());
    update();
}

QValidator::State TimeField::validate(QString& input, int&) const {
    // Anything may be typed on the way to a time; only what reads is a time.
    if (input.size() > 64) return QValidator::Invalid;
    return ReadTypedTime(input.toStdString(), AppRegionalSettings()) ? QValidator::Acceptable
                                                                      : QValidator::Intermediate;
}

QAbstractSpinBox::StepEnabled TimeField::stepEnabled() const {
    return readable_ && !isReadOnly() ? StepUpEnabled | StepDownEnabled : StepNone;
}

QList<TimeField::Span> TimeField::Spans() const {
    const QString text = lineEdit()->text();
    const RegionalSettings& settings = AppRegionalSettings();
    QList<Span> spans;
    const TimeSection numbers[] = {TimeSection::Hour, TimeSection::Minute, TimeSection::Second};
    for (int i = 0; i < text.size() && spans.size() < 3;) {
        if (!text[i].isDigit()) {
            ++i;
            continue;
        }
        int end = i;
        while (end < text.size() && text[end].isDigit()) ++end;
        spans.append({numbers[spans.size()], i, end - i});
        i = end;
    }
    if (spans.isEmpty() || !TwelveHour(settings)) return spans;
    // The designator is the rest of the text before the first or after the last number.
    int start = 0, end = spans.front().start;
    if (!DesignatorFirst(settings)) {
        start = spans.back().start + spans.back().length;
        end = static_cast<int>(text.size());
    }
    while (start < end && !text[start].isLetter()) ++start;
    while (end > start && text[end - 1].isSpace()) --end;
    if (end > start) {
        const Span designator{TimeSection::Designator, start, end - start};
        if (DesignatorFirst(settings)) spans.prepend(designator);
        else spans.append(designator);
    }
    return spans;
}

int TimeField::SpanAt(const QList<Span>& spans, int pos) const {
    for (int i = 0; i < spans.size(); ++i)
        if (pos >= spans[i].start && pos <= spans[i].start + spans[i].length) return i;
    for (int i = 0; i < spans.size(); ++i)
        if (spans[i].start > pos) return i;
    return static_cast<int>(spans.size()) - 1;
}

void TimeField::SelectSpan(int index) {
    const QList<Span> spans = Spans();
    if (index >= 0 && index < spans.size()) lineEdit()->setSelection(spans[index].start, spans[index].length);
}

void TimeField::stepBy(int steps) {
    if (!readable_) return;
    const QList<Span> spans = Spans();
    QLineEdit* edit = lineEdit();
    const int index = SpanAt(spans, edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition());
    const TimeSection section = index >= 0 ? spans[index].section : TimeSection::Hour;
    const DateTime stepped = StepSection(ToDateTime(time_), section, steps);
    setTime(QTime(stepped.hour, stepped.minute, stepped.second));
    SelectSpan(index);
}

bool TimeField::TypeIntoSection(QChar c) {
    QLineEdit* edit = lineEdit();
    const QList<Span> spans = Spans();
    int index = -1;
    if (edit->hasSelectedText()) {
        // A selected section is overwritten section by section; any other
        // selection (the whole text) is plain typing, read when it is whole.
        for (int i = 0; i < spans.size(); ++i)
            if (spans[i].start == edit->selectionStart() && spans[i].length == edit->selectedText().size()) index = i;
        typingSpan_ = -1;
    } else if (typingSpan_ >= 0) {
        index = typingSpan_;
    } else if (readable_ && edit->text() == Formatted(time_)) {
        index = SpanAt(spans, edit->cursorPosition());
    }
    if (index < 0 || index >= spans.size()) return false;
    const Span span = spans[index];
    const RegionalSettings& settings = AppRegionalSettings();

    if (span.section == TimeSection::Designator) {
        typingSpan_ = -1;
        QTime time = time_;
        if (Names(c, settings.amDesignator, 'a') && time.hour() >= 12) time = time.addSecs(-12 * 3600);
        else if (Names(c, settings.pmDesignator, 'p') && time.hour() < 12) time = time.addSecs(12 * 3600);
        setTime(time);
        SelectSpan(index);
        return true;
    }
    if (!c.isDigit()) return true;  // a letter has no place in a number
    if (typingSpan_ != index) typedDigits_.clear();
    typingSpan_ = index;
    typedDigits_ += c;
    QString text = edit->text();
    text.replace(span.start, span.length, typedDigits_);
    edit->setText(text);
    edit->setCursorPosition(span.start + static_cast<int>(typedDigits_.size()));
    if (SectionFull(span.section, typedDigits_.toStdString(), TwelveHour(settings))) {
        typingSpan_ = -1;
        if (!readable_) return true;
        ShowTime();
        const int next = index + 1 < spans.size() && spans[index + 1].section != TimeSection::Designator ? index + 1
                                                                                                         : index;
        SelectSpan(next);
    }
    return true;
}

void TimeField::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (!isReadOnly() && plain && typed.size() == 1 && typed[0].isLetterOrNumber()) {
        if (TypeIntoSection(typed[0])) {
            event->accept();
            return;
        }
    } else if (typed.isEmpty() || !typed[0].isPrint()) {
        typingSpan_ = -1;  // moving about ends a section's typing
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void TimeField::mousePressEvent(QMouseEvent* event) {
    typingSpan_ = -1;
    QAbstractSpinBox::mousePressEvent(event);
}

void TimeField::focusInEvent(QFocusEvent* event) {
    typingSpan_ = -1;
    QAbstractSpinBox::focusInEvent(event);
}

QSize TimeField::sizeHint() const {
    ensurePolished();
    const QString widest = Formatted(QTime(23, 58, 58)).replace(QRegularExpression("[0-9]"), "8") + "  ";
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QSize text(fontMetrics().horizontalAdvance(widest) + 4, lineEdit()->sizeHint().height());
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, text, this);
}

TimeField* MakeTimePicker(QWidget* parent, int left, int top, int width) {
    auto* picker = new TimeField(parent);
    picker->setGeometry(left, top, width, 21);
    return picker;
}

void SetPickerTime(TimeField& picker, const DateTime& time) {
    picker.setTime(QTime(time.hour, time.minute, time.second));
}

DateTime PickerTime(const TimeField& picker) {
    if (!picker.IsReadable()) throw ConversionError(NotATime(picker.text()).toStdString());
    return ToDateTime(picker.time());
}

}  // namespace tolvenmark
