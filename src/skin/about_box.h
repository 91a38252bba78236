#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tolvenmark {

class TUrlLabel;

// The about box, shown modally by the main window's ABOUT spot.
class TForm5 : public QDialog {
public:
    explicit TForm5(QWidget* parent = nullptr);

    QLabel* ProductName = nullptr;    // "Tolvenmark Clock 1.1"
    QLabel* Credits = nullptr;
    TUrlLabel* WebLink = nullptr;
    TUrlLabel* MailLink = nullptr;
    QPlainTextEdit* Notice = nullptr;
    QPushButton* OKButton = nullptr;      // "&OK"
    QPushButton* UpdateButton = nullptr;  // "&Check for Updates", never visible
};

}  // namespace tolvenmark
