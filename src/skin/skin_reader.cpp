#include "skin/skin_reader.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include <sys/stat.h>

#include <QByteArray>
#include <QFile>

#include "platform/conversion_error.h"
#include "platform/date_time_text.h"
#include "platform/folders.h"
#include "skin/skin_fields.h"
#include "skin/skin_limits.h"
#include "skin/skin_location.h"
#include "skin/skin_line.h"
#include "skin/skin_picture.h"

namespace tolvenmark {

namespace {

constexpr char kOlderVersionNotice[] =
    "The Skin File is an older version.\rPlease use Rira Zizivoz to update it.";

constexpr char kDefaultHotAreaLine[] = "NOT_DEFINED, 0, 0, 0, 0, Hint";
constexpr char kDefaultDisplayLine[] = "NOT_DEFINED, Arial, FALSE, FALSE, 0, $000000, 0, 0";
constexpr char kDefaultTrackBarLine[] = "NOT_DEFINED, NOT_DEFINED, NOT_DEFINED, 0, 0, 0, H";

// A file's identity, whatever name reaches it ("./a.jpg", ".//a.jpg", a
// link); the name itself when the file is not there (its load will say so).
std::string FileIdentity(const std::string& path) {
    struct stat st {};
    if (::stat(FindFileIgnoringCase(path).c_str(), &st) != 0) return "name:" + path;
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

// Where the images of a skin come from: a folder, or the program's resources.
class ImageSource {
public:
    ImageSource(bool fromResources, std::string imageDir, std::string shownName)
        : fromResources_(fromResources), imageDir_(std::move(imageDir)), budget_(std::move(shownName)) {}

    bool FromResources() const { return fromResources_; }
    std::string Path(const std::string& name) const { return fromResources_ ? name : SkinImagePath(imageDir_, name); }

    // jpeg, when given, follows the image: the file's bytes when it was a
    // JPEG, empty when it was another kind, as it was when nothing loaded.
    void Load(const std::string& name, QImage& image, QByteArray* jpeg = nullptr) {
        // A file named for several faces is decoded once; they share its pixels.
        const std::string identity = fromResources_ ? name : FileIdentity(name);
        for (const Decoded& seen : decoded_) {
            if (seen.identity == identity) {
                image = seen.image;
                if (jpeg) *jpeg = seen.jpeg;
                return;
            }
        }
        const qint64 before = image.cacheKey();
        QByteArray bytes;
        if (fromResources_)
            LoadResourceImage(name, image, &bytes);
        else
            LoadSkinImage(name, image, &bytes);
        // Only what was decoded, not a kept image, stands for the file.
        if (image.cacheKey() == before) return;
        budget_.Spend(image);
        if (jpeg) *jpeg = bytes;
        decoded_.push_back({identity, image, bytes});
    }

private:
    bool fromResources_;
    std::string imageDir_;  // with its trailing "/", or "" for names relative to here
    SkinPixelBudget budget_;
    struct Decoded {
        std::string identity;
        QImage image;
        QByteArray jpeg;
    };
    std::vector<Decoded> decoded_;
};

HotAreaInfoRec ReadHotAreaLine(const SkinFields& fields) {
    HotAreaInfoRec area;
    area.ID = SkinField(fields, 0);
    area.X = SkinIntField(fields, 1);
    area.Y = SkinIntField(fields, 2);
    area.Width = SkinIntField(fields, 3);
    area.Height = SkinIntField(fields, 4);
    ClampSkinSpan(area.X, area.Width);
    ClampSkinSpan(area.Y, area.Height);
    area.Hint = SkinField(fields, 5);
    if (fields.size() > 6) {
        area.HasState = true;
        area.State = fields[6] != "FALSE";
    }
    if (fields.size() == 8) area.Group = fields[7];
    return area;
}

void ReadHotAreas(Skin& skin, const ProfileSnapshot& ini, std::size_t count) {
    skin.HotAreas.assign(count, HotAreaInfoRec{});
    for (std::size_t n = 1; n <= count; ++n) {
        const std::string line = ReadSkinString(ini, "HOTAREAINFO", std::to_string(n), kDefaultHotAreaLine);
        const SkinFields fields = SplitSkinLine(line, ',');
        HotAreaInfoRec area = ReadHotAreaLine(fields);
        if (fields.size() == 8) {
            auto known = std::find(skin.GroupNames.begin(), skin.GroupNames.end(), area.Group);
            if (known == skin.GroupNames.end()) {
                skin.GroupNames.push_back(area.Group);
                skin.GroupSelection.push_back("-1");
                known = skin.GroupNames.end() - 1;
            }
            if (area.State)
                skin.GroupSelection[static_cast<std::size_t>(known - skin.GroupNames.begin())] = std::to_string(n - 1);
        }
        skin.HotAreas[n - 1] = std::move(area);
    }
}

DisplayInfoRec ReadDisplayLine(const SkinFields& fields, std::uint8_t charset) {
    DisplayInfoRec item;
    item.ID = SkinField(fields, 0);
    item.Font.Charset = charset;
    item.Font.Name = SkinField(fields, 1);
    item.Font.Bold = SkinField(fields, 2) == "TRUE";
    item.Font.Italic = SkinField(fields, 3) == "TRUE";
    item.Font.Size = SkinIntField(fields, 4);
    item.Font.Color = static_cast<std::uint32_t>(SkinIntField(fields, 5));
    item.X = ClampSkinCoordinate(SkinIntField(fields, 6));
    item.Y = ClampSkinCoordinate(SkinIntField(fields, 7));
    item.Style = OptionalSkinField(fields, 8);
    item.Text = OptionalSkinField(fields, 9);
    item.Hint = OptionalSkinField(fields, 10);
    if (fields.size() >= 13) {
        item.Width = StrToIntDef(fields[11], 10);
        item.Height = StrToIntDef(fields[12], 10);
        ClampSkinSpan(item.X, item.Width);
        ClampSkinSpan(item.Y, item.Height);
    }
    return item;
}

void ReadDisplayItems(Skin& skin, const ProfileSnapshot& ini) {
    skin.Charset = static_cast<std::uint8_t>(ReadSkinInteger(ini, "DISPLAYINFO", "Charset", 1));
    const std::size_t count = ReadSkinCount(ini, "DISPLAYINFO");
    skin.DisplayItems.assign(count, DisplayInfoRec{});
    for (std::size_t n = 1; n <= count; ++n) {
        const std::string line = ReadSkinString(ini, "DISPLAYINFO", std::to_string(n), kDefaultDisplayLine);
        skin.DisplayItems[n - 1] = ReadDisplayLine(SplitSkinLine(line, ','), skin.Charset);
    }
}

// The thumb's pixel offset for a position in percent. A track no longer than
// its thumb leaves the thumb no room to move.
std::int32_t ThumbOffset(std::int32_t length, std::int32_t thumbSize, std::uint8_t position) {
    const std::int64_t room = static_cast<std::int64_t>(length) - thumbSize;
    if (room <= 0) return 0;
    return static_cast<std::int32_t>(room * position / 100);
}

TrackBarInfoRec ReadTrackBarLine(const SkinFields& fields, ImageSource& images) {
    TrackBarInfoRec bar;
    bar.ID = SkinField(fields, 0);
    images.Load(images.Path(SkinField(fields, 1)), bar.ThumbBitmap);
    images.Load(images.Path(SkinField(fields, 2)), bar.ThumbDownBitmap);
    bar.ThumbWidth = bar.ThumbDownBitmap.width();
    bar.ThumbHeight = bar.ThumbDownBitmap.height();
    bar.X = SkinIntField(fields, 3);
    bar.Y = SkinIntField(fields, 4);
    bar.Length = SkinIntField(fields, 5);
    bar.Horizontal = SkinField(fields, 6) != "V";
    if (bar.Horizontal) {
        ClampSkinSpan(bar.X, bar.Length);
        bar.Y = ClampSkinCoordinate(bar.Y);
    } else {
        bar.X = ClampSkinCoordinate(bar.X);
        ClampSkinSpan(bar.Y, bar.Length);
    }
    bar.MinPosition = 0;
    bar.MaxPosition = 100;
    // Kept in one byte, as the position always was.
    bar.Position = fields.size() >= 8 ? static_cast<std::uint8_t>(SkinIntField(fields, 7)) : 0;
    bar.Hint = OptionalSkinField(fields, 8);
    bar.Offset = ThumbOffset(bar.Length, bar.Horizontal ? bar.ThumbWidth : bar.ThumbHeight, bar.Position);
    return bar;
}

void ReadTrackBars(Skin& skin, const ProfileSnapshot& ini, ImageSource& images) {
    const std::size_t count = ReadSkinCount(ini, "TRACKBARINFO");
    skin.TrackBars.assign(count, TrackBarInfoRec{});
    for (std::size_t n = 1; n <= count; ++n) {
        const std::string line = ReadSkinString(ini, "TRACKBARINFO", std::to_string(n), kDefaultTrackBarLine);
        skin.TrackBars[n - 1] = ReadTrackBarLine(SplitSkinLine(line, ','), images);
    }
}

// The reading steps shared by file skins and the built-in skin; skin starts
// as a copy of the previous one.
void ReadSkin(Skin& skin, const ProfileSnapshot& ini, ImageSource& images, Prompts& prompts) {
    skin.SkinVersion = ReadSkinInteger(ini, "Version", "Ver", 0);
    if (skin.SkinVersion < kMinSkinVersion) prompts.Information(kOlderVersionNotice);

    std::string mask = ReadSkinString(ini, "BITMAPINFO", "MaskBitmap", "");
    std::string up = ReadSkinString(ini, "BITMAPINFO", "MouseUpBitmap", mask);
    std::string down = ReadSkinString(ini, "BITMAPINFO", "MouseDownBitmap", up);
    std::string on = ReadSkinString(ini, "BITMAPINFO", "MouseOnBitmap", down);
    std::string numbers = ReadSkinString(ini, "BITMAPINFO", "NumbersBitmap", "");
    std::string text = ReadSkinString(ini, "BITMAPINFO", "TextBitmap", "");
    skin.DistinctHover = on != down;

    if (!images.FromResources()) {
        mask = images.Path(mask);
        up = images.Path(up);
        down = images.Path(down);
        if (!on.empty()) on = images.Path(on);
        if (!numbers.empty()) numbers = images.Path(numbers);
        if (!text.empty()) text = images.Path(text);
    }

    const std::size_t hotAreaCount = ReadSkinCount(ini, "HOTAREAINFO");

    images.Load(mask, skin.MaskImage);
    images.Load(up, skin.UpImage, &skin.UpJpeg);
    images.Load(on, skin.OnImage);
    images.Load(down, skin.DownImage, &skin.DownJpeg);
    if (!numbers.empty()) images.Load(numbers, skin.NumbersImage);
    if (!text.empty()) images.Load(text, skin.TextImage);

    ReadHotAreas(skin, ini, hotAreaCount);
    ReadDisplayItems(skin, ini);
    ReadTrackBars(skin, ini, images);
}

}  // namespace

Skin BuildSkinFromFile(const std::string& skinFile, const Skin& previous, Prompts& prompts) {
    const SkinLocation where = LocateSkin(skinFile);
    // Read as an INI file, its header would only give a misleading version notice.
    if (where.damagedPacked) throw OperationError("The packed skin " + skinFile + " is damaged and cannot be unpacked.");
    const ProfileSnapshot ini = LoadSkinIni(where.iniPath, skinFile);
    Skin skin = previous;
    ImageSource images(false, where.imageDir, skinFile);
    ReadSkin(skin, ini, images, prompts);
    CheckDisplayItems(skin, skinFile);
    return skin;
}

Skin BuildDefaultSkin(const Skin& previous, Prompts& prompts) {
    QFile resource(QStringLiteral(":/INI/SKIN"));
    if (!resource.open(QIODevice::ReadOnly)) throw OperationError("Resource SKIN not found");
    const QByteArray content = resource.readAll();

    // Read straight from memory: the fallback skin must load even where no
    // temporary file can be written.
    Skin skin = previous;
    ImageSource images(true, "", "Skin");
    ReadSkin(skin, ProfileSnapshot::FromText(content.toStdString()), images, prompts);
    return skin;
}

}  // namespace tolvenmark
