#include "skin/lists/ShellToolGlyphs.h"

#include "platform/gui/ImgList.h"
#include "platform/shell/ShellIcons.h"

namespace {

constexpr TColor kArrow = static_cast<TColor>(0x3CA028);
constexpr TColor kInk = static_cast<TColor>(0x404040);

void Fill(TBitmap& B, TColor Color, int L, int T, int R, int Bo)
{
    B.Canvas()->Brush()->SetColor(Color);
    B.Canvas()->FillRect(TRect(L, T, R, Bo));
}

}  // namespace

bool DrawShellToolGlyph(const std::string& Name, TBitmap& B)
{
    if (Name != "SP_BACK" && Name != "SP_UP" && Name != "SP_NEWFOLDER" && Name != "SP_LVSTYLE")
        return false;
    B.SetSize(16, 16);
    Fill(B, clFuchsia, 0, 0, 16, 16);
    if (Name == "SP_BACK") {
        // An arrow pointing left.
        for (int i = 0; i < 5; ++i)
            Fill(B, kArrow, 2 + i, 8 - i, 3 + i, 9 + i);
        Fill(B, kArrow, 6, 6, 14, 11);
    } else if (Name == "SP_UP") {
        // The folder with an arrow pointing up in its corner.
        ShellImageList(false)->Draw(B.Canvas(), 0, 2, siFolder);
        for (int i = 0; i < 4; ++i)
            Fill(B, kArrow, 12 - i, i, 13 + i, i + 1);
        Fill(B, kArrow, 11, 4, 14, 10);
    } else if (Name == "SP_NEWFOLDER") {
        // The folder with a green "+" in its corner.
        ShellImageList(false)->Draw(B.Canvas(), 0, 0, siFolder);
        Fill(B, kArrow, 11, 8, 13, 16);
        Fill(B, kArrow, 8, 11, 16, 13);
    } else {
        // Four rows of a small square and a line: the list styles.
        for (int row = 0; row < 4; ++row) {
            Fill(B, kInk, 2, 2 + row * 3, 4, 4 + row * 3);
            Fill(B, kInk, 6, 3 + row * 3, 14, 4 + row * 3);
        }
    }
    B.SetTransparent(true);
    return true;
}
