#include "platform/gdi/FontEngine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include FT_ADVANCES_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <list>
#include <map>
#include <mutex>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace {

std::string Lower(std::string_view s)
{
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return r;
}

// The platform's usual face names, mapped to installed faces with the same
// (or, where none exists, the closest) advance widths. Tahoma and the MS
// dialog faces are about as wide as Arial, so Liberation Sans keeps captions
// the length layouts were made for; Verdana is the wide one, and DejaVu Sans
// shares its proportions.
constexpr std::pair<std::string_view, std::string_view> kFaceMap[] = {
    {"arial", "Liberation Sans"},
    {"helvetica", "Liberation Sans"},
    {"times new roman", "Liberation Serif"},
    {"times", "Liberation Serif"},
    {"courier new", "Liberation Mono"},
    {"courier", "Liberation Mono"},
    {"tahoma", "Liberation Sans"},
    {"ms sans serif", "Liberation Sans"},
    {"microsoft sans serif", "Liberation Sans"},
    {"ms shell dlg", "Liberation Sans"},
    {"ms shell dlg 2", "Liberation Sans"},
    {"segoe ui", "Liberation Sans"},
    {"system", "Liberation Sans"},
    {"verdana", "DejaVu Sans"},
    {"terminal", "Liberation Mono"},
    {"fixedsys", "Liberation Mono"},
    {"", "Liberation Sans"},
};
constexpr std::string_view kFallbackFamily = "Liberation Sans";
// Characters a face lacks are taken from this one, which covers far more
// scripts, instead of drawing the missing-glyph box.
constexpr std::string_view kCoverageFamily = "DejaVu Sans";

std::mutex gLibraryMutex;  // FreeType library, fontconfig, the caches below
FT_Library gLibrary = nullptr;
bool gFontconfigReady = false;

FT_Library Library()
{
    if (!gLibrary && FT_Init_FreeType(&gLibrary) != 0)
        gLibrary = nullptr;
    return gLibrary;
}

struct TFaceFile {
    std::string Path;
    int Index = 0;
    std::string Family;
    bool Bold = false;
    bool Italic = false;
};

// Asks fontconfig for a family. Returns false when fontconfig substitutes a
// different family, so that the caller can take the fixed fallback instead
// of whatever the system's default happens to be.
bool FcLookup(const std::string& family, bool bold, bool italic, bool acceptAny, TFaceFile& out)
{
    if (!gFontconfigReady) {
        if (!FcInit())
            return false;
        gFontconfigReady = true;
        // Fontconfig keeps its configuration until told otherwise; releasing
        // it at exit keeps leak checkers quiet about memory we never lose.
        std::atexit(FcFini);
    }
    FcPattern* pat = FcPatternCreate();
    if (!pat)
        return false;
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    FcPatternDestroy(pat);
    if (!match)
        return false;
    bool ok = false;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
        bool sameFamily = acceptAny;
        FcChar8* fam = nullptr;
        std::string firstFamily;
        for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &fam) == FcResultMatch; ++i) {
            if (i == 0)
                firstFamily = reinterpret_cast<const char*>(fam);
            if (Lower(reinterpret_cast<const char*>(fam)) == Lower(family))
                sameFamily = true;
        }
        if (sameFamily) {
            out.Path = reinterpret_cast<const char*>(file);
            int index = 0;
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            out.Index = index;
            out.Family = firstFamily;
            int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
            FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
            FcPatternGetInteger(match, FC_SLANT, 0, &slant);
            out.Bold = weight >= FC_WEIGHT_DEMIBOLD;
            out.Italic = slant != FC_SLANT_ROMAN;
            ok = true;
        }
    }
    FcPatternDestroy(match);
    return ok;
}

std::string MappedFamily(std::string_view faceName)
{
    // Face names are often padded or carry a charset suffix in old code.
    std::string_view name = faceName;
    while (!name.empty() && (name.front() == ' ' || name.front() == '\t'))
        name.remove_prefix(1);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
        name.remove_suffix(1);
    const std::string key = Lower(name);
    for (const auto& [from, to] : kFaceMap)
        if (key == from)
            return std::string(to);
    return std::string(name);
}

// Resolutions are cached: fontconfig matching costs far more than a map lookup.
std::map<std::tuple<std::string, bool, bool>, TFaceFile> gResolved;

bool ResolveFile(std::string_view faceName, bool bold, bool italic, TFaceFile& out)
{
    const std::string family = MappedFamily(faceName);
    auto key = std::make_tuple(Lower(family), bold, italic);
    if (auto it = gResolved.find(key); it != gResolved.end()) {
        out = it->second;
        return true;
    }
    bool ok = FcLookup(family, bold, italic, false, out);
    if (!ok)
        ok = FcLookup(std::string(kFallbackFamily), bold, italic, false, out);
    if (!ok)
        ok = FcLookup("sans-serif", bold, italic, true, out);
    if (ok)
        gResolved.emplace(std::move(key), out);
    return ok;
}

// Font files are read once and shared by every size made from them.
std::map<std::string, std::weak_ptr<std::vector<FT_Byte>>> gFileData;

std::shared_ptr<std::vector<FT_Byte>> FileData(const std::string& path)
{
    if (auto it = gFileData.find(path); it != gFileData.end())
        if (auto data = it->second.lock())
            return data;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return nullptr;
    auto data = std::make_shared<std::vector<FT_Byte>>(std::istreambuf_iterator<char>(in),
                                                       std::istreambuf_iterator<char>());
    if (data->empty())
        return nullptr;
    gFileData[path] = data;
    return data;
}

int RoundDiv(long long num, long long den)
{
    if (den <= 0)
        return 0;
    return static_cast<int>(num >= 0 ? (num + den / 2) / den : -((-num + den / 2) / den));
}

struct TFaceKey {
    std::string Path;
    int Index;
    int Height;
    int Width;
    int Escapement;
    bool SynthBold;
    bool SynthItalic;
    int Weight;
    bool Italic;
    bool Antialias;
    auto Tie() const
    {
        return std::tie(Path, Index, Height, Width, Escapement, SynthBold, SynthItalic, Weight, Italic, Antialias);
    }
    bool operator<(const TFaceKey& o) const { return Tie() < o.Tie(); }
};

class TFreeTypeFace final : public TFontFace {
public:
    TFreeTypeFace(const TFaceKey& key, std::shared_ptr<std::vector<FT_Byte>> data, FT_Face face, std::string family)
        : FKey(key), FData(std::move(data)), FFace(face), FFamily(std::move(family))
    {
        Setup();
    }
    ~TFreeTypeFace() override
    {
        std::lock_guard lock(gLibraryMutex);
        FT_Done_Face(FFace);
    }
    const TFontMetrics& Metrics() const override { return FMetrics; }
    const std::string& FamilyName() const override { return FFamily; }
    const std::string& FilePath() const override { return FKey.Path; }
    int Escapement() const override { return FKey.Escapement; }

    void Glyphs(const char32_t* text, std::size_t count, const TGlyph** out) override
    {
        std::lock_guard lock(FMutex);
        for (std::size_t i = 0; i < count; ++i)
            out[i] = &Lookup(text[i]);
    }

    int Advance(char32_t ch) override
    {
        std::lock_guard lock(FMutex);
        return Lookup(ch).Advance;
    }

    bool HasChar(char32_t ch) override
    {
        std::lock_guard lock(FMutex);
        return FT_Get_Char_Index(FFace, ch) != 0;
    }

private:
    struct TStoredGlyph {
        TGlyph Glyph;
        std::vector<std::uint8_t> Mask;
    };

    void Setup();
    const TGlyph& Lookup(char32_t ch)
    {
        if (ch < FAscii.size() && FAscii[ch])
            return *FAscii[ch];
        auto it = FCache.find(ch);
        if (it == FCache.end())
            it = FCache.emplace(ch, Render(ch)).first;
        it->second.Glyph.Coverage = it->second.Mask.empty() ? nullptr : it->second.Mask.data();
        if (ch < FAscii.size())
            FAscii[ch] = &it->second.Glyph;
        return it->second.Glyph;
    }
    TStoredGlyph Render(char32_t ch);

    TFaceKey FKey;
    std::shared_ptr<std::vector<FT_Byte>> FData;
    FT_Face FFace;
    std::string FFamily;
    TFontMetrics FMetrics;
    std::shared_ptr<TFontFace> FCoverage;  // made on the first missing character
    bool FCoverageTried = false;
    std::mutex FMutex;
    std::unordered_map<char32_t, TStoredGlyph> FCache;
    std::array<const TGlyph*, 128> FAscii{};
    FT_Matrix FMatrix{0x10000, 0, 0, 0x10000};
    bool FTransform = false;
    FT_Pos FEmbolden = 0;
    double FCos = 1, FSin = 0;
};

void TFreeTypeFace::Setup()
{
    const int upem = FFace->units_per_EM > 0 ? FFace->units_per_EM : 2048;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(FFace, FT_SFNT_OS2));
    auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(FFace, FT_SFNT_HHEA));
    auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(FFace, FT_SFNT_POST));
    int winAscent = 0, winDescent = 0;
    if (os2 && os2->version != 0xFFFF) {
        winAscent = os2->usWinAscent;
        winDescent = os2->usWinDescent;
    }
    if (winAscent + winDescent <= 0) {
        winAscent = std::max<int>(FFace->ascender, 1);
        winDescent = std::max<int>(-FFace->descender, 0);
    }
    const int cell = winAscent + winDescent;
    const int ppem = PixelsPerEmForHeight(FKey.Height, upem, cell);

    TFontMetrics& m = FMetrics;
    m.EmSize = ppem;
    if (FKey.Height > 0) {
        m.Height = std::min(FKey.Height, RoundDiv(static_cast<long long>(MaxFontEmPixels) * cell, upem));
        m.Ascent = RoundDiv(static_cast<long long>(winAscent) * m.Height, cell);
        m.Descent = m.Height - m.Ascent;
    } else {
        m.Ascent = RoundDiv(static_cast<long long>(winAscent) * ppem, upem);
        m.Descent = RoundDiv(static_cast<long long>(winDescent) * ppem, upem);
        m.Height = m.Ascent + m.Descent;
    }
    m.InternalLeading = std::max(0, m.Height - ppem);
    if (hhea) {
        const int hheaSpan = hhea->Ascender - hhea->Descender + hhea->Line_Gap;
        m.ExternalLeading = std::max(0, RoundDiv(static_cast<long long>(hheaSpan - cell) * ppem, upem));
    }
    m.Weight = FKey.Weight <= 0 ? 400 : FKey.Weight;
    m.Italic = FKey.Italic;
    m.FixedPitch = FT_IS_FIXED_WIDTH(FFace);

    // Average width as the platform computes it for its own fonts: lower-case
    // letters and the space weighted by their frequency in English text. The
    // OS/2 field of newer fonts averages every glyph, which makes Arial's
    // metric twins a third wider than Arial here.
    static constexpr int kWeights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6, 35, 20,
                                         56, 56, 17, 4, 49, 56, 71, 31, 10, 18, 3, 18, 2, 166};
    long long weighted = 0;
    bool complete = true;
    for (int i = 0; i < 27 && complete; ++i) {
        const FT_ULong ch = i < 26 ? static_cast<FT_ULong>('a' + i) : ' ';
        const FT_UInt gi = FT_Get_Char_Index(FFace, ch);
        FT_Fixed adv = 0;
        if (gi == 0 || FT_Get_Advance(FFace, gi, FT_LOAD_NO_SCALE, &adv) != 0)
            complete = false;
        weighted += static_cast<long long>(adv) * kWeights[i];
    }
    int aveUnits = complete ? RoundDiv(weighted, 1000) : (os2 && os2->version != 0xFFFF ? os2->xAvgCharWidth : upem / 2);
    int naturalAve = std::max(1, RoundDiv(static_cast<long long>(aveUnits) * ppem, upem));

    int xppem = ppem;
    if (FKey.Width > 0) {
        xppem = std::clamp(RoundDiv(static_cast<long long>(ppem) * FKey.Width, naturalAve), 1, MaxFontEmPixels);
        m.AveCharWidth = FKey.Width;
    } else {
        m.AveCharWidth = naturalAve;
    }
    const int maxAdvance = hhea ? hhea->advance_Width_Max : FFace->max_advance_width;
    m.MaxCharWidth = std::max(1, RoundDiv(static_cast<long long>(maxAdvance) * xppem, upem));
    if (FKey.SynthBold) {
        m.AveCharWidth += 1;
        m.MaxCharWidth += 1;
    }

    int ulPos = post ? post->underlinePosition : -upem / 10;
    int ulThick = post ? post->underlineThickness : upem / 20;
    m.UnderlineThickness = std::max(1, RoundDiv(static_cast<long long>(ulThick) * ppem, upem));
    // The post table gives the line's centre; rows are counted from its top.
    m.UnderlineOffset = std::max(1, RoundDiv(static_cast<long long>(-ulPos) * ppem, upem) - m.UnderlineThickness / 2);
    if (m.UnderlineOffset + m.UnderlineThickness > m.Descent && m.Descent > m.UnderlineThickness)
        m.UnderlineOffset = m.Descent - m.UnderlineThickness;
    int soPos = (os2 && os2->version != 0xFFFF && os2->yStrikeoutPosition > 0) ? os2->yStrikeoutPosition : upem * 26 / 100;
    int soSize = (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) ? os2->yStrikeoutSize : ulThick;
    m.StrikeoutThickness = std::max(1, RoundDiv(static_cast<long long>(soSize) * ppem, upem));
    m.StrikeoutOffset = std::max(1, RoundDiv(static_cast<long long>(soPos) * ppem, upem));

    FT_Set_Pixel_Sizes(FFace, static_cast<FT_UInt>(xppem), static_cast<FT_UInt>(ppem));

    if (FKey.SynthBold)
        FEmbolden = std::max<FT_Pos>(32, static_cast<FT_Pos>(ppem) * 64 / 24);
    double xx = 1, xy = 0, yx = 0, yy = 1;
    if (FKey.SynthItalic) {
        xy = 0.2;  // the usual oblique slant of about 11 degrees
        FTransform = true;
    }
    if (FKey.Escapement % 3600 != 0) {
        const double angle = FKey.Escapement * 3.14159265358979323846 / 1800.0;
        FCos = std::cos(angle);
        FSin = std::sin(angle);
        // rotation (counter-clockwise, y up) applied after the slant
        const double rxx = FCos * xx - FSin * yx, rxy = FCos * xy - FSin * yy;
        const double ryx = FSin * xx + FCos * yx, ryy = FSin * xy + FCos * yy;
        xx = rxx; xy = rxy; yx = ryx; yy = ryy;
        FTransform = true;
    }
    FMatrix.xx = static_cast<FT_Fixed>(std::lround(xx * 65536));
    FMatrix.xy = static_cast<FT_Fixed>(std::lround(xy * 65536));
    FMatrix.yx = static_cast<FT_Fixed>(std::lround(yx * 65536));
    FMatrix.yy = static_cast<FT_Fixed>(std::lround(yy * 65536));
}

TFreeTypeFace::TStoredGlyph TFreeTypeFace::Render(char32_t ch)
{
    TStoredGlyph stored;
    TGlyph& g = stored.Glyph;
    FT_UInt index = FT_Get_Char_Index(FFace, ch);
    if (index == 0 && ch >= 0x20 && FFamily != kCoverageFamily) {
        // The coverage face never falls back itself, so locks nest one deep.
        if (!FCoverageTried) {
            FCoverageTried = true;
            TFontRequest r;
            r.Face = std::string(kCoverageFamily);
            r.Height = -FMetrics.EmSize;
            r.Escapement = FKey.Escapement;
            r.Weight = FKey.Weight;
            r.Italic = FKey.Italic;
            r.Antialias = FKey.Antialias;
            FCoverage = RealizeFont(r);
            if (FCoverage && FCoverage->FamilyName() != kCoverageFamily)
                FCoverage.reset();
        }
        if (FCoverage) {
            const TGlyph* other = nullptr;
            FCoverage->Glyphs(&ch, 1, &other);
            if (other && (other->Width > 0 || other->Advance > 0) && FCoverage->HasChar(ch)) {
                g = *other;
                if (other->Coverage)
                    stored.Mask.assign(other->Coverage, other->Coverage + static_cast<std::size_t>(other->Width) * other->Height);
                g.Coverage = nullptr;
                return stored;
            }
        }
    }
    const FT_Int32 target = FKey.Antialias ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO;
    if (FT_Load_Glyph(FFace, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP | target) != 0 &&
        (index == 0 || FT_Load_Glyph(FFace, 0, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP | target) != 0))
        return stored;  // an unusable glyph draws nothing and takes no room
    FT_GlyphSlot slot = FFace->glyph;
    FT_Pos advance = slot->advance.x;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        if (FEmbolden) {
            FT_Outline_Embolden(&slot->outline, FEmbolden);
            advance += std::max<FT_Pos>(64, (FEmbolden + 32) & ~63);
        }
        if (FTransform)
            FT_Outline_Transform(&slot->outline, &FMatrix);
    }
    g.Advance = static_cast<int>((advance + 32) >> 6);
    if (FKey.Escapement % 3600 != 0) {
        // The pen follows the rotated baseline; y grows downward on screen.
        g.AdvanceX = static_cast<int>(std::lround(g.Advance * 64 * FCos));
        g.AdvanceY = static_cast<int>(std::lround(-g.Advance * 64 * FSin));
    } else {
        g.AdvanceX = g.Advance * 64;
    }
    if (FT_Render_Glyph(slot, FKey.Antialias ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0)
        return stored;
    const FT_Bitmap& bm = slot->bitmap;
    g.Left = slot->bitmap_left;
    g.Top = slot->bitmap_top;
    g.Width = static_cast<int>(bm.width);
    g.Height = static_cast<int>(bm.rows);
    if (g.Width <= 0 || g.Height <= 0 || !bm.buffer) {
        g.Width = g.Height = 0;
        return stored;
    }
    stored.Mask.resize(static_cast<std::size_t>(g.Width) * g.Height);
    for (int y = 0; y < g.Height; ++y) {
        const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
        std::uint8_t* dst = stored.Mask.data() + static_cast<std::size_t>(y) * g.Width;
        if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
            for (int x = 0; x < g.Width; ++x)
                dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        } else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY && bm.num_grays == 256) {
            std::memcpy(dst, src, static_cast<std::size_t>(g.Width));
        } else {
            const int grays = std::max<int>(2, bm.num_grays);
            for (int x = 0; x < g.Width; ++x)
                dst[x] = static_cast<std::uint8_t>(std::min(255, src[x] * 255 / (grays - 1)));
        }
    }
    return stored;
}

// Realized fonts stay alive while used; the most recent ones are also kept
// after their last handle goes, since controls recreate the same fonts often.
std::map<TFaceKey, std::weak_ptr<TFontFace>> gFaces;
std::list<std::shared_ptr<TFontFace>> gRecent;
constexpr std::size_t kRecentFaces = 48;

std::shared_ptr<TFontFace> Realize(const TFontRequest& request, const TFaceFile& file)
{
    TFaceKey key{file.Path, file.Index, request.Height, std::max(0, request.Width),
                 ((request.Escapement % 3600) + 3600) % 3600,
                 request.Weight >= 600 && !file.Bold, request.Italic && !file.Italic,
                 request.Weight <= 0 ? 400 : request.Weight, request.Italic, request.Antialias};
    if (auto it = gFaces.find(key); it != gFaces.end())
        if (auto face = it->second.lock()) {
            auto pos = std::find(gRecent.begin(), gRecent.end(), face);
            if (pos != gRecent.end())
                gRecent.splice(gRecent.begin(), gRecent, pos);
            else
                gRecent.push_front(face);
            return face;
        }
    FT_Library lib = Library();
    if (!lib)
        return nullptr;
    auto data = FileData(file.Path);
    if (!data)
        return nullptr;
    FT_Face ftFace = nullptr;
    if (FT_New_Memory_Face(lib, data->data(), static_cast<FT_Long>(data->size()), file.Index, &ftFace) != 0)
        return nullptr;
    if (!FT_IS_SCALABLE(ftFace)) {
        FT_Done_Face(ftFace);
        return nullptr;
    }
    FT_Select_Charmap(ftFace, FT_ENCODING_UNICODE);
    std::shared_ptr<TFontFace> face;
    try {
        face = std::make_shared<TFreeTypeFace>(key, std::move(data), ftFace, file.Family);
    } catch (...) {
        FT_Done_Face(ftFace);
        throw;
    }
    for (auto it = gFaces.begin(); it != gFaces.end();)
        it = it->second.expired() ? gFaces.erase(it) : std::next(it);
    gFaces[key] = face;
    gRecent.push_front(face);
    return face;
}

}  // namespace

int PixelsPerEmForHeight(int height, int unitsPerEm, int cellUnits)
{
    if (unitsPerEm <= 0 || cellUnits <= 0)
        return DefaultFontEmPixels;
    long long ppem;
    if (height < 0)
        ppem = -static_cast<long long>(height);
    else if (height > 0)
        ppem = RoundDiv(static_cast<long long>(height) * unitsPerEm, cellUnits);
    else
        ppem = DefaultFontEmPixels;
    return static_cast<int>(std::clamp<long long>(ppem, 1, MaxFontEmPixels));
}

std::string ResolveFontFamily(std::string_view faceName)
{
    std::lock_guard lock(gLibraryMutex);
    TFaceFile file;
    if (!ResolveFile(faceName, false, false, file))
        return {};
    return file.Family;
}

std::shared_ptr<TFontFace> RealizeFont(const TFontRequest& request)
{
    const bool bold = request.Weight >= 600;
    std::shared_ptr<TFontFace> face;
    // A face pushed out of the recent list may die with it; its destructor
    // takes the library lock, so it is released after the lock is left.
    std::shared_ptr<TFontFace> dropped;
    {
        std::lock_guard lock(gLibraryMutex);
        TFaceFile file;
        if (!ResolveFile(request.Face, bold, request.Italic, file))
            return nullptr;
        face = Realize(request, file);
        if (!face && file.Family != kFallbackFamily && ResolveFile(kFallbackFamily, bold, request.Italic, file))
            face = Realize(request, file);
        if (gRecent.size() > kRecentFaces) {
            dropped = std::move(gRecent.back());
            gRecent.pop_back();
        }
    }
    return face;
}

std::u32string Utf8ToCodePoints(std::string_view s)
{
    std::u32string out;
    out.reserve(s.size());
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned c = p[i];
        if (c < 0x80) {
            out.push_back(c);
            ++i;
            continue;
        }
        int len = 0;
        char32_t cp = 0, min = 0;
        if ((c & 0xE0) == 0xC0) { len = 2; cp = c & 0x1F; min = 0x80; }
        else if ((c & 0xF0) == 0xE0) { len = 3; cp = c & 0x0F; min = 0x800; }
        else if ((c & 0xF8) == 0xF0) { len = 4; cp = c & 0x07; min = 0x10000; }
        bool ok = len > 0 && i + len <= n;
        for (int k = 1; ok && k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)))
            ok = false;
        if (ok) {
            out.push_back(cp);
            i += len;
        } else {
            out.push_back(0xFFFD);
            ++i;
        }
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}
