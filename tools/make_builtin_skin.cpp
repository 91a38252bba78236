// Draws the built-in skin's images: ACMain.jpg (the face), ACSel.jpg (every
// button pressed or lit) and ACMask.bmp (all black: a plain rectangle).
//
//   make_builtin_skin OUTPUT_DIR [PREVIEW_PREFIX]
//
// With a preview prefix it also loads the written skin (OUTPUT_DIR/Skin.ini)
// and saves PREFIX-up.png and PREFIX-down.png: the composed faces with their
// texts, as the clock shows them with every button up and every button down.

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include <QGuiApplication>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "platform/prompts.h"
#include "skin/skin_painter.h"
#include "skin/skin_reader.h"

namespace {

constexpr int kWidth = 501;
constexpr int kHeight = 357;

enum class Icon { None, Cross, Dash, Question, Info, Led, Bell, Gear, Snooze };

struct Button {
    QRect area;  // the hot area: the pressed face is copied over exactly this
    QString label;
    Icon icon;
};

const Button kButtons[] = {
    {{462, 6, 28, 17}, {}, Icon::Cross},
    {{434, 6, 28, 17}, {}, Icon::Question},
    {{405, 6, 28, 17}, {}, Icon::Dash},
    {{10, 6, 28, 17}, {}, Icon::Info},
    {{13, 182, 210, 45}, QStringLiteral("Alarm On/Off"), Icon::Led},
    {{282, 184, 212, 44}, QStringLiteral("Alarm Settings"), Icon::Bell},
    {{282, 237, 212, 44}, QStringLiteral("Program Settings"), Icon::Gear},
    {{10, 297, 481, 53}, QStringLiteral("SNOOZE"), Icon::Snooze},
};

const QColor kLabel(226, 230, 237);
const QColor kLit(255, 196, 92);  // warm light of a pressed button

QFont UiFont(int pixels, bool bold = true, qreal spacing = 0) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    if (spacing != 0) font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// ---- chassis ----

void DrawBody(QPainter& p) {
    QLinearGradient body(0, 0, 0, kHeight);
    body.setColorAt(0.0, QColor(64, 69, 78));
    body.setColorAt(0.08, QColor(50, 54, 62));
    body.setColorAt(0.55, QColor(38, 41, 48));
    body.setColorAt(1.0, QColor(27, 29, 34));
    p.fillRect(QRect(0, 0, kWidth, kHeight), body);

    // Fine brushed lines, barely there.
    for (int y = 0; y < kHeight; y += 2) {
        const int shade = (y * 7919) % 5;
        p.fillRect(QRect(0, y, kWidth, 1), QColor(255, 255, 255, 2 + shade));
    }

    // Bevelled rim: light above and left, dark below and right.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(8, 9, 11), 1));
    p.drawRect(QRectF(0.5, 0.5, kWidth - 1, kHeight - 1));
    p.setPen(QPen(QColor(112, 118, 128), 1));
    p.drawLine(QPointF(1.5, 1.5), QPointF(kWidth - 2.5, 1.5));
    p.drawLine(QPointF(1.5, 1.5), QPointF(1.5, kHeight - 2.5));
    p.setPen(QPen(QColor(16, 17, 20), 1));
    p.drawLine(QPointF(2.5, kHeight - 1.5), QPointF(kWidth - 1.5, kHeight - 1.5));
    p.drawLine(QPointF(kWidth - 1.5, 2.5), QPointF(kWidth - 1.5, kHeight - 1.5));

    // Groove under the title strip.
    p.setPen(QPen(QColor(18, 20, 23), 1));
    p.drawLine(QPointF(6, 28.5), QPointF(kWidth - 6, 28.5));
    p.setPen(QPen(QColor(82, 88, 98), 1));
    p.drawLine(QPointF(6, 29.5), QPointF(kWidth - 6, 29.5));

    // Engraved name plate in the title strip.
    p.setFont(UiFont(11, true, 3.2));
    const QRect title(44, 4, 355, 22);
    p.setPen(QColor(20, 22, 26));
    p.drawText(title.translated(0, 1), Qt::AlignCenter, QStringLiteral("TOLVENMARK CLOCK"));
    p.setPen(QColor(150, 157, 168));
    p.drawText(title, Qt::AlignCenter, QStringLiteral("TOLVENMARK CLOCK"));
}

// A recessed window of dark glass for the red display texts.
void DrawDisplayWindow(QPainter& p, const QRectF& r, qreal radius) {
    // Rim: shadow on the upper edge, light catching the lower edge.
    QLinearGradient rim(r.topLeft(), r.bottomLeft());
    rim.setColorAt(0.0, QColor(6, 7, 8));
    rim.setColorAt(1.0, QColor(98, 104, 114));
    p.setPen(Qt::NoPen);
    p.setBrush(rim);
    p.drawRoundedRect(r.adjusted(-2, -2, 2, 2), radius + 2, radius + 2);

    QRadialGradient glass(r.center(), std::max(r.width(), r.height()) * 0.62);
    glass.setColorAt(0.0, QColor(30, 12, 13));
    glass.setColorAt(1.0, QColor(11, 5, 6));
    p.setBrush(glass);
    p.drawRoundedRect(r, radius, radius);

    // Inner shadow along the top and left edges: the glass sits below the rim.
    p.save();
    QPainterPath clip;
    clip.addRoundedRect(r, radius, radius);
    p.setClipPath(clip);
    for (int i = 0; i < 6; ++i) {
        p.setPen(QPen(QColor(0, 0, 0, 70 - i * 11), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(0.5 + i, 0.5 + i, 6 - i, 6 - i), radius, radius);
    }
    // A faint reflection across the upper part of the glass.
    QPainterPath sheen;
    sheen.moveTo(r.left(), r.top());
    sheen.lineTo(r.right(), r.top());
    sheen.lineTo(r.right(), r.top() + r.height() * 0.18);
    sheen.cubicTo(r.right() - r.width() * 0.35, r.top() + r.height() * 0.34, r.left() + r.width() * 0.4,
                  r.top() + r.height() * 0.24, r.left(), r.top() + r.height() * 0.42);
    sheen.closeSubpath();
    QLinearGradient sheenFill(r.topLeft(), QPointF(r.left(), r.top() + r.height() * 0.42));
    sheenFill.setColorAt(0.0, QColor(255, 255, 255, 22));
    sheenFill.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sheenFill);
    p.drawPath(sheen);
    p.restore();
}

void DrawCaption(QPainter& p, const QRectF& r, const QString& text, Qt::Alignment align) {
    p.setFont(UiFont(8, true, 1.6));
    p.setPen(QColor(122, 52, 50));
    p.drawText(r, align, text);
}

void DrawDisplays(QPainter& p) {
    // Time, seconds, AM/PM and date.
    const QRectF main(14, 34, 473, 142);
    DrawDisplayWindow(p, main, 9);
    p.setPen(QPen(QColor(70, 24, 24), 1));
    p.drawLine(QPointF(343.5, 46), QPointF(343.5, 136));
    p.drawLine(QPointF(356, 140.5), QPointF(475, 140.5));
    DrawCaption(p, QRectF(360, 101, 110, 12), QStringLiteral("SECONDS"), Qt::AlignLeft | Qt::AlignVCenter);

    // The pending alarm.
    const QRectF alarm(14, 234, 258, 54);
    DrawDisplayWindow(p, alarm, 7);
}

// ---- buttons ----

QPainterPath BellPath(QPointF c, qreal s) {
    QPainterPath bell;
    bell.moveTo(c.x() - s * 0.55, c.y() + s * 0.38);
    bell.cubicTo(c.x() - s * 0.38, c.y() + s * 0.2, c.x() - s * 0.45, c.y() - s * 0.55, c.x(), c.y() - s * 0.55);
    bell.cubicTo(c.x() + s * 0.45, c.y() - s * 0.55, c.x() + s * 0.38, c.y() + s * 0.2, c.x() + s * 0.55,
                 c.y() + s * 0.38);
    bell.closeSubpath();
    bell.addEllipse(QPointF(c.x(), c.y() + s * 0.5), s * 0.12, s * 0.12);
    bell.addEllipse(QPointF(c.x(), c.y() - s * 0.62), s * 0.08, s * 0.08);
    return bell;
}

QPainterPath GearPath(QPointF c, qreal s) {
    QPolygonF teeth;
    const int count = 8;
    for (int i = 0; i < count * 4; ++i) {
        const qreal a = (i - 0.5) * M_PI * 2 / (count * 4);
        const qreal radius = (i % 4 < 2) ? s * 0.62 : s * 0.46;
        teeth << QPointF(c.x() + radius * std::cos(a), c.y() + radius * std::sin(a));
    }
    QPainterPath gear;
    gear.addPolygon(teeth);
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, s * 0.2, s * 0.2);
    return gear.subtracted(hole);
}

void DrawLed(QPainter& p, QPointF c, bool lit) {
    p.setPen(Qt::NoPen);
    if (lit) {
        QRadialGradient glow(c, 17);
        glow.setColorAt(0.0, QColor(90, 255, 120, 150));
        glow.setColorAt(1.0, QColor(90, 255, 120, 0));
        p.setBrush(glow);
        p.drawEllipse(c, 17, 17);
    }
    p.setBrush(QColor(12, 13, 15));
    p.drawEllipse(c, 8.5, 8.5);
    QRadialGradient lens(c + QPointF(-2, -2), 8);
    if (lit) {
        lens.setColorAt(0.0, QColor(225, 255, 225));
        lens.setColorAt(0.45, QColor(80, 240, 105));
        lens.setColorAt(1.0, QColor(20, 150, 45));
    } else {
        lens.setColorAt(0.0, QColor(70, 92, 74));
        lens.setColorAt(1.0, QColor(18, 38, 22));
    }
    p.setBrush(lens);
    p.drawEllipse(c, 7, 7);
    p.setBrush(QColor(255, 255, 255, lit ? 170 : 60));
    p.drawEllipse(c + QPointF(-2.4, -2.6), 2.2, 1.6);
}

void DrawIcon(QPainter& p, Icon icon, const QRectF& box, const QColor& ink, bool pressed) {
    const QPointF c = box.center();
    p.setBrush(Qt::NoBrush);
    switch (icon) {
        case Icon::Cross:
            p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(c + QPointF(-4, -4), c + QPointF(4, 4));
            p.drawLine(c + QPointF(-4, 4), c + QPointF(4, -4));
            break;
        case Icon::Dash:
            p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(c + QPointF(-5, 3.5), c + QPointF(5, 3.5));
            break;
        case Icon::Question:
        case Icon::Info:
            p.setPen(ink);
            p.setFont(UiFont(13));
            if (icon == Icon::Info) {
                QFont serif(QStringLiteral("DejaVu Serif"));
                serif.setPixelSize(13);
                serif.setBold(true);
                serif.setItalic(true);
                p.setFont(serif);
            }
            p.drawText(box, Qt::AlignCenter, icon == Icon::Info ? QStringLiteral("i") : QStringLiteral("?"));
            break;
        case Icon::Led:
            DrawLed(p, c, pressed);
            break;
        case Icon::Bell:
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            p.drawPath(BellPath(c, 18));
            break;
        case Icon::Gear:
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            p.drawPath(GearPath(c, 18));
            break;
        case Icon::Snooze: {
            QFont z = UiFont(15, true);
            z.setItalic(true);
            p.setFont(z);
            p.setPen(ink);
            p.drawText(box.translated(-4, 3), Qt::AlignCenter, QStringLiteral("z"));
            z.setPixelSize(11);
            p.setFont(z);
            p.drawText(box.translated(5, -5), Qt::AlignCenter, QStringLiteral("z"));
            break;
        }
        case Icon::None:
            break;
    }
}

void DrawButton(QPainter& p, const Button& b, bool pressed) {
    const bool small = b.area.height() < 20;
    const qreal radius = small ? 4 : 8;
    const QRectF outer = QRectF(b.area).adjusted(0.5, 0.5, -0.5, -0.5);
    const QRectF face = outer.adjusted(1, 1, -1, -1);

    // Dark seat the button sits in.
    p.setPen(QPen(QColor(10, 11, 13), 1));
    p.setBrush(QColor(16, 17, 20));
    p.drawRoundedRect(outer, radius, radius);

    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    if (pressed) {
        fill.setColorAt(0.0, QColor(24, 26, 30));
        fill.setColorAt(1.0, QColor(46, 50, 57));
    } else {
        fill.setColorAt(0.0, QColor(96, 102, 113));
        fill.setColorAt(0.5, QColor(68, 73, 82));
        fill.setColorAt(1.0, QColor(50, 54, 61));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(face, radius - 1, radius - 1);

    p.save();
    QPainterPath clip;
    clip.addRoundedRect(face, radius - 1, radius - 1);
    p.setClipPath(clip);
    p.setBrush(Qt::NoBrush);
    if (pressed) {
        for (int i = 0; i < 4; ++i) {  // pushed in: shadow under the upper edge
            p.setPen(QPen(QColor(0, 0, 0, 110 - i * 25), 1));
            p.drawRoundedRect(face.adjusted(0.5 + i, 0.5 + i, 4 - i, 4 - i), radius - 1, radius - 1);
        }
    } else {
        p.setPen(QPen(QColor(255, 255, 255, 60), 1));  // light on the upper edge
        p.drawLine(QPointF(face.left() + radius, face.top() + 0.5), QPointF(face.right() - radius, face.top() + 0.5));
    }
    if (pressed && b.icon != Icon::Led) {
        // Lit from behind.
        QRadialGradient light(face.center(), face.width() * 0.55);
        light.setColorAt(0.0, QColor(kLit.red(), kLit.green(), kLit.blue(), 46));
        light.setColorAt(1.0, QColor(kLit.red(), kLit.green(), kLit.blue(), 0));
        p.setPen(Qt::NoPen);
        p.setBrush(light);
        p.drawRect(face);
    }
    p.restore();

    const QPointF shift = pressed ? QPointF(0, 1) : QPointF(0, 0);
    const QColor ink = pressed ? kLit : kLabel;
    if (small) {
        DrawIcon(p, b.icon, face.translated(shift), ink, pressed);
        return;
    }

    // Icon and label, centred together; shadowed text when up, glowing when lit.
    const QFont font = b.icon == Icon::Snooze ? UiFont(22, true, 7) : UiFont(15);
    const QFontMetricsF metrics(font);
    const qreal iconWidth = 30;
    const qreal textWidth = metrics.horizontalAdvance(b.label);
    const qreal left = face.center().x() - (iconWidth + 10 + textWidth) / 2;
    const QRectF iconBox(left, face.top(), iconWidth, face.height());
    const QRectF textBox(left + iconWidth + 10, face.top(), textWidth + 8, face.height());

    DrawIcon(p, b.icon, iconBox.translated(shift), b.icon == Icon::Led ? ink : ink, pressed);
    p.setFont(font);
    if (pressed) {
        p.setPen(QColor(kLit.red(), kLit.green(), kLit.blue(), 60));
        for (QPointF d : {QPointF(-1, 0), QPointF(1, 0), QPointF(0, -1), QPointF(0, 1)})
            p.drawText(textBox.translated(shift + d), Qt::AlignLeft | Qt::AlignVCenter, b.label);
    } else {
        p.setPen(QColor(12, 13, 15, 200));
        p.drawText(textBox.translated(0, 1), Qt::AlignLeft | Qt::AlignVCenter, b.label);
    }
    p.setPen(ink);
    p.drawText(textBox.translated(shift), Qt::AlignLeft | Qt::AlignVCenter, b.label);
}

QImage DrawFace(bool pressed) {
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    DrawBody(p);
    DrawDisplays(p);
    for (const Button& b : kButtons) DrawButton(p, b, pressed);
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

bool SaveJpeg(const QImage& image, const QString& path) {
    QImageWriter writer(path, "jpeg");
    writer.setQuality(94);
    writer.setOptimizedWrite(true);
    if (writer.write(image)) return true;
    std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
    return false;
}

bool SaveMask(const QString& path) {
    QImage mask(kWidth, kHeight, QImage::Format_Mono);
    mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mask.fill(0);
    if (mask.save(path, "BMP")) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

class SilentPrompts : public tolvenmark::Prompts {
public:
    void Error(const std::string& t) override { std::fprintf(stderr, "Error: %s\n", t.c_str()); }
    void Warning(const std::string& t) override { std::fprintf(stderr, "Warning: %s\n", t.c_str()); }
    void Information(const std::string& t) override { std::fprintf(stderr, "Information: %s\n", t.c_str()); }
    bool Confirm(const std::string&) override { return true; }
    tolvenmark::ConfirmAnswer ConfirmAll(const std::string&) override { return tolvenmark::ConfirmAnswer::Yes; }
    void PlainBox(const std::string&) override {}
};

void SavePreviews(const std::string& outDir, const std::string& prefix) {
    SilentPrompts prompts;
    tolvenmark::Skin skin = tolvenmark::BuildSkinFromFile(outDir + "/Skin.ini", tolvenmark::Skin{}, prompts);
    tolvenmark::PrepareForPainting(skin);
    for (bool down : {false, true}) {
        for (auto& area : skin.HotAreas) area.Pressed = down;
        QImage face(skin.MaskImage.size(), QImage::Format_RGB32);
        tolvenmark::ComposeFace(skin, -1, face);
        const QString path = QString::fromStdString(prefix + (down ? "-down.png" : "-up.png"));
        face.save(path, "PNG");
        std::printf("preview %s\n", qPrintable(path));
    }
    // As a running clock shows it: longest usual texts, the alarm switched on.
    const std::pair<const char*, const char*> texts[] = {
        {"TIME", "12:45"}, {"SECONDS", "37"}, {"AM_PM", "PM"}, {"DATE", "September 30, 2026"},
        {"AL_HEADER", "Wake up for the early train"}, {"AL_DATE", "12/31/2026 at 12:32:00 PM"}};
    for (auto& area : skin.HotAreas) {
        area.Pressed = false;
        area.State = area.ID == "AL_OFFON";
    }
    for (auto& item : skin.DisplayItems)
        for (const auto& [id, text] : texts)
            if (item.ID == id) item.Text = text;
    QImage face(skin.MaskImage.size(), QImage::Format_RGB32);
    tolvenmark::ComposeFace(skin, -1, face);
    face.save(QString::fromStdString(prefix + "-live.png"), "PNG");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR [PREVIEW_PREFIX]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString dir = QString::fromLocal8Bit(argv[1]);

    const bool ok = SaveJpeg(DrawFace(false), dir + QStringLiteral("/ACMain.jpg")) &&
                    SaveJpeg(DrawFace(true), dir + QStringLiteral("/ACSel.jpg")) &&
                    SaveMask(dir + QStringLiteral("/ACMask.bmp"));
    if (!ok) return 1;
    if (argc > 2) {
        try {
            SavePreviews(argv[1], argv[2]);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "preview: %s\n", error.what());
            return 1;
        }
    }
    return 0;
}
