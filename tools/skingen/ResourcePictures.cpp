// The small pictures the skin library's controls load by name from the
// program's "pictures/resources" folder: volume kinds of the drive box,
// folder states of the folder list (16 x 15) and the font dialog's style
// buttons (16 x 16). The bottom-left pixel is the transparent colour.
#include "SkinGen.h"

#include "platform/gui/Graphics.h"
#include "platform/rtl/Files.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace skingen {

namespace {

constexpr TColor kKey = 0xFF00FF;  // transparent
constexpr TColor kInk = 0x202020;

struct TPicture {
    TBitmap Bmp;
    TCanvas* C = nullptr;
    TPicture(int w, int h)
    {
        Bmp.SetPixelFormat(pf24bit);
        Bmp.SetSize(w, h);
        C = Bmp.Canvas();
        C->Brush()->SetColor(kKey);
        C->FillRect(TRect(0, 0, w, h));
    }
    void Box(const TRect& r, TColor fill, TColor edge)
    {
        C->Brush()->SetColor(fill);
        C->Pen()->SetColor(edge);
        C->Rectangle(r);
    }
    void Shape(const std::vector<TPoint>& p, TColor fill, TColor edge)
    {
        C->Brush()->SetColor(fill);
        C->Pen()->SetColor(edge);
        C->Polygon(p);
    }
    void Save(const std::string& file)
    {
        Bmp.SaveToFile(file);
        if (!FileExists(file))
            throw std::runtime_error("cannot write " + file);
    }
};

// A drive body with a light; Slot adds the slot of removable media.
void Drive(const std::string& file, TColor body, bool slot)
{
    TPicture p(16, 16);
    p.Box(TRect(1, 5, 15, 12), body, kInk);
    p.Box(TRect(11, 9, 13, 10), 0x00C000, 0x00C000);
    if (slot)
        p.Box(TRect(3, 7, 10, 8), kInk, kInk);
    p.Save(file);
}

void Optical(const std::string& file)
{
    TPicture p(16, 16);
    p.C->Brush()->SetColor(0xE0E0E0);
    p.C->Pen()->SetColor(kInk);
    p.C->Ellipse(1, 1, 15, 15);
    p.C->Brush()->SetColor(0xF0C080);
    p.C->Ellipse(5, 5, 11, 11);
    p.C->Brush()->SetColor(kKey);
    p.C->Ellipse(7, 7, 9, 9);
    p.Save(file);
}

void Network(const std::string& file)
{
    TPicture p(16, 16);
    p.Box(TRect(2, 1, 14, 8), 0xC08040, kInk);
    p.Box(TRect(7, 8, 9, 12), kInk, kInk);
    p.Box(TRect(1, 12, 15, 14), 0x808080, kInk);
    p.Save(file);
}

void Folder(const std::string& file, bool open, bool current)
{
    TPicture p(16, 15);
    const TColor back = 0x40A0E0, front = current ? 0x40D0FF : 0x60C0F0;
    p.Shape({{1, 3}, {6, 3}, {7, 5}, {14, 5}, {14, 13}, {1, 13}}, back, kInk);
    if (open)
        p.Shape({{3, 7}, {15, 7}, {13, 13}, {1, 13}}, front, kInk);
    if (current)
        p.Box(TRect(6, 9, 9, 12), 0x3060C0, 0x3060C0);
    p.Save(file);
}

void Letter(const std::string& file, const std::string& text, TFontStyles style)
{
    TPicture p(16, 16);
    TFont* f = p.C->Font();
    f->SetName("DejaVu Sans");
    f->SetHeight(-13);
    f->SetColor(0xD07030);  // a blue that reads on light and dark faces
    f->SetStyle(style);
    p.C->Brush()->SetStyle(bsClear);
    const int w = p.C->TextWidth(text), h = p.C->TextHeight(text);
    p.C->TextOut((16 - w) / 2, (16 - h) / 2, text);
    p.Save(file);
}

}  // namespace

void WriteResourcePictures(const std::string& SkinFolder)
{
    std::string parent = ExtractFileDir(ExcludeTrailingPathDelimiter(SkinFolder));
    const std::string folder =
        IncludeTrailingPathDelimiter(parent.empty() ? std::string(".") : parent) + "pictures/resources";
    if (!ForceDirectories(folder))
        throw std::runtime_error("cannot make the folder " + folder);
    const std::string f = IncludeTrailingPathDelimiter(folder);
    Drive(f + "SP_HARD.bmp", 0xB0B0B0, false);
    Drive(f + "SP_FLOPPY.bmp", 0x909090, true);
    Drive(f + "SP_RAM.bmp", 0x60A060, false);
    Optical(f + "SP_CDROM.bmp");
    Network(f + "SP_NETWORK.bmp");
    Folder(f + "SP_CLOSEDFOLDER.bmp", false, false);
    Folder(f + "SP_OPENFOLDER.bmp", true, false);
    Folder(f + "SP_CURRENTFOLDER.bmp", true, true);
    Letter(f + "SP_BOLD.bmp", "B", TFontStyles{fsBold});
    Letter(f + "SP_ITALIC.bmp", "I", TFontStyles{fsItalic});
    Letter(f + "SP_UNDERLINE.bmp", "U", TFontStyles{fsUnderline});
    Letter(f + "SP_STRIKEOUT.bmp", "S", TFontStyles{fsStrikeOut});
}

}  // namespace skingen
