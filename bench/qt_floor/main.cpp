// The floor of the running-cost comparison: the least a Qt 6 widget program
// does to show what the clock shows. A 500 x 360 shaped window whose six
// texts are repainted once a second.
#include <chrono>
#include <cstdio>

#include <QApplication>
#include <QDateTime>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QWidget>

namespace {

long long RealtimeNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

class FloorWindow : public QWidget {
public:
    FloorWindow() {
        setWindowTitle("Qt floor");
        setWindowFlag(Qt::FramelessWindowHint, true);
        resize(500, 360);
        QPainterPath outline;
        outline.addRoundedRect(QRectF(0, 0, 500, 360), 24, 24);
        setMask(QRegion(outline.toFillPolygon().toPolygon()));
        connect(&timer_, &QTimer::timeout, this, [this] { update(); });
        timer_.start(1000);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(40, 44, 52));
        painter.setPen(Qt::red);
        const QDateTime now = QDateTime::currentDateTime();
        QFont big = font();
        big.setPixelSize(80);
        painter.setFont(big);
        painter.drawText(25, 130, now.toString("h:mm"));
        big.setPixelSize(36);
        painter.setFont(big);
        painter.drawText(360, 80, now.toString("ss"));
        QFont small = font();
        small.setPixelSize(14);
        painter.setFont(small);
        painter.drawText(440, 60, now.toString("AP"));
        painter.drawText(320, 165, now.toString("MMMM d, yyyy"));
        painter.drawText(23, 255, "Alarm Set For:");
        painter.drawText(23, 276, "12/8/2026 at 7:00:00 AM");
        if (!reported_ && qEnvironmentVariableIsSet("TOLVENMARK_REPORT_FIRST_FRAME")) {
            reported_ = true;
            std::fprintf(stderr, "first-frame-ns %lld\n", RealtimeNs());
        }
    }

private:
    QTimer timer_;
    bool reported_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    FloorWindow window;
    window.show();
    return app.exec();
}
