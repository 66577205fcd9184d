// The application's own pictures: the tool bar, player and field pictures of
// the skin folder (PNG with alpha, BMP for the stretched fields, the
// getting-started pictures with their text in each shipped language), and
// the pictures the windows' stored descriptions name, in "pictures" beside
// the skin folder. Each picture is drawn twice, over black and over white,
// and the two are turned into colour and alpha, so the anti-aliased painters
// of SkinArt serve transparent pictures too.
#include "SkinArt.h"
#include "SkinGen.h"

#include "platform/gdi/IconFormat.h"
#include "platform/gui/Bitmap.h"
#include "platform/gui/PngImage.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"

#include <cmath>
#include <fstream>
#include <functional>
#include <numbers>
#include <stdexcept>
#include <string>

namespace skingen {

namespace {

using TPainter = std::function<void(TspBitmap&)>;

constexpr TspColor Black = 0xFF000000, White = 0xFFFFFFFF;

// Colours of the program's pictures, on the theme's accent.
constexpr TspColor Ink = 0xFFE4E6EA;       // light strokes on the dark tool bar
constexpr TspColor Blue = 0xFF3D8BFD;
constexpr TspColor BlueHot = 0xFF7AB2FF;
constexpr TspColor Red = 0xFFE5484D;
constexpr TspColor Green = 0xFF46A758;
constexpr TspColor Amber = 0xFFF5A524;

// Straight colour and alpha of one painter, from its pictures over black and white.
TDibImage Render(int W, int H, const TPainter& Paint)
{
    TspBitmap overBlack, overWhite;
    overBlack.SetSize(W, H);
    overWhite.SetSize(W, H);
    overBlack.Clear(Black);
    overWhite.Clear(White);
    Paint(overBlack);
    Paint(overWhite);
    TDibImage out;
    out.Allocate(W, H, 32);
    out.HasAlpha = true;
    for (int y = 0; y < H; ++y) {
        std::uint8_t* row = out.Row(y);
        for (int x = 0; x < W; ++x) {
            const TspColor b = overBlack.GetPixel(x, y), w = overWhite.GetPixel(x, y);
            // a = 1 - (white - black); colour = black / a.
            const int diff = ((w >> 8) & 0xFF) - ((b >> 8) & 0xFF);
            const int a = std::clamp(255 - diff, 0, 255);
            for (int c = 0; c < 3; ++c) {
                const int v = (b >> (8 * c)) & 0xFF;
                row[x * 4 + c] = static_cast<std::uint8_t>(a ? std::min(255, v * 255 / a) : 0);
            }
            row[x * 4 + 3] = static_cast<std::uint8_t>(a);
        }
    }
    return out;
}

void SavePng(const TDibImage& Image, const std::string& File)
{
    TBitmap rgb;
    rgb.SetPixelFormat(pf24bit);
    rgb.SetSize(Image.Width, Image.Height);
    for (int y = 0; y < Image.Height; ++y)
        for (int x = 0; x < Image.Width; ++x) {
            const std::uint8_t* p = Image.Row(y) + x * 4;
            rgb.Canvas()->SetPixel(x, y, static_cast<TColor>(p[0] << 16 | p[1] << 8 | p[2]));
        }
    TPngImage png;
    png.Assign(&rgb);
    png.CreateAlpha();
    for (int y = 0; y < Image.Height; ++y) {
        std::uint8_t* alpha = png.AlphaScanline(y);
        for (int x = 0; x < Image.Width; ++x)
            alpha[x] = Image.Row(y)[x * 4 + 3];
    }
    png.SaveToFile(File);
}

void Png(const std::string& Folder, const std::string& Name, int W, int H, const TPainter& Paint)
{
    SavePng(Render(W, H, Paint), Folder + Name);
}

// An opaque 24-bit BMP.
void Bmp(const std::string& Folder, const std::string& Name, int W, int H, const TPainter& Paint,
         const std::function<void(TCanvas*)>& Text = nullptr)
{
    TspBitmap b;
    b.SetSize(W, H);
    b.Clear(Black);
    Paint(b);
    std::unique_ptr<TBitmap> out(SheetPicture(b));
    if (Text)
        Text(out->Canvas());
    out->SaveToFile(Folder + Name);
}

void Text(TCanvas* C, int X, int Y, const std::string& S, TColor Color, int Height, bool Bold = false)
{
    C->Brush()->SetStyle(bsClear);
    C->Font()->SetName(Theme().FontName);
    C->Font()->SetHeight(Height);
    C->Font()->SetColor(Color);
    C->Font()->SetStyle(Bold ? TFontStyles{fsBold} : TFontStyles{});
    C->TextOut(X, Y, S);
}

void Ring(TspBitmap& B, double Cx, double Cy, double R, double Width, TspColor C, double From = 0, double To = 2 * std::numbers::pi)
{
    const int steps = 48;
    for (int i = 0; i < steps; ++i) {
        const double a0 = From + (To - From) * i / steps, a1 = From + (To - From) * (i + 1) / steps;
        StrokeLine(B, Cx + R * std::cos(a0), Cy + R * std::sin(a0), Cx + R * std::cos(a1), Cy + R * std::sin(a1), Width, C);
    }
}

void Triangle(TspBitmap& B, double L, double T, double Size, TspColor C)
{
    // A filled play triangle pointing right, by horizontal strokes.
    for (double y = 0; y <= Size; y += 0.5) {
        const double half = std::min(y, Size - y);
        StrokeLine(B, L, T + y, L + half * 1.7, T + y, 1.0, C);
    }
}

void Rect(TspBitmap& B, double L, double T, double R, double Bm, double W, TspColor C)
{
    StrokeLine(B, L, T, R, T, W, C);
    StrokeLine(B, R, T, R, Bm, W, C);
    StrokeLine(B, R, Bm, L, Bm, W, C);
    StrokeLine(B, L, Bm, L, T, W, C);
}

void Fill(TspBitmap& B, int L, int T, int R, int Bm, TspColor C) { B.FillRect(TRect(L, T, R, Bm), C); }

void Pencil(TspBitmap& B, double S, TspColor C)
{
    StrokeLine(B, S * 0.22, S * 0.78, S * 0.72, S * 0.28, S * 0.16, C);
    StrokeLine(B, S * 0.14, S * 0.86, S * 0.2, S * 0.8, S * 0.1, C);
}

void Cross(TspBitmap& B, double S, TspColor C, double W)
{
    StrokeLine(B, S * 0.25, S * 0.25, S * 0.75, S * 0.75, W, C);
    StrokeLine(B, S * 0.75, S * 0.25, S * 0.25, S * 0.75, W, C);
}

void ToolBarPictures(const std::string& F)
{
    const int S = 32;
    Png(F, "add_files.png", S, S, [](TspBitmap& b) {
        Rect(b, 5, 7, 23, 25, 2, Ink);
        for (int y : {10, 15, 20})
            StrokeLine(b, 8, y, 20, y, 1.2, Ink);
        FillDisc(b, 24, 23, 7, Green);
        StrokeLine(b, 24, 19, 24, 27, 2, White);
        StrokeLine(b, 20, 23, 28, 23, 2, White);
    });
    Png(F, "load_dvd.png", S, S, [](TspBitmap& b) {
        FillDisc(b, 16, 16, 12, Ink);
        FillDisc(b, 16, 16, 10.5, 0xFFB8C4D6);
        Ring(b, 16, 16, 7, 1, 0xFF9AA6B8);
        FillDisc(b, 16, 16, 3.2, Ink);
        FillDisc(b, 16, 16, 1.8, 0xFF2B2D31);
    });
    Png(F, "download.png", S, S, [](TspBitmap& b) {
        StrokeLine(b, 16, 4, 16, 20, 3, Blue);
        StrokeLine(b, 9, 13, 16, 20.5, 3, Blue);
        StrokeLine(b, 23, 13, 16, 20.5, 3, Blue);
        StrokeLine(b, 6, 22, 6, 27, 2, Ink);
        StrokeLine(b, 6, 27, 26, 27, 2, Ink);
        StrokeLine(b, 26, 27, 26, 22, 2, Ink);
    });
    Png(F, "record.png", S, S, [](TspBitmap& b) {
        Ring(b, 16, 16, 11, 2, Ink);
        FillDisc(b, 16, 16, 7, Red);
    });
    Png(F, "trim.png", S, S, [](TspBitmap& b) {
        Ring(b, 9, 23, 4, 2, Ink);
        Ring(b, 23, 23, 4, 2, Ink);
        StrokeLine(b, 11.5, 20, 24, 5, 2, Ink);
        StrokeLine(b, 20.5, 20, 8, 5, 2, Ink);
    });
    Png(F, "edit.png", S, S, [](TspBitmap& b) {
        Rect(b, 4, 8, 22, 26, 2, Ink);
        StrokeLine(b, 12, 22, 27, 7, 4, Amber);
        StrokeLine(b, 10.5, 23.5, 12, 22, 2, Ink);
    });
    Png(F, "join.png", S, S, [](TspBitmap& b) {
        Rect(b, 3, 10, 13, 22, 2, Ink);
        Rect(b, 19, 10, 29, 22, 2, Ink);
        StrokeLine(b, 13, 16, 19, 16, 3, Blue);
    });
    Png(F, "convert.png", S, S, [](TspBitmap& b) {
        Ring(b, 16, 16, 10, 2.5, Blue, 0.3, 2.9);
        Ring(b, 16, 16, 10, 2.5, Blue, 3.44, 6.04);
        Triangle(b, 12, 10, 12, Green);
    });
    Png(F, "convert_pause.png", S, S, [](TspBitmap& b) {
        Fill(b, 9, 7, 14, 25, 0xFFF5A524);
        Fill(b, 18, 7, 23, 25, 0xFFF5A524);
    });
    Png(F, "convert_stop.png", S, S, [](TspBitmap& b) { Fill(b, 8, 8, 24, 24, Red); });
}

void SmallPictures(const std::string& F)
{
    Png(F, "save_as.png", 16, 16, [](TspBitmap& b) {
        Rect(b, 2, 2, 13, 13, 1.5, Ink);
        Fill(b, 5, 3, 11, 7, Ink);
        Fill(b, 5, 9, 11, 13, Blue);
    });
    Png(F, "play.png", 16, 16, [](TspBitmap& b) { Triangle(b, 4, 2, 12, Ink); });
    Png(F, "pause.png", 16, 16, [](TspBitmap& b) {
        Fill(b, 4, 3, 7, 13, Ink);
        Fill(b, 9, 3, 12, 13, Ink);
    });
    Png(F, "stop.png", 16, 16, [](TspBitmap& b) { Fill(b, 4, 4, 12, 12, Ink); });
    Png(F, "photo.png", 16, 16, [](TspBitmap& b) {
        Rect(b, 2, 5, 14, 13, 1.5, Ink);
        Fill(b, 5, 3, 9, 5, Ink);
        Ring(b, 8, 9, 2.5, 1.3, Ink);
    });
    Png(F, "setstart.png", 16, 16, [](TspBitmap& b) {
        StrokeLine(b, 4, 3, 4, 13, 1.6, Ink);
        StrokeLine(b, 4, 3, 7, 3, 1.6, Ink);
        StrokeLine(b, 4, 13, 7, 13, 1.6, Ink);
        Triangle(b, 8, 5, 6, Green);
    });
    Png(F, "setend.png", 16, 16, [](TspBitmap& b) {
        StrokeLine(b, 12, 3, 12, 13, 1.6, Ink);
        StrokeLine(b, 12, 3, 9, 3, 1.6, Ink);
        StrokeLine(b, 12, 13, 9, 13, 1.6, Ink);
        Triangle(b, 3, 5, 6, Red);
    });
    Png(F, "playpart.png", 16, 16, [](TspBitmap& b) {
        StrokeLine(b, 2, 3, 2, 13, 1.4, Ink);
        StrokeLine(b, 14, 3, 14, 13, 1.4, Ink);
        Triangle(b, 5.5, 4, 8, Ink);
    });
    Png(F, "rename.png", 14, 14, [](TspBitmap& b) { Pencil(b, 14, 0xFFA4A8B0); });
    Png(F, "rename_over.png", 14, 14, [](TspBitmap& b) { Pencil(b, 14, BlueHot); });
    Png(F, "remove.png", 14, 14, [](TspBitmap& b) { Cross(b, 14, 0xFFA4A8B0, 2); });
    Png(F, "remove_over.png", 14, 14, [](TspBitmap& b) { Cross(b, 14, Red, 2); });
    Png(F, "music_icon.png", 32, 32, [](TspBitmap& b) {
        FillDisc(b, 10, 24, 4.5, Blue);
        FillDisc(b, 23, 21, 4.5, Blue);
        StrokeLine(b, 14, 24, 14, 7, 2, Blue);
        StrokeLine(b, 27, 21, 27, 4, 2, Blue);
        StrokeLine(b, 14, 7, 27, 4, 3, Blue);
    });
    Png(F, "volume.png", 16, 16, [](TspBitmap& b) {
        Fill(b, 2, 6, 5, 10, Ink);
        for (int y = 0; y < 10; ++y) {
            const int half = std::min(y, 9 - y);
            StrokeLine(b, 5, 3 + y, 5 + std::min(half, 4), 3 + y, 1, Ink);
        }
        Ring(b, 8, 8, 4, 1.2, Ink, -0.9, 0.9);
        Ring(b, 8, 8, 6.5, 1.2, Ink, -0.9, 0.9);
    });
    Png(F, "imgarrow.png", 16, 16, [](TspBitmap& b) { PaintChevron(b, TRect(0, 0, 16, 16), 0xFFA4A8B0, 4, 5); });
    Png(F, "imgarrow_over.png", 16, 16, [](TspBitmap& b) { PaintChevron(b, TRect(0, 0, 16, 16), BlueHot, 4, 5); });
}

void LogoPicture(const std::string& F)
{
    // The mark: a film frame with a play triangle; the name beside it.
    const TDibImage mark = Render(200, 48, [](TspBitmap& b) {
        PaintBox(b, TRect(4, 6, 40, 42), TBoxStyle{Blue, 0xFF2C6DD2, 0xFF2C6DD2, 0, 6});
        Triangle(b, 16, 14, 20, White);
    });
    // The name is drawn with the font engine on the transparent picture's colour.
    TBitmap text;
    text.SetPixelFormat(pf24bit);
    text.SetSize(200, 48);
    text.Canvas()->Brush()->SetColor(clBlack);
    text.Canvas()->FillRect(TRect(0, 0, 200, 48));
    Text(text.Canvas(), 48, 8, "Tarnello", clWhite, -28, true);
    TDibImage out = mark;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 200; ++x) {
            const int cover = text.Canvas()->Pixels(x, y) & 0xFF;
            if (cover == 0)
                continue;
            std::uint8_t* p = out.Row(y) + x * 4;
            p[0] = p[1] = p[2] = 0xEA;
            p[3] = static_cast<std::uint8_t>(std::max<int>(p[3], cover));
        }
    SavePng(out, F + "logo.png");
}

void FieldPictures(const std::string& F)
{
    const TTheme& t = Theme();
    Bmp(F, "profilescombo.bmp", 240, 40, [&](TspBitmap& b) { PaintBox(b, TRect(0, 0, 240, 40), FieldStyle(TState::Normal)); });
    Bmp(F, "profilescombo_over.bmp", 240, 40, [&](TspBitmap& b) { PaintBox(b, TRect(0, 0, 240, 40), FieldStyle(TState::Focused)); });
    Bmp(F, "tablerow.bmp", 8, 56, [&](TspBitmap& b) {
        for (int y = 0; y < 56; ++y)
            Fill(b, 0, y, 8, y + 1, Mix(0xFFE3EEFB, 0xFFC9DCF4, y / 55.0));  // light: the row's texts are black
        Fill(b, 0, 55, 8, 56, t.Border);
    });
    Bmp(F, "tablecolumncaptionbar.bmp", 8, 26, [&](TspBitmap& b) {
        for (int y = 0; y < 26; ++y)
            Fill(b, 0, y, 8, y + 1, Mix(t.ButtonTop, t.FaceDark, y / 25.0));
        Fill(b, 0, 25, 8, 26, t.Border);
    });
    // The queue's bar sits on light rows under the black percentage text:
    // a light track and a light blue fill keep that text readable.
    Bmp(F, "progress.bmp", 100, 14, [&](TspBitmap& b) {
        PaintBox(b, TRect(0, 0, 100, 14), TBoxStyle{0xFFF4F5F7, 0xFFE2E5EA, 0xFF9DA2AB, White, 3});
    });
    Bmp(F, "progress_fill.bmp", 100, 14, [&](TspBitmap& b) {
        PaintBox(b, TRect(0, 0, 100, 14), TBoxStyle{0xFFA9CBFF, 0xFF7DB0FF, t.AccentHot, 0xFFE2E5EA, 3});
    });
    Bmp(F, "preview.bmp", 320, 180, [&](TspBitmap& b) {
        for (int y = 0; y < 180; ++y)
            Fill(b, 0, y, 320, y + 1, Mix(0xFF15161A, 0xFF24262C, y / 179.0));
        FillDisc(b, 160, 90, 28, 0xFF34373D);
        Triangle(b, 150, 74, 32, 0xFF8A8E96);
    });
    // The getting-started picture, in English (0) and Spanish (1).
    struct TWords {
        const char* Title;
        const char* Line1;
        const char* Line2;
    };
    const TWords words[2] = {
        {"Getting started", "1. Click \"Add Files\" or drop video files here.", "2. Pick a profile below, then click \"Convert\"."},
        {"Primeros pasos", "1. Haga clic en \"A\xC3\xB1" "adir archivos\" o suelte los v\xC3\xAD" "deos aqu\xC3\xAD.",
         "2. Elija un perfil abajo y haga clic en \"Convertir\"."},
    };
    for (int lang = 0; lang < 2; ++lang)
        Bmp(F, "gettingstarted" + std::to_string(lang) + ".bmp", 520, 200,
            [&](TspBitmap& b) {
                Fill(b, 0, 0, 520, 200, t.Field);
                PaintBox(b, TRect(20, 20, 500, 180), TBoxStyle{t.Face, t.Face, t.Border, t.Field, 8});
                StrokeLine(b, 60, 100, 90, 100, 3, Blue);
                StrokeLine(b, 75, 85, 75, 115, 3, Blue);
            },
            [&](TCanvas* c) {
                Text(c, 120, 48, words[lang].Title, ToTColor(t.Text), -22, true);
                Text(c, 120, 92, words[lang].Line1, ToTColor(t.TextDim), -14);
                Text(c, 120, 120, words[lang].Line2, ToTColor(t.TextDim), -14);
            });
}

// Pictures the stored descriptions name (check marks of the queue, the
// parameter grid's fold signs, status signs, the error sign, the window icon).
void DescriptionPictures(const std::string& F)
{
    const TTheme& t = Theme();
    Bmp(F, "check.bmp", 13, 13, [&](TspBitmap& b) {
        PaintBox(b, TRect(0, 0, 13, 13), TBoxStyle{t.Accent, t.AccentDark, t.AccentDark, White, 2});
        PaintCheckMark(b, TRect(1, 1, 12, 12), White);
    });
    // An empty white box with a grey outline: on the light queue rows (plain
    // or selected) it never reads as the filled, checked one.
    Bmp(F, "uncheck.bmp", 13, 13, [&](TspBitmap& b) {
        PaintBox(b, TRect(0, 0, 13, 13), TBoxStyle{White, 0xFFF0F1F3, 0xFF7A7F88, White, 2});
    });
    Png(F, "converted.png", 32, 32, [](TspBitmap& b) {
        FillDisc(b, 16, 16, 13, Green);
        PaintCheckMark(b, TRect(8, 8, 24, 24), White);
    });
    Png(F, "cancelled.png", 32, 32, [](TspBitmap& b) {
        FillDisc(b, 16, 16, 13, Red);
        Cross(b, 32, White, 3);
    });
    auto sign = [&](const char* Name, bool Vertical, bool Horizontal) {
        Bmp(F, Name, 11, 11, [&](TspBitmap& b) {
            Fill(b, 0, 0, 11, 11, t.Field);
            if (Vertical || Horizontal)
                Rect(b, 0.5, 0.5, 10.5, 10.5, 1, t.BorderHot);
            if (Horizontal)
                Fill(b, 3, 5, 8, 6, t.Text);
            if (Vertical)
                Fill(b, 5, 3, 6, 8, t.Text);
        });
    };
    sign("plus.bmp", true, true);
    sign("minus.bmp", false, true);
    sign("none.bmp", false, false);
    Png(F, "error.png", 32, 32, [](TspBitmap& b) {
        FillDisc(b, 16, 16, 14, Red);
        StrokeLine(b, 16, 8, 16, 19, 3.5, White);
        FillDisc(b, 16, 24, 2.2, White);
    });
    // The window icon: the logo's mark at 16, 32 and 48 pixels.
    std::vector<TIconImage> images;
    for (int s : {16, 32, 48}) {
        TIconImage entry;
        entry.Image = Render(s, s, [s](TspBitmap& b) {
            PaintBox(b, TRect(0, 0, s, s), TBoxStyle{Blue, 0xFF2C6DD2, 0xFF2C6DD2, 0, std::max(2, s / 6)});
            Triangle(b, s * 0.36, s * 0.24, s * 0.52, White);
        });
        images.push_back(std::move(entry));
    }
    std::vector<std::uint8_t> bytes;
    WriteIcon(images, bytes);
    std::ofstream out(F + "tarnello.ico", std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + F + "tarnello.ico");
}

}  // namespace

void WriteAppPictures(const std::string& SkinFolder)
{
    const std::string skin = IncludeTrailingPathDelimiter(SkinFolder);
    ToolBarPictures(skin);
    SmallPictures(skin);
    LogoPicture(skin);
    FieldPictures(skin);
    // The descriptions' pictures live beside the skin folder, next to the program.
    std::string parent = ExtractFileDir(ExcludeTrailingPathDelimiter(SkinFolder));
    const std::string pictures = IncludeTrailingPathDelimiter(parent.empty() ? std::string(".") : parent) + "pictures";
    if (!ForceDirectories(pictures))
        throw std::runtime_error("cannot make the folder " + pictures);
    DescriptionPictures(IncludeTrailingPathDelimiter(pictures));
}

}  // namespace skingen
