#include "platform/dialog_buttons.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QPushButton>

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

void FinishDialog(QDialog& dialog) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::pressed, &dialog, [&dialog] { CommitOpenEditors(dialog); });
    }
    dialog.setWindowIcon(ClockIcon());
}

}  // namespace tolvenmark
