#include "platform/dialog_finish.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QPushButton>
#include <QScreen>

#include "platform/clock_icon.h"

namespace tolvenmark {

namespace {

// An accelerator clicks without taking the focus, so the cell editor would
// stay open and its text unsaved while the handler reads the old one.
void CommitOpenEditors(QDialog& dialog) {
    for (QAbstractItemView* view : dialog.findChildren<QAbstractItemView*>()) {
        QWidget* editor = view->indexWidget(view->currentIndex());
        if (!editor) continue;
        emit view->itemDelegate()->commitData(editor);
        emit view->itemDelegate()->closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

}  // namespace

void FinishDialog(QDialog& dialog, DialogPlace place) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::pressed, &dialog, [&dialog] { CommitOpenEditors(dialog); });
    }
    dialog.setWindowIcon(ClockIcon());
    if (place == DialogPlace::ScreenCentre && dialog.screen()) {
        const QRect screen = dialog.screen()->availableGeometry();
        dialog.move(screen.center() - QPoint(dialog.width() / 2, dialog.height() / 2));
    }
}

}  // namespace tolvenmark
