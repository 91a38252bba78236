#pragma once

#include <QAbstractSpinBox>
#include <QTime>

#include "bin/typed_time.h"
#include "platform/date_time.h"

namespace tolvenmark {

// A time-of-day picker in the machine's long time format. It takes a whole
// time typed over its text as well as digits typed into one section and the
// arrows; a text it cannot read is marked at once and keeps the last time it
// could read from being taken by PickerTime.
class TimeField : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit TimeField(QWidget* parent = nullptr);

    QTime time() const { return time_; }
    void setTime(const QTime& time);
    bool IsReadable() const { return readable_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void timeChanged(const QTime& time);

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString&) const override {}
    void stepBy(int steps) override;
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    struct Span {
        TimeSection section;
        int start;
        int length;
    };
    QList<Span> Spans() const;
    int SpanAt(const QList<Span>& spans, int pos) const;
    bool TypeIntoSection(QChar c);
    void SelectSpan(int index);
    void TextChanged(const QString& text);
    void ShowTime();
    void MarkReadable(bool readable);

    QTime time_{0, 0, 0};
    bool readable_ = true;
    int typingSpan_ = -1;  // the section digits go into, -1 before the first
    QString typedDigits_;
};

// Marks a field whose text cannot be read (reason empty: readable again).
void MarkUnreadable(QWidget& field, const QString& reason);

// The picker of the schedule and edit alarm dialogs.
TimeField* MakeTimePicker(QWidget* parent, int left, int top, int width);
void SetPickerTime(TimeField& picker, const DateTime& time);
// On 1899-12-30. Throws ConversionError "'%s' is not a valid time" for a
// text the picker cannot read, so a save stops before it writes anything.
DateTime PickerTime(const TimeField& picker);

}  // namespace tolvenmark
