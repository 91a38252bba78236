#include "platform/clock_icon.h"

#include <QPainter>
#include <QPixmap>

namespace tolvenmark {

QIcon ClockIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(Qt::white);
    painter.drawEllipse(2, 2, 28, 28);
    painter.drawLine(16, 16, 16, 7);
    painter.drawLine(16, 16, 23, 16);
    return QIcon(pixmap);
}

}  // namespace tolvenmark
