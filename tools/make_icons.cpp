// Draws the program's icon: hicolor PNGs at 16, 32, 48, 128 and 256 pixels
// and the scalable SVG, all from one list of shapes so they never drift apart.
//
//   make_icons OUTPUT_DIR    (writes OUTPUT_DIR/hicolor/<size>/apps/tolvenmark-clock.*)

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace {

constexpr double kCanvas = 256;  // shapes are laid out on a 256-unit square

struct Shape {
    enum Kind { Circle, Line } kind;
    double x1, y1, x2OrRadius, y2;
    QColor fill;         // invalid: none
    QColor fillBottom;   // valid: vertical gradient from fill to fillBottom
    QColor stroke;       // invalid: none
    double strokeWidth;
    int minSize;         // left out of smaller PNGs, where it would be noise
};

Shape Circle(double cx, double cy, double r, QColor fill, QColor bottom = {}, QColor stroke = {}, double width = 0) {
    return {Shape::Circle, cx, cy, r, 0, fill, bottom, stroke, width, 0};
}

Shape Line(double x1, double y1, double x2, double y2, QColor stroke, double width, int minSize = 0) {
    return {Shape::Line, x1, y1, x2, y2, {}, {}, stroke, width, minSize};
}

std::vector<Shape> IconShapes() {
    const QColor rim(138, 145, 156), dark(28, 30, 35), brass(226, 164, 62), brassDark(150, 98, 28);
    const QColor face(246, 240, 226), ink(34, 36, 42), red(214, 48, 40);
    std::vector<Shape> shapes = {
        Line(78, 206, 56, 236, dark, 16),  // legs
        Line(178, 206, 200, 236, dark, 16),
        Line(128, 44, 128, 30, dark, 12),  // hammer
        Circle(72, 64, 36, brass, brassDark, brassDark, 6),
        Circle(184, 64, 36, brass, brassDark, brassDark, 6),
        Circle(128, 144, 100, QColor(70, 75, 86), dark, rim, 8),
        Circle(128, 144, 80, face),
    };
    for (int hour = 0; hour < 12; ++hour) {
        const double a = hour * M_PI / 6;
        const bool major = hour % 3 == 0;
        const double inner = major ? 60 : 66;
        shapes.push_back(Line(128 + inner * std::sin(a), 144 - inner * std::cos(a), 128 + 74 * std::sin(a),
                              144 - 74 * std::cos(a), ink, major ? 8 : 4, major ? 32 : 48));
    }
    const double hour = (10 + 8.0 / 60) * M_PI / 6, minute = 8 * M_PI / 30, second = 36 * M_PI / 30;
    shapes.push_back(Line(128, 144, 128 + 42 * std::sin(hour), 144 - 42 * std::cos(hour), ink, 14));
    shapes.push_back(Line(128, 144, 128 + 62 * std::sin(minute), 144 - 62 * std::cos(minute), ink, 9));
    shapes.push_back(Line(128 - 14 * std::sin(second), 144 + 14 * std::cos(second), 128 + 66 * std::sin(second),
                          144 - 66 * std::cos(second), red, 4, 48));
    shapes.push_back(Circle(128, 144, 10, red));
    return shapes;
}

QString Svg(const std::vector<Shape>& shapes) {
    auto colour = [](const QColor& c) { return c.isValid() ? c.name() : QStringLiteral("none"); };
    QString defs, body;
    int gradients = 0;
    for (const Shape& s : shapes) {
        QString fill = colour(s.fill);
        if (s.fillBottom.isValid()) {
            const QString id = QStringLiteral("g%1").arg(++gradients);
            defs += QStringLiteral("    <linearGradient id=\"%1\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
                                   "<stop offset=\"0\" stop-color=\"%2\"/><stop offset=\"1\" stop-color=\"%3\"/>"
                                   "</linearGradient>\n")
                        .arg(id, s.fill.name(), s.fillBottom.name());
            fill = QStringLiteral("url(#%1)").arg(id);
        }
        const QString stroke = s.stroke.isValid()
                                   ? QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\"").arg(s.stroke.name()).arg(s.strokeWidth)
                                   : QString();
        if (s.kind == Shape::Circle)
            body += QStringLiteral("  <circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"%4\"%5/>\n")
                        .arg(s.x1).arg(s.y1).arg(s.x2OrRadius).arg(fill, stroke);
        else
            body += QStringLiteral("  <line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\"%5 stroke-linecap=\"round\"/>\n")
                        .arg(s.x1, 0, 'f', 2).arg(s.y1, 0, 'f', 2).arg(s.x2OrRadius, 0, 'f', 2).arg(s.y2, 0, 'f', 2)
                        .arg(stroke);
    }
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
                          "  <defs>\n%1  </defs>\n%2</svg>\n")
        .arg(defs, body);
}

QImage Png(const std::vector<Shape>& shapes, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kCanvas, size / kCanvas);
    for (const Shape& s : shapes) {
        if (size < s.minSize) continue;
        // Thin strokes would vanish when scaled down; keep them a pixel wide at least.
        const double width = std::max(s.strokeWidth, kCanvas / size);
        p.setPen(s.stroke.isValid() ? QPen(s.stroke, width, Qt::SolidLine, Qt::RoundCap) : QPen(Qt::NoPen));
        if (s.kind == Shape::Line) {
            p.drawLine(QPointF(s.x1, s.y1), QPointF(s.x2OrRadius, s.y2));
            continue;
        }
        const double r = s.x2OrRadius;
        if (s.fillBottom.isValid()) {
            QLinearGradient g(0, s.y1 - r, 0, s.y1 + r);
            g.setColorAt(0, s.fill);
            g.setColorAt(1, s.fillBottom);
            p.setBrush(g);
        } else {
            p.setBrush(s.fill.isValid() ? QBrush(s.fill) : QBrush(Qt::NoBrush));
        }
        p.drawEllipse(QPointF(s.x1, s.y1), r, r);
    }
    p.end();
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString root = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/hicolor/");
    const std::vector<Shape> shapes = IconShapes();

    for (int size : {16, 32, 48, 128, 256}) {
        const QString dir = root + QStringLiteral("%1x%1/apps").arg(size);
        if (!QDir().mkpath(dir) || !Png(shapes, size).save(dir + QStringLiteral("/tolvenmark-clock.png"), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    const QString dir = root + QStringLiteral("scalable/apps");
    QFile svg(dir + QStringLiteral("/tolvenmark-clock.svg"));
    if (!QDir().mkpath(dir) || !svg.open(QIODevice::WriteOnly) || svg.write(Svg(shapes).toUtf8()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    return 0;
}
