// Renders a text specimen sheet to a PNG in the test folder, for people to
// look at after a change to the font code, and checks it survives the trip.
#include "platform/gdi/Gdi.h"
#include "platform/gui/PngImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

void Line(HDC dc, int& y, const char* face, int height, int weight, bool italic, bool underline, const std::string& text)
{
    HFONT f = CreateFont(height, 0, 0, 0, weight, italic, underline, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
    HGDIOBJ old = SelectObject(dc, f);
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    TextOut(dc, 6, y, std::string(face) + ": " + text);
    y += tm.tmHeight + 2;
    SelectObject(dc, old);
    DeleteObject(f);
}

TEST(GdiTextSpecimen, RendersASheet)
{
    TBitmap sheet;
    sheet.SetPixelFormat(pf32bit);
    sheet.SetSize(520, 340);
    HDC dc = sheet.Canvas()->Handle();
    SetBkMode(dc, TRANSPARENT);
    int y = 4;
    const std::string sample = "The quick brown fox 0123 \xc3\xa9\xc3\x9f \xd0\x96\xd0\xb8 \xd4\xb1";
    for (const char* face : {"Arial", "Times New Roman", "Courier New", "Tahoma", "MS Sans Serif", "Verdana"})
        Line(dc, y, face, -13, FW_NORMAL, false, false, sample);
    Line(dc, y, "Arial", -16, FW_BOLD, true, true, "Bold italic underlined");
    Line(dc, y, "Arial", 24, FW_NORMAL, false, false, "Cell height 24");

    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT wrap{6, y, 200, y + 70};
    FrameRect(dc, &wrap, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    DrawText(dc, "&File: a long caption that wraps\tand centres", -1, &wrap, DT_WORDBREAK | DT_CENTER | DT_EXPANDTABS);
    RECT path{210, y, 420, y + 16};
    DrawText(dc, "/home/user/Videos/holiday/2024/very/long/folder/movie.mkv", -1, &path, DT_SINGLELINE | DT_PATH_ELLIPSIS);
    RECT end{210, y + 20, 400, y + 36};
    DrawText(dc, "An end ellipsis on a caption that is too long", -1, &end, DT_SINGLELINE | DT_END_ELLIPSIS);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(255, 230, 160));
    SetTextColor(dc, RGB(160, 0, 0));
    TextOut(dc, 210, y + 42, "Opaque background");
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 160));
    for (int angle : {300, 900}) {
        HFONT f = CreateFont(-14, 0, angle, angle, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
        HGDIOBJ old = SelectObject(dc, f);
        TextOut(dc, angle == 900 ? 490 : 300, 330, "Rotated text");
        SelectObject(dc, old);
        DeleteObject(f);
    }

    TPngImage png;
    png.Assign(&sheet);
    const char* base = std::getenv("TARNELLO_TEST_TMP");
    const std::filesystem::path dir = base && *base ? base : std::filesystem::temp_directory_path();
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "gdi-text-specimen.png").string();
    png.SaveToFile(file);

    TPngImage back;
    back.LoadFromFile(file);
    ASSERT_EQ(back.Width(), 520);
    ASSERT_EQ(back.Height(), 340);
    int dark = 0;
    for (int yy = 0; yy < 340; ++yy)
        for (int x = 0; x < 520; ++x) {
            const TColor c = back.Pixels(x, yy);
            ASSERT_EQ(c & 0xFFFFFF, static_cast<TColor>(GetPixel(dc, x, yy) & 0xFFFFFF)) << x << "," << yy;
            dark += (c & 0xFF) < 100;
        }
    EXPECT_GT(dark, 2000);
}

}  // namespace
