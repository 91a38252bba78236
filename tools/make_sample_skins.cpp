// Draws the two sample skins and writes their INI files:
//   OUTPUT_DIR/round: a round clock, its mask a circle;
//   OUTPUT_DIR/strip: a compact strip whose time and seconds are glyph images.
//
//   make_sample_skins OUTPUT_DIR [PREVIEW_PREFIX]
//
// With a preview prefix it loads each written skin as the clock does and
// saves PREFIX-round.png and PREFIX-strip.png with typical texts.

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>

#include <QDir>
#include <QFile>
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

using Draw = std::function<void(QPainter&)>;

QFont Font(int pixels, bool bold = true, qreal spacing = 0) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    if (spacing != 0) font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QImage Paint(QSize size, const QColor& background, const Draw& draw) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    draw(p);
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

bool Save(const QImage& image, const QString& path) {
    QImageWriter writer(path);
    if (path.endsWith(QStringLiteral(".jpg"))) writer.setQuality(95);
    if (writer.write(image)) return true;
    std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
    return false;
}

// Black inside the outline, white (the cut-away colour) outside, one bit deep:
// the window's edge follows the pixels exactly.
bool SaveMask(QSize size, const QPainterPath& outline, const QString& path) {
    QImage drawn = Paint(size, Qt::white, [&](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillPath(outline, Qt::black);
    });
    return Save(drawn.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither), path);
}

bool SaveText(const QString& path, const QString& text) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size()) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

// ---- shared parts ----

void Led(QPainter& p, QPointF c, qreal r, bool lit) {
    p.setPen(Qt::NoPen);
    if (lit) {
        QRadialGradient glow(c, r * 2.2);
        glow.setColorAt(0, QColor(90, 255, 120, 140));
        glow.setColorAt(1, QColor(90, 255, 120, 0));
        p.setBrush(glow);
        p.drawEllipse(c, r * 2.2, r * 2.2);
    }
    p.setBrush(QColor(10, 11, 13));
    p.drawEllipse(c, r + 1.5, r + 1.5);
    QRadialGradient lens(c - QPointF(r / 3, r / 3), r);
    lens.setColorAt(0, lit ? QColor(225, 255, 225) : QColor(70, 92, 74));
    lens.setColorAt(1, lit ? QColor(20, 160, 50) : QColor(18, 38, 22));
    p.setBrush(lens);
    p.drawEllipse(c, r, r);
}

// A rounded key; pressed keys sit lower and glow from behind in `light`.
void Key(QPainter& p, const QRectF& area, const QString& label, bool pressed, const QColor& light, int textPx,
         bool led = false) {
    const QRectF face = area.adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = std::min<qreal>(7, face.height() / 3);
    p.setPen(QPen(QColor(8, 9, 11), 1));
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    fill.setColorAt(0, pressed ? QColor(22, 24, 28) : QColor(98, 104, 116));
    fill.setColorAt(1, pressed ? QColor(44, 48, 55) : QColor(48, 52, 60));
    p.setBrush(fill);
    p.drawRoundedRect(face, radius, radius);
    if (pressed) {
        QRadialGradient glow(face.center(), face.width() * 0.6);
        glow.setColorAt(0, QColor(light.red(), light.green(), light.blue(), 60));
        glow.setColorAt(1, QColor(light.red(), light.green(), light.blue(), 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawRoundedRect(face, radius, radius);
    } else {
        p.setPen(QPen(QColor(255, 255, 255, 70), 1));
        p.drawLine(QPointF(face.left() + radius, face.top() + 1), QPointF(face.right() - radius, face.top() + 1));
    }
    QRectF text = face.translated(0, pressed ? 1 : 0);
    if (led) {
        Led(p, QPointF(text.left() + text.height() / 2 + 2, text.center().y()), text.height() / 5, pressed);
        text.setLeft(text.left() + text.height() * 0.7);
    }
    p.setFont(Font(textPx, true, textPx > 9 ? 1.2 : 0.4));
    p.setPen(pressed ? light : QColor(226, 230, 237));
    p.drawText(text, Qt::AlignCenter, label);
}

struct HotArea {
    const char* id;
    QRect area;
    const char* hint;
    const char* label;
    bool isSwitch;
};

QString HotAreaSection(const std::initializer_list<HotArea>& areas) {
    QString text = QStringLiteral("[HOTAREAINFO]\r\nCount=%1\r\n").arg(areas.size());
    int n = 0;
    for (const HotArea& a : areas)
        text += QStringLiteral("%1=%2, %3, %4, %5, %6, %7%8\r\n")
                    .arg(++n).arg(a.id).arg(a.area.x()).arg(a.area.y()).arg(a.area.width()).arg(a.area.height())
                    .arg(a.hint, a.isSwitch ? QStringLiteral(", FALSE") : QString());
    return text;
}

// ---- round ----

constexpr int kRound = 360;
const QPointF kCentre(180, 180);
const QColor kAmber(255, 190, 92);

const std::initializer_list<HotArea> kRoundAreas = {
    {"ABOUT", {112, 52, 24, 18}, "About Program", "i", false},
    {"PROG_SETTINGS", {140, 52, 24, 18}, "Program Settings", "\u2699", false},
    {"HELP", {168, 52, 24, 18}, "Help", "?", false},
    {"MINIMIZE", {196, 52, 24, 18}, "Minimize", "\u2013", false},
    {"EXIT", {224, 52, 24, 18}, "Exit Program", "\u00d7", false},
    {"AL_OFFON", {66, 198, 110, 32}, "Alarm On/Off", "ALARM", true},
    {"AL_SETTINGS", {184, 198, 110, 32}, "Alarm Settings", "SET", false},
    {"SNOOZE", {120, 292, 120, 26}, "Snooze", "SNOOZE", false},
};

void DrawRound(QPainter& p, bool lit) {
    // Metal rim, dark bezel with the minute marks, then the dial.
    QLinearGradient rim(0, 0, kRound, kRound);
    rim.setColorAt(0, QColor(196, 202, 212));
    rim.setColorAt(0.5, QColor(104, 110, 122));
    rim.setColorAt(1, QColor(52, 56, 64));
    p.setPen(Qt::NoPen);
    p.setBrush(rim);
    p.drawEllipse(kCentre, 179.5, 179.5);
    p.setBrush(QColor(24, 26, 30));
    p.drawEllipse(kCentre, 171, 171);
    for (int m = 0; m < 60; ++m) {
        const qreal a = m * M_PI / 30;
        const bool five = m % 5 == 0;
        const QPointF dir(std::sin(a), -std::cos(a));
        p.setPen(QPen(five ? kAmber : QColor(150, 156, 166), five ? 3 : 1.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(kCentre + dir * (five ? 158 : 162), kCentre + dir * 167);
    }
    QRadialGradient dial(kCentre - QPointF(0, 40), 170);
    dial.setColorAt(0, QColor(58, 62, 72));
    dial.setColorAt(1, QColor(20, 22, 26));
    p.setPen(QPen(QColor(8, 9, 11), 2));
    p.setBrush(dial);
    p.drawEllipse(kCentre, 154, 154);

    // Recessed glass for the time and date, and for the pending alarm.
    for (const QRectF& glass : {QRectF(44, 80, 272, 110), QRectF(70, 238, 220, 48)}) {
        p.setPen(QPen(QColor(110, 116, 128), 1));
        p.setBrush(QColor(14, 10, 8));
        p.drawRoundedRect(glass, 10, 10);
        QLinearGradient sheen(glass.topLeft(), glass.bottomLeft());
        sheen.setColorAt(0, QColor(255, 255, 255, 18));
        sheen.setColorAt(0.5, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(sheen);
        p.drawRoundedRect(glass.adjusted(2, 2, -2, -2), 9, 9);
    }
    p.setFont(Font(9, true, 3));
    p.setPen(QColor(150, 157, 168));
    p.drawText(QRectF(0, 30, kRound, 16), Qt::AlignCenter, QStringLiteral("TOLVENMARK"));

    for (const HotArea& a : kRoundAreas)
        Key(p, a.area, QString::fromUtf8(a.label), lit, kAmber, a.area.height() < 20 ? 13 : 12,
            std::string(a.id) == "AL_OFFON");
}

QString RoundIni() {
    return QStringLiteral("[VERSION]\r\nVer=217\r\n\r\n[BITMAPINFO]\r\nMaskBitmap=mask.bmp\r\nMouseUpBitmap=face.jpg\r\n"
                          "MouseDownBitmap=lit.jpg\r\nMouseOnBitmap=lit.jpg\r\n\r\n") +
           HotAreaSection(kRoundAreas) +
           QStringLiteral("\r\n[DISPLAYINFO]\r\nCount=6\r\nCharset=0\r\n"
                          "1=TIME, DejaVu Sans, TRUE, FALSE, 46, $005ABEFF, 54, 82, Normal, 00:00, , 210, 72\r\n"
                          "2=SECONDS, DejaVu Sans, TRUE, FALSE, 18, $005ABEFF, 262, 100, Normal, 00, , 40, 28\r\n"
                          "3=AM_PM, DejaVu Sans, TRUE, FALSE, 10, $0068A0D8, 266, 132, Normal, AM, , 30, 16\r\n"
                          "4=DATE, DejaVu Sans, FALSE, FALSE, 11, $0068A0D8, 92, 158, Normal, \"September 30, 2003\", , 180, 18\r\n"
                          "5=AL_HEADER, DejaVu Sans, TRUE, FALSE, 9, $005ABEFF, 80, 243, Normal, Alarm Set For:, , 200, 16\r\n"
                          "6=AL_DATE, DejaVu Sans, FALSE, FALSE, 9, $0068A0D8, 80, 262, Normal, 2/23/03 at 12:32 PM, , 200, 16\r\n"
                          "\r\n[TRACKBARINFO]\r\nCount=0\r\n");
}

bool WriteRound(const QString& dir) {
    QPainterPath circle;
    circle.addEllipse(kCentre, 180, 180);
    const QSize size(kRound, kRound);
    return QDir().mkpath(dir) && SaveMask(size, circle, dir + "/mask.bmp") &&
           Save(Paint(size, Qt::white, [](QPainter& p) { DrawRound(p, false); }), dir + "/face.jpg") &&
           Save(Paint(size, Qt::white, [](QPainter& p) { DrawRound(p, true); }), dir + "/lit.jpg") &&
           SaveText(dir + "/skin.ini", RoundIni());
}

// ---- strip ----

const QSize kStrip(640, 84);
const QColor kGlass(12, 22, 21);      // the display glass; glyph cells share it exactly
const QColor kGlow(90, 236, 206);     // lit segment
const QColor kGhost(26, 48, 45);      // unlit segment, faintly visible as on a real tube

// Segments a-g of a seven-segment digit; bit 0 is segment a.
constexpr int kDigitSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

void SevenSegments(QPainter& p, const QRectF& cell, int segments) {
    const qreal w = cell.width() * 0.62, h = cell.height() * 0.8, t = std::max<qreal>(2, w * 0.16);
    const qreal x = cell.left() + (cell.width() - w) / 2 + w * 0.06, y = cell.top() + (cell.height() - h) / 2;
    const qreal slant = w * 0.1;  // a slight italic lean
    auto at = [&](qreal fx, qreal fy) { return QPointF(x + fx * w + (1 - fy) * slant, y + fy * h); };
    const std::pair<QPointF, QPointF> bars[7] = {
        {at(0, 0), at(1, 0)}, {at(1, 0), at(1, 0.5)}, {at(1, 0.5), at(1, 1)}, {at(0, 1), at(1, 1)},
        {at(0, 0.5), at(0, 1)}, {at(0, 0), at(0, 0.5)}, {at(0, 0.5), at(1, 0.5)}};
    for (int s = 0; s < 7; ++s) {
        const bool on = (segments >> s) & 1;
        const QPointF along = bars[s].second - bars[s].first;
        const qreal length = std::hypot(along.x(), along.y());
        const QPointF gap = along / length * (t * 0.7);
        p.setPen(QPen(on ? kGlow : kGhost, t, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(bars[s].first + gap, bars[s].second - gap);
    }
}

// Number strip: "0123456789 " in one row.
QImage NumberStrip(QSize glyph) {
    return Paint(QSize(glyph.width() * 11, glyph.height()), kGlass, [&](QPainter& p) {
        for (int g = 0; g < 11; ++g)
            SevenSegments(p, QRectF(g * glyph.width(), 0, glyph.width(), glyph.height()), g < 10 ? kDigitSegments[g] : 0);
    });
}

// Text sheet: capitals and @"?* / digits and punctuation / small letters,
// 30 cells a row. Digits and the blank are segments, the rest lettering.
QImage TextSheet(QSize glyph) {
    const char* rows[3] = {"ABCDEFGHIJKLMNOPQRSTUVWXYZ@\"?*", "0123456789 .:<>-'!_+\\/[]^&%,=$",
                           "abcdefghijklmnopqrstuvwxyz"};
    return Paint(QSize(glyph.width() * 30, glyph.height() * 3), kGlass, [&](QPainter& p) {
        QFont font(QStringLiteral("DejaVu Sans Mono"));
        font.setBold(true);
        font.setPixelSize(glyph.height() * 2 / 3);
        p.setFont(font);
        for (int row = 0; row < 3; ++row)
            for (int col = 0; rows[row][col] != '\0'; ++col) {
                const QRectF cell(col * glyph.width(), row * glyph.height(), glyph.width(), glyph.height());
                const char c = rows[row][col];
                if (row == 1 && col <= 10) {
                    SevenSegments(p, cell, col < 10 ? kDigitSegments[col] : 0);
                } else if (c == ':') {
                    p.setPen(Qt::NoPen);
                    p.setBrush(kGlow);
                    const qreal r = glyph.width() * 0.09;
                    p.drawEllipse(cell.center() + QPointF(0, -cell.height() * 0.16), r, r);
                    p.drawEllipse(cell.center() + QPointF(0, cell.height() * 0.16), r, r);
                } else {
                    p.setPen(kGlow);
                    p.drawText(cell, Qt::AlignCenter, QString(QChar::fromLatin1(c)));
                }
            }
    });
}

const std::initializer_list<HotArea> kStripAreas = {
    {"ABOUT", {466, 9, 24, 17}, "About Program", "i", false},
    {"PROG_SETTINGS", {492, 9, 24, 17}, "Program Settings", "\u2699", false},
    {"HELP", {518, 9, 24, 17}, "Help", "?", false},
    {"MINIMIZE", {544, 9, 24, 17}, "Minimize", "\u2013", false},
    {"EXIT", {570, 9, 24, 17}, "Exit Program", "\u00d7", false},
    {"AL_OFFON", {466, 30, 72, 22}, "Alarm On/Off", "ALARM", true},
    {"AL_SETTINGS", {542, 30, 52, 22}, "Alarm Settings", "SET", false},
    {"SNOOZE", {466, 56, 128, 20}, "Snooze", "SNOOZE", false},
};

void DrawStrip(QPainter& p, bool lit) {
    QLinearGradient body(0, 0, 0, kStrip.height());
    body.setColorAt(0, QColor(92, 98, 110));
    body.setColorAt(0.5, QColor(52, 56, 64));
    body.setColorAt(1, QColor(30, 32, 37));
    p.setPen(QPen(QColor(8, 9, 11), 1));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(0.5, 0.5, kStrip.width() - 1, kStrip.height() - 1), 41.5, 41.5);
    // Glass for the time (flat, so the glyph cells blend in) and for date and alarm.
    for (const QRectF& glass : {QRectF(26, 10, 240, 64), QRectF(274, 10, 182, 64)}) {
        p.setPen(QPen(QColor(118, 124, 136), 1));
        p.setBrush(kGlass);
        p.drawRoundedRect(glass.adjusted(-2, -2, 2, 2), 8, 8);
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(glass, 7, 7);
    }
    for (const HotArea& a : kStripAreas)
        Key(p, a.area, QString::fromUtf8(a.label), lit, kGlow, a.area.height() < 20 ? 9 : 11,
            std::string(a.id) == "AL_OFFON");
}

QString StripIni() {
    return QStringLiteral("[VERSION]\r\nVer=217\r\n\r\n[BITMAPINFO]\r\nMaskBitmap=mask.bmp\r\nMouseUpBitmap=face.jpg\r\n"
                          "MouseDownBitmap=lit.jpg\r\nMouseOnBitmap=lit.jpg\r\nNumbersBitmap=seconds.bmp\r\n"
                          "TextBitmap=time.bmp\r\n\r\n") +
           HotAreaSection(kStripAreas) +
           QStringLiteral("\r\n[DISPLAYINFO]\r\nCount=6\r\nCharset=0\r\n"
                          "1=TIME, DejaVu Sans, FALSE, FALSE, 10, $00CEEC5A, 32, 16, Text, 00:00, , 180, 52\r\n"
                          "2=SECONDS, DejaVu Sans, FALSE, FALSE, 10, $00CEEC5A, 220, 40, Number, 00, , 36, 28\r\n"
                          "3=AM_PM, DejaVu Sans, TRUE, FALSE, 9, $00CEEC5A, 224, 16, Normal, AM, , 30, 16\r\n"
                          "4=DATE, DejaVu Sans, TRUE, FALSE, 9, $00CEEC5A, 282, 14, Normal, \"September 30, 2003\", , 166, 16\r\n"
                          "5=AL_HEADER, DejaVu Sans, FALSE, FALSE, 8, $0090B070, 282, 34, Normal, Alarm Set For:, , 166, 16\r\n"
                          "6=AL_DATE, DejaVu Sans, FALSE, FALSE, 8, $00CEEC5A, 282, 52, Normal, 2/23/03 at 12:32 PM, , 166, 16\r\n"
                          "\r\n[TRACKBARINFO]\r\nCount=0\r\n");
}

bool WriteStrip(const QString& dir) {
    QPainterPath pill;
    pill.addRoundedRect(QRectF(0, 0, kStrip.width(), kStrip.height()), 42, 42);
    return QDir().mkpath(dir) && SaveMask(kStrip, pill, dir + "/mask.bmp") &&
           Save(Paint(kStrip, Qt::white, [](QPainter& p) { DrawStrip(p, false); }), dir + "/face.jpg") &&
           Save(Paint(kStrip, Qt::white, [](QPainter& p) { DrawStrip(p, true); }), dir + "/lit.jpg") &&
           Save(TextSheet(QSize(30, 52)), dir + "/time.bmp") &&
           Save(NumberStrip(QSize(18, 28)), dir + "/seconds.bmp") &&
           SaveText(dir + "/skin.ini", StripIni());
}

// ---- preview ----

class SilentPrompts : public tolvenmark::Prompts {
public:
    void Error(const std::string& t) override { std::fprintf(stderr, "Error: %s\n", t.c_str()); }
    void Warning(const std::string& t) override { std::fprintf(stderr, "Warning: %s\n", t.c_str()); }
    void Information(const std::string& t) override { std::fprintf(stderr, "Information: %s\n", t.c_str()); }
    bool Confirm(const std::string&) override { return true; }
    tolvenmark::ConfirmAnswer ConfirmAll(const std::string&) override { return tolvenmark::ConfirmAnswer::Yes; }
    void PlainBox(const std::string&) override {}
};

void SavePreview(const std::string& skinFile, const std::string& png) {
    SilentPrompts prompts;
    tolvenmark::Skin skin = tolvenmark::BuildSkinFromFile(skinFile, tolvenmark::Skin{}, prompts);
    tolvenmark::PrepareForPainting(skin);
    const std::pair<const char*, const char*> texts[] = {
        {"TIME", "12:45 "}, {"SECONDS", "37"}, {"AM_PM", "PM"}, {"DATE", "September 30, 2026"},
        {"AL_HEADER", "Wake up for the early train"}, {"AL_DATE", "12/31/2026 at 12:32:00 PM"}};
    for (auto& area : skin.HotAreas) area.State = area.ID == "AL_OFFON";
    for (auto& item : skin.DisplayItems)
        for (const auto& [id, text] : texts)
            if (item.ID == id) item.Text = text;
    QImage face(skin.MaskImage.size(), QImage::Format_RGB32);
    tolvenmark::ComposeFace(skin, -1, face);
    face.save(QString::fromStdString(png), "PNG");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR [PREVIEW_PREFIX]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::string out = argv[1];
    if (!WriteRound(QString::fromStdString(out + "/round")) || !WriteStrip(QString::fromStdString(out + "/strip")))
        return 1;
    if (argc > 2) {
        try {
            SavePreview(out + "/round/skin.ini", std::string(argv[2]) + "-round.png");
            SavePreview(out + "/strip/skin.ini", std::string(argv[2]) + "-strip.png");
        } catch (const std::exception& error) {
            std::fprintf(stderr, "preview: %s\n", error.what());
            return 1;
        }
    }
    return 0;
}
