#include "platform/dialog_finish.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "platform/clock_icon.h"

namespace tolvenmark {

namespace {

// An accelerator clicks without taking the focus, so the cell editor would
// stay open and its text unsaved while the handler reads the old one.
void CommitOpenEditors(QWidget& dialog) {
    for (QAbstractItemView* view : dialog.findChildren<QAbstractItemView*>()) {
        QWidget* editor = view->indexWidget(view->currentIndex());
        if (!editor) continue;
        emit view->itemDelegate()->commitData(editor);
        emit view->itemDelegate()->closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

}  // namespace

void FinishDialog(QWidget& dialog, DialogPlace place) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::pressed, &dialog, [&dialog] { CommitOpenEditors(dialog); });
    }
    // The fixed places were made for a narrower font: a caption is never cut.
    for (QWidget* caption : dialog.findChildren<QWidget*>()) {
        const bool placed = caption->parentWidget() && !caption->parentWidget()->layout();
        const bool text = qobject_cast<QLabel*>(caption) || qobject_cast<QCheckBox*>(caption) ||
                          qobject_cast<QRadioButton*>(caption);
        if (placed && text && caption->width() < caption->sizeHint().width())
            caption->resize(caption->sizeHint().width(), caption->height());
    }
    dialog.setWindowIcon(ClockIcon());
    if (place == DialogPlace::ScreenCentre && dialog.screen()) {
        const QRect screen = dialog.screen()->availableGeometry();
        dialog.move(screen.center() - QPoint(dialog.width() / 2, dialog.height() / 2));
    }
}

}  // namespace tolvenmark
