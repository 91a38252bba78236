#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QByteArray>
#include <QImage>

namespace tolvenmark {

struct HotAreaInfoRec {
    std::string ID;
    std::int32_t X = 0;
    std::int32_t Y = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    bool HasState = false;
    bool State = false;
    bool Hover = false;
    std::string Group;
    std::string Hint;
    bool Pressed = false;
};

// What the original kept in a font object: enough to draw the item's text.
struct DisplayFont {
    std::string Name;
    bool Bold = false;
    bool Italic = false;
    std::int32_t Size = 0;        // points
    std::uint32_t Color = 0;      // 0x00BBGGRR: lowest byte is red
    std::uint8_t Charset = 1;
};

struct DisplayInfoRec {
    std::string ID;
    std::int32_t X = 0;
    std::int32_t Y = 0;
    DisplayFont Font;
    std::string Style;
    std::string Text;
    std::string Hint;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    // Font text cut with an ellipsis to Width; the window showing the skin
    // sets it, never the skin file.
    bool Elide = false;
};

struct TrackBarInfoRec {
    std::string ID;
    QImage ThumbBitmap;
    QImage ThumbDownBitmap;
    std::int32_t X = 0;
    std::int32_t Y = 0;
    std::int32_t Length = 0;
    bool Horizontal = true;
    std::uint8_t Position = 0;  // percent
    std::int32_t Offset = 0;    // pixels along the track
    std::int32_t ThumbWidth = 0;
    std::int32_t ThumbHeight = 0;
    std::string Hint;
    std::uint8_t MinPosition = 0;
    std::uint8_t MaxPosition = 100;
};

inline constexpr int kMinSkinVersion = 217;

// A loaded skin: everything the skinned window reads and draws. A load builds
// a new one from a copy of the previous (images a skin does not name keep
// their content) and it replaces the old one only when the load succeeded.
struct Skin {
    std::int32_t SkinVersion = kMinSkinVersion;
    bool DistinctHover = false;
    std::uint8_t Charset = 1;

    QImage MaskImage;
    QImage UpImage;
    QImage OnImage;
    QImage DownImage;
    QImage NumbersImage;
    QImage TextImage;

    // The down face's bytes when it is a JPEG. Between uses the window may
    // hold these instead of its pixels (DownParked), and the hover face's too
    // when it is the same picture (OnParked); see ParkDownFace.
    QByteArray DownJpeg;
    bool DownParked = false;
    bool OnParked = false;
    // The up face likewise (UpJpeg, UpParked), but a tick still composes
    // texts on it: while parked it keeps the pieces under the display items'
    // texts, each with its place as the image's offset; see ParkUpFace.
    QByteArray UpJpeg;
    bool UpParked = false;
    std::vector<QImage> UpPieces;

    std::vector<HotAreaInfoRec> HotAreas;
    std::vector<DisplayInfoRec> DisplayItems;
    std::vector<TrackBarInfoRec> TrackBars;

    // Radio groups live as long as the window: a load only appends to them.
    std::vector<std::string> GroupNames;
    std::vector<std::string> GroupSelection;  // index of the selected area as text, "-1" for none
};

}  // namespace tolvenmark
