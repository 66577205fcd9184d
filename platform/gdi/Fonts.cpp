#include "platform/gdi/Fonts.h"

#include <algorithm>
#include <cstring>

namespace {

void SetFaceName(LOGFONT& lf, std::string_view name)
{
    std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
    std::size_t n = std::min<std::size_t>(name.size(), LF_FACESIZE - 1);
    // Never leave half a UTF-8 sequence at the cut.
    if (n < name.size())
        while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80)
            --n;
    std::memcpy(lf.lfFaceName, name.data(), n);
}

LOGFONT MakeLogFont(LONG height, LONG weight, BYTE charSet, std::string_view face)
{
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = charSet;
    SetFaceName(lf, face);
    return lf;
}

// Installed before main by the unit that defines the text functions, so
// GetStockObject hands out real fonts from the start.
[[maybe_unused]] const bool gStockFontsInstalled = (GdiInstallStockFonts(), true);

}  // namespace

int TGdiFont::GetObjectData(int size, void* buffer) const
{
    constexpr int need = static_cast<int>(sizeof(LOGFONT));
    if (!buffer)
        return need;
    if (size <= 0)
        return 0;
    const int n = std::min(size, need);
    std::memcpy(buffer, &FLogFont, static_cast<std::size_t>(n));
    return n;
}

std::shared_ptr<TFontFace> TGdiFont::Face() const
{
    std::call_once(FOnce, [this] { FFace = RealizeFont(FontRequestOf(FLogFont)); });
    return FFace;
}

TFontRequest FontRequestOf(const LOGFONT& lf)
{
    TFontRequest r;
    r.Face.assign(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
    r.Height = lf.lfHeight;
    r.Width = lf.lfWidth < 0 ? -std::max(lf.lfWidth, -MaxFontEmPixels) : std::min(lf.lfWidth, MaxFontEmPixels);
    r.Escapement = lf.lfEscapement % 3600;
    r.Weight = lf.lfWeight;
    r.Italic = lf.lfItalic != 0;
    r.Antialias = lf.lfQuality != NONANTIALIASED_QUALITY;
    return r;
}

LOGFONT StockFontLogFont(int stockIndex)
{
    switch (stockIndex) {
    case DEFAULT_GUI_FONT: return MakeLogFont(-11, FW_NORMAL, DEFAULT_CHARSET, "MS Sans Serif");
    case ANSI_VAR_FONT: return MakeLogFont(13, FW_NORMAL, ANSI_CHARSET, "MS Sans Serif");
    case ANSI_FIXED_FONT: return MakeLogFont(12, FW_NORMAL, ANSI_CHARSET, "Courier");
    case OEM_FIXED_FONT: return MakeLogFont(12, FW_NORMAL, OEM_CHARSET, "Terminal");
    case SYSTEM_FIXED_FONT: return MakeLogFont(15, FW_NORMAL, ANSI_CHARSET, "Fixedsys");
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
    default: return MakeLogFont(16, FW_BOLD, ANSI_CHARSET, "System");
    }
}

void GdiInstallStockFonts()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int i : {OEM_FIXED_FONT, ANSI_FIXED_FONT, ANSI_VAR_FONT, SYSTEM_FONT, DEVICE_DEFAULT_FONT,
                      SYSTEM_FIXED_FONT, DEFAULT_GUI_FONT})
            GdiSetStockObject(i, std::make_unique<TGdiFont>(StockFontLogFont(i)));
    });
}

HFONT CreateFontIndirect(const LOGFONT* lf)
{
    if (!lf)
        return nullptr;
    GdiInstallStockFonts();
    return static_cast<HFONT>(GdiRegister(std::make_unique<TGdiFont>(*lf)));
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, const std::string& faceName)
{
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = italic ? 1 : 0;
    lf.lfUnderline = underline ? 1 : 0;
    lf.lfStrikeOut = strikeOut ? 1 : 0;
    lf.lfCharSet = static_cast<BYTE>(charSet);
    lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    lf.lfQuality = static_cast<BYTE>(quality);
    lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    SetFaceName(lf, faceName);
    return CreateFontIndirect(&lf);
}

HFONT CreateFontHandle(const std::string& name, int height, TFontHandleStyle style, BYTE charSet, int orientation,
                       BYTE quality, BYTE pitch)
{
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfEscapement = orientation;
    lf.lfOrientation = orientation;
    lf.lfWeight = style.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style.Italic ? 1 : 0;
    lf.lfUnderline = style.Underline ? 1 : 0;
    lf.lfStrikeOut = style.StrikeOut ? 1 : 0;
    lf.lfCharSet = charSet;
    lf.lfQuality = quality;
    lf.lfPitchAndFamily = pitch;
    SetFaceName(lf, name);
    return CreateFontIndirect(&lf);
}

bool GetFontLogFont(HGDIOBJ font, LOGFONT& lf)
{
    auto* obj = dynamic_cast<TGdiFont*>(GdiLookup(font, OBJ_FONT));
    if (!obj)
        return false;
    lf = obj->LogFont();
    return true;
}

std::shared_ptr<TFontFace> FontFaceOf(HGDIOBJ font)
{
    TGdiObject* obj = GdiLookup(font, OBJ_FONT);
    if (auto* f = dynamic_cast<TGdiFont*>(obj))
        if (auto face = f->Face())
            return face;
    // A stock slot whose font was never installed, or no font at all.
    const int stock = obj && obj->IsStock() ? obj->StockIndex() : SYSTEM_FONT;
    static std::shared_ptr<TFontFace> defaults[DEFAULT_GUI_FONT + 1];
    static std::mutex lock;
    std::lock_guard guard(lock);
    auto& slot = defaults[std::clamp(stock, 0, DEFAULT_GUI_FONT)];
    if (!slot)
        slot = RealizeFont(FontRequestOf(StockFontLogFont(stock)));
    return slot;
}

LOGFONT FontLogFontOf(HGDIOBJ font)
{
    TGdiObject* obj = GdiLookup(font, OBJ_FONT);
    if (auto* f = dynamic_cast<TGdiFont*>(obj))
        return f->LogFont();
    return StockFontLogFont(obj && obj->IsStock() ? obj->StockIndex() : SYSTEM_FONT);
}
