#include "skin/url_label.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QUrl>

namespace tolvenmark {

TUrlLabel::TUrlLabel(const QString& caption, const QString& url, QWidget* parent)
    : QLabel(caption, parent), url_(url) {
    setCursor(Qt::PointingHandCursor);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    Restyle();
}

QColor TUrlLabel::CurrentColor() const {
    if (hovered_ || pressed_) return Qt::red;
    return followed_ ? QColor(0, 0, 128) : QColor(Qt::blue);
}

void TUrlLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        Restyle();
    }
    event->accept();
}

void TUrlLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Follow();
    Restyle();
    event->accept();
}

void TUrlLabel::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    Restyle();
    QLabel::enterEvent(event);
}

void TUrlLabel::leaveEvent(QEvent* event) {
    hovered_ = false;
    Restyle();
    QLabel::leaveEvent(event);
}

void TUrlLabel::Follow() {
    const QString target = url_.isEmpty() ? text() : url_;
    followed_ = true;
    QDesktopServices::openUrl(QUrl::fromUserInput(target));
}

void TUrlLabel::Restyle() {
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, CurrentColor());
    setPalette(palette);
}

}  // namespace tolvenmark
