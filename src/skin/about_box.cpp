#include "skin/about_box.h"

#include <QFont>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/prompts.h"
#include "skin/url_label.h"

namespace tolvenmark {

namespace {

constexpr const char* kCredits =
    "Written by Tolvenmark Software.\n"
    "Built-in skin artwork by the Tolvenmark Clock team.";

constexpr const char* kNotice =
    "Tolvenmark Clock is free to use and to pass on unchanged.\n\n"
    "It is provided as it is, without warranty of any kind. Do not rely on it alone where a "
    "missed alarm could cause harm: the makers are not liable for an alarm that does not ring "
    "or for any damage that comes from using the program.\n\n"
    "Skins are the work of their authors and remain theirs.";

}  // namespace

TForm5::TForm5(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("About ") + QString::fromUtf8(kApplicationTitle));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(360, 300);

    ProductName = new QLabel(QString::fromUtf8(kApplicationTitle) + " " + QString::fromUtf8(TOLVENMARK_VERSION), this);
    QFont big = ProductName->font();
    big.setPointSize(14);
    big.setBold(true);
    ProductName->setFont(big);
    ProductName->setGeometry(12, 10, 336, 28);

    Credits = new QLabel(QString::fromUtf8(kCredits), this);
    Credits->setGeometry(12, 42, 336, 36);

    WebLink = new TUrlLabel("www.tolvenmark.example", "https://www.tolvenmark.example/", this);
    WebLink->move(12, 82);
    WebLink->adjustSize();
    MailLink = new TUrlLabel("clock@tolvenmark.example", "mailto:clock@tolvenmark.example", this);
    MailLink->move(12, 100);
    MailLink->adjustSize();

    Notice = new QPlainTextEdit(QString::fromUtf8(kNotice), this);
    Notice->setReadOnly(true);
    Notice->setAccessibleName("Notice");
    Notice->setGeometry(12, 124, 336, 126);

    OKButton = new QPushButton("&OK", this);
    OKButton->setGeometry(273, 262, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    // The only trigger of an update check that was never offered to users.
    UpdateButton = new QPushButton("&Check for Updates", this);
    UpdateButton->setGeometry(12, 262, 120, 25);
    UpdateButton->setVisible(false);

    OKButton->setFocus();
}

}  // namespace tolvenmark
