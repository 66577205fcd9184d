#include "platform/gdi/FontFamilies.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <vector>

namespace {

std::mutex gMutex;
FcFontSet* gAppFonts = nullptr;  // fonts added by the program, never rejected

// What one family (or one style of it) offers.
struct TFace {
    std::string Family;
    std::string Style;
    bool Outline = false;   // TrueType or OpenType outlines
    bool Scalable = false;  // any scalable format
    bool Mono = false;
    bool Latin1 = false;
    bool Symbol = false;
    double PixelSize = 0;  // bitmap strikes
    int Weight = FC_WEIGHT_REGULAR;
    int Slant = FC_SLANT_ROMAN;
};

TFace ReadFace(FcPattern* p)
{
    TFace f;
    FcChar8* s = nullptr;
    if (FcPatternGetString(p, FC_FAMILY, 0, &s) == FcResultMatch && s)
        f.Family = reinterpret_cast<const char*>(s);
    if (FcPatternGetString(p, FC_STYLE, 0, &s) == FcResultMatch && s)
        f.Style = reinterpret_cast<const char*>(s);
    FcBool b = FcFalse;
    if (FcPatternGetBool(p, FC_SCALABLE, 0, &b) == FcResultMatch)
        f.Scalable = b;
    if (FcPatternGetString(p, FC_FONTFORMAT, 0, &s) == FcResultMatch && s) {
        const std::string format = reinterpret_cast<const char*>(s);
        f.Outline = f.Scalable && (format == "TrueType" || format == "CFF");
    }
    int spacing = FC_PROPORTIONAL;
    if (FcPatternGetInteger(p, FC_SPACING, 0, &spacing) == FcResultMatch)
        f.Mono = spacing == FC_MONO || spacing == FC_CHARCELL;
    FcCharSet* cs = nullptr;
    if (FcPatternGetCharSet(p, FC_CHARSET, 0, &cs) == FcResultMatch && cs) {
        f.Latin1 = FcCharSetHasChar(cs, 'A') && FcCharSetHasChar(cs, 'z') && FcCharSetHasChar(cs, 0xE9);
        // Symbol fonts map their glyphs to the private area or cover no
        // letters at all.
        f.Symbol = !FcCharSetHasChar(cs, 'A') && !FcCharSetHasChar(cs, 0x430) && !FcCharSetHasChar(cs, 0x4E00);
    }
    double px = 0;
    if (FcPatternGetDouble(p, FC_PIXEL_SIZE, 0, &px) == FcResultMatch)
        f.PixelSize = px;
    FcPatternGetInteger(p, FC_WEIGHT, 0, &f.Weight);
    FcPatternGetInteger(p, FC_SLANT, 0, &f.Slant);
    return f;
}

void Collect(FcFontSet* set, const char* family, std::vector<TFace>& out)
{
    if (!set)
        return;
    for (int i = 0; i < set->nfont; ++i) {
        TFace f = ReadFace(set->fonts[i]);
        if (f.Family.empty())
            continue;
        if (family && *family &&
            FcStrCmpIgnoreCase(reinterpret_cast<const FcChar8*>(f.Family.c_str()),
                               reinterpret_cast<const FcChar8*>(family)) != 0)
            continue;
        out.push_back(std::move(f));
    }
}

std::vector<TFace> ListFaces(const char* family)
{
    std::vector<TFace> faces;
    if (!FcInit())
        return faces;
    FcPattern* pat = FcPatternCreate();
    FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_SCALABLE, FC_FONTFORMAT, FC_SPACING, FC_CHARSET,
                                       FC_PIXEL_SIZE, FC_WEIGHT, FC_SLANT, nullptr);
    FcFontSet* set = pat && os ? FcFontList(nullptr, pat, os) : nullptr;
    if (os)
        FcObjectSetDestroy(os);
    if (pat)
        FcPatternDestroy(pat);
    Collect(set, family, faces);
    if (set)
        FcFontSetDestroy(set);
    std::lock_guard lock(gMutex);
    Collect(gAppFonts, family, faces);
    return faces;
}

LOGFONT MakeLogFont(const std::string& family, bool latin1, bool symbol, bool mono)
{
    LOGFONT lf;
    std::memcpy(lf.lfFaceName, family.c_str(), family.size() + 1);
    lf.lfCharSet = latin1 ? ANSI_CHARSET : symbol ? SYMBOL_CHARSET : DEFAULT_CHARSET;
    lf.lfPitchAndFamily = mono ? FIXED_PITCH : VARIABLE_PITCH;
    lf.lfWeight = FW_NORMAL;
    return lf;
}

}  // namespace

int EnumFontFamiliesW(HDC, const char* Family, FONTENUMPROCW Proc, LPARAM Data)
{
    if (!Proc)
        return 0;
    const std::vector<TFace> faces = ListFaces(Family);
    int result = 1;
    if (!Family || !*Family) {
        // One entry per family, by name; the family's type from all its faces.
        std::map<std::string, std::vector<const TFace*>> families;
        for (const TFace& f : faces)
            families[f.Family].push_back(&f);
        for (const auto& [name, list] : families) {
            if (name.size() >= static_cast<std::size_t>(LF_FACESIZE))
                continue;
            bool outline = false, scalable = false, mono = true, latin1 = false, symbol = true;
            for (const TFace* f : list) {
                outline |= f->Outline;
                scalable |= f->Scalable;
                mono &= f->Mono;
                latin1 |= f->Latin1;
                symbol &= f->Symbol;
            }
            const LOGFONT lf = MakeLogFont(name, latin1, symbol, mono);
            TEXTMETRIC tm;
            tm.tmCharSet = lf.lfCharSet;
            const DWORD type = outline ? TRUETYPE_FONTTYPE : !scalable ? RASTER_FONTTYPE : 0;
            result = Proc(&lf, &tm, type, Data);
            if (result == 0)
                return 0;
        }
        return result;
    }
    // One family: each style, and each pixel size of a bitmap-only face.
    std::set<std::pair<std::string, long>> seen;
    for (const TFace& f : faces) {
        if (f.Family.size() >= static_cast<std::size_t>(LF_FACESIZE))
            continue;
        const long px = f.Scalable ? 0 : std::lround(f.PixelSize);
        if (!seen.insert({f.Style, px}).second)
            continue;
        LOGFONT lf = MakeLogFont(f.Family, f.Latin1, f.Symbol, f.Mono);
        lf.lfWeight = f.Weight >= FC_WEIGHT_BOLD ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = f.Slant != FC_SLANT_ROMAN;
        TEXTMETRIC tm;
        tm.tmCharSet = lf.lfCharSet;
        if (!f.Scalable) {
            // A strike's cell: the pixel size is the em height, without
            // internal leading.
            lf.lfHeight = px;
            tm.tmHeight = px;
            tm.tmInternalLeading = 0;
        }
        const DWORD type = f.Outline ? TRUETYPE_FONTTYPE : !f.Scalable ? RASTER_FONTTYPE : 0;
        result = Proc(&lf, &tm, type, Data);
        if (result == 0)
            return 0;
    }
    return result;
}

bool AddFontFolder(const std::string& Folder)
{
    if (!FcInit())
        return false;
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(Folder, ec))
        if (e.is_regular_file(ec))
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    bool any = false;
    // Outline fonts also become drawable by name.
    FcConfigAppFontAddDir(nullptr, reinterpret_cast<const FcChar8*>(Folder.c_str()));
    std::lock_guard lock(gMutex);
    if (!gAppFonts)
        gAppFonts = FcFontSetCreate();
    for (const auto& file : files) {
        int count = 0;
        FcBlanks* blanks = nullptr;
        for (int id = 0;; ++id) {
            FcPattern* p = FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(file.c_str()), id, blanks, &count);
            if (!p)
                break;
            FcFontSetAdd(gAppFonts, p);
            any = true;
            if (id + 1 >= count)
                break;
        }
    }
    return any;
}

bool FontSetChanged()
{
    static bool started = false;
    if (!started) {
        started = true;
        FcInit();
        FcInitBringUptoDate();
        return false;
    }
    // Rebuilds fontconfig's set when its folders changed; the set object
    // then differs from the one held before.
    FcFontSet* before = FcConfigGetFonts(nullptr, FcSetSystem);
    const int n = before ? before->nfont : -1;
    FcInitBringUptoDate();
    FcFontSet* after = FcConfigGetFonts(nullptr, FcSetSystem);
    return after != before || (after ? after->nfont : -1) != n;
}
