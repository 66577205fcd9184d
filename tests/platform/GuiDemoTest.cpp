// A small program built in code and run headless: a panel and a label,
// default and cancel buttons, a pop-up list opened by a right click that
// takes its keys through Application.OnMessage without taking the
// activation, a layered glow window and a window shaped by a region. The
// screen is written to gui-demo.png in the test folder of the build tree.
#include "GuiTestCommon.h"
#include "support/TestSupport.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/gui/PngImage.h"
#include "platform/gui/StdCtrls.h"

#include <cmath>
#include <cstdlib>

namespace {

// A list in a top-level pop-up window that never becomes active: the
// application's message hook feeds it the keys meant for the form.
class TDemoPopup : public TCustomControl {
public:
    explicit TDemoPopup(TComponent* owner) : TCustomControl(owner)
    {
        FVisible = false;
        FColor = clWindow;
        FParentColor = false;
        Items = {"Convert", "Preview", "Remove"};
        SetBounds(0, 0, 120, 3 * 20 + 4);
    }
    std::vector<std::string> Items;
    int Selected = 0;
    std::string Chosen;

    void OpenAt(int x, int y)
    {
        Selected = 0;
        SetBounds(x, y, Width(), Height());
        SetVisible(true);
        Application->OnMessage = MakeEvent(this, &TDemoPopup::AppMessage);
        Invalidate();
    }
    void CloseUp()
    {
        Application->OnMessage = nullptr;
        SetVisible(false);
    }

protected:
    void CreateParams(TCreateParams& p) override
    {
        TCustomControl::CreateParams(p);
        p.Style = WS_POPUP | WS_BORDER;
        p.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
        p.WndParent = nullptr;
    }
    void WndProc(TMessage& m) override
    {
        if (m.Msg == WM_MOUSEACTIVATE) {
            m.Result = MA_NOACTIVATE;
            return;
        }
        TCustomControl::WndProc(m);
    }
    void Paint() override
    {
        TCanvas* c = Canvas();
        c->Brush()->SetColor(clWindow);
        c->FillRect(ClientRect());
        for (size_t i = 0; i < Items.size(); ++i) {
            TRect r(2, 2 + static_cast<int>(i) * 20, Width() - 2, 22 + static_cast<int>(i) * 20);
            bool sel = static_cast<int>(i) == Selected;
            c->Brush()->SetColor(sel ? clHighlight : clWindow);
            c->FillRect(r);
            c->Font()->SetColor(sel ? clHighlightText : clWindowText);
            c->Brush()->SetStyle(bsClear);
            c->TextOut(r.left + 6, r.top + 3, Items[i]);
        }
    }

private:
    void AppMessage(MSG& msg, bool& handled)
    {
        if (msg.message != WM_KEYDOWN && msg.message != WM_CHAR && msg.message != WM_KEYUP)
            return;
        handled = true;
        if (msg.message != WM_KEYDOWN)
            return;
        switch (msg.wParam) {
        case VK_DOWN:
            Selected = (Selected + 1) % static_cast<int>(Items.size());
            Invalidate();
            break;
        case VK_UP:
            Selected = (Selected + static_cast<int>(Items.size()) - 1) % static_cast<int>(Items.size());
            Invalidate();
            break;
        case VK_RETURN:
            Chosen = Items[static_cast<size_t>(Selected)];
            CloseUp();
            break;
        case VK_ESCAPE:
            CloseUp();
            break;
        default:
            break;
        }
    }
};

// A menu whose Popup opens the demo pop-up list.
class TDemoMenu : public TPopupMenu {
public:
    using TPopupMenu::TPopupMenu;
    TDemoPopup* List = nullptr;
    void Popup(int X, int Y) override
    {
        TPopupMenu::Popup(X, Y);
        List->OpenAt(X, Y);
    }
};

// A soft glow: a layered top-level window with per-pixel alpha.
class TGlow : public TCustomControl {
public:
    explicit TGlow(TComponent* owner) : TCustomControl(owner) { FVisible = false; }
    void ShowGlow(const TRect& around, COLORREF color)
    {
        const int pad = 12;
        int w = around.right - around.left + 2 * pad, h = around.bottom - around.top + 2 * pad;
        SetBounds(around.left - pad, around.top - pad, w, h);
        HDC mem = CreateCompatibleDC(nullptr);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        auto* px = static_cast<DWORD*>(bits);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                // Distance outside the inner rectangle decides the alpha.
                int dx = std::max({pad - x, x - (w - 1 - pad), 0});
                int dy = std::max({pad - y, y - (h - 1 - pad), 0});
                double d = std::sqrt(static_cast<double>(dx * dx + dy * dy));
                bool inside = dx == 0 && dy == 0;
                double a = inside ? 0.0 : std::max(0.0, 1.0 - d / pad) * 0.8;
                auto A = static_cast<DWORD>(a * 255);
                DWORD r = GetRValue(color) * A / 255, g = GetGValue(color) * A / 255, b = GetBValue(color) * A / 255;
                px[y * w + x] = (A << 24) | (r << 16) | (g << 8) | b;
            }
        HGDIOBJ old = SelectObject(mem, bmp);
        HWND wnd = Handle();
        ShowWindow(wnd, SW_SHOWNA);
        FVisible = true;
        POINT dst{Left(), Top()}, src{0, 0};
        SIZE size{w, h};
        BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        UpdateLayeredWindow(wnd, nullptr, &dst, &size, mem, &src, 0, &bf, ULW_ALPHA);
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
    }

protected:
    void CreateParams(TCreateParams& p) override
    {
        TCustomControl::CreateParams(p);
        p.Style = WS_POPUP;
        p.ExStyle |= WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW;
    }
};

class GuiDemoTest : public GuiTest {};

TEST_F(GuiDemoTest, DemoRunsHeadlessAndIsWrittenToAPicture)
{
    // The main window.
    TCustomForm* main = NewForm(60, 60, 480, 320, "Main");
    main->SetCaption("Tarnello demo");
    auto* panel = new TPanel(main);
    panel->SetParent(main);
    panel->SetAlign(alTop);
    panel->SetHeight(56);
    panel->SetCaption("Panel: drop media files here");
    panel->SetColor(TColor(0xE0C8A0));
    auto* label = new TLabel(main);
    label->SetParent(main);
    label->SetBounds(16, 76, 200, 20);
    label->SetCaption("Label: right-click for the list");
    auto* ok = new TTestButton(main);
    ok->SetParent(main);
    ok->SetCaption("OK");
    ok->Default = true;
    ok->SetBounds(250, 240, 90, 28);
    auto* cancel = new TTestButton(main);
    cancel->SetParent(main);
    cancel->SetCaption("Cancel");
    cancel->Cancel = true;
    cancel->SetBounds(350, 240, 90, 28);
    auto* list = new TDemoPopup(Owner);
    auto* menu = new TDemoMenu(main);
    menu->List = list;
    main->SetPopupMenu(menu);
    main->SetActiveControl(cancel);
    main->Show();
    Pump();
    ASSERT_TRUE(main->Active());

    // Enter reaches the default button even though the focus is elsewhere.
    main->SetActiveControl(label == nullptr ? nullptr : ok);
    Pump();
    HeadlessKeyPress(VK_RETURN);
    Pump();
    EXPECT_EQ(ok->Clicks, 1);
    HeadlessKeyPress(VK_ESCAPE);
    Pump();
    EXPECT_EQ(cancel->Clicks, 1);

    // The shaped window.
    TCustomForm* shaped = NewForm(600, 120, 160, 160, "Shaped");
    shaped->SetBorderStyle(bsNone);
    shaped->SetColor(TColor(0x3050D0));
    SetWindowRgn(shaped->Handle(), CreateEllipticRgn(0, 0, 160, 160), 1);
    shaped->Show();
    Pump();
    main->Show();
    Pump();

    // Right click: the pop-up list opens at the pointer without taking the
    // activation; its keys come through the application's message hook.
    TPoint at = main->ClientToScreen(TPoint(120, 140));
    HeadlessClick(at.x, at.y, TMouseButton::Right);
    Pump();
    ASSERT_TRUE(list->Showing());
    EXPECT_TRUE(IsWindowVisible(list->Handle()));
    EXPECT_TRUE(main->Active());
    EXPECT_EQ(list->Left(), at.x);
    HeadlessKeyPress(VK_DOWN);
    Pump();
    EXPECT_EQ(list->Selected, 1);
    EXPECT_EQ(cancel->Clicks, 1);  // the form did not see the keys

    // The glow around the default button.
    auto* glow = new TGlow(Owner);
    TPoint okAt = ok->ClientToScreen(TPoint(0, 0));
    glow->ShowGlow(TRect(okAt.x, okAt.y, okAt.x + ok->Width(), okAt.y + ok->Height()), RGB(255, 160, 0));
    Pump();
    EXPECT_FALSE(GetWindowLong(glow->Handle(), GWL_EXSTYLE) & static_cast<LONG>(WS_EX_APPWINDOW));
    EXPECT_TRUE(main->Active());

    // Pixels: the region cuts the shaped window's corners, the glow blends
    // over the form, the list shows its selection.
    COLORREF corner = ScreenPixel(602, 122);
    COLORREF centre = ScreenPixel(680, 200);
    EXPECT_EQ(centre, RGB(0xD0, 0x50, 0x30));
    EXPECT_NE(corner, centre);
    COLORREF glowPx = ScreenPixel(okAt.x - 3, okAt.y + 10);
    COLORREF formPx = ScreenPixel(okAt.x - 40, okAt.y + 10);
    EXPECT_GT(GetRValue(glowPx), GetBValue(glowPx));
    EXPECT_NE(glowPx, formPx);
    TPoint sel = list->ClientToScreen(TPoint(60, 2 + 20 + 10));
    EXPECT_NE(ScreenPixel(sel.x + 50, sel.y), ScreenPixel(sel.x + 50, sel.y - 20));

    // Write the screen out through GetDC(0) and BitBlt.
    const int W = 820, H = 440;
    TBitmap shot;
    shot.SetPixelFormat(pf24bit);
    shot.SetSize(W, H);
    HDC screen = GetDC(nullptr);
    BitBlt(shot.Canvas()->Handle(), 0, 0, W, H, screen, 0, 0, SRCCOPY);
    ReleaseDC(nullptr, screen);
    TPngImage png;
    png.Assign(&shot);
    // Kept in the build's test folder for a look; a run outside the test
    // command writes into a temporary folder instead of the current one.
    const char* dir = std::getenv("TARNELLO_TEST_TMP");
    tarnello::test::TempDir scratch;
    std::string path = (dir && *dir ? std::string(dir) : scratch.path()) + "/gui-demo.png";
    png.SaveToFile(path);
    TPngImage back;
    back.LoadFromFile(path);
    EXPECT_EQ(back.Width(), W);

    // Enter picks the selected entry and closes the list.
    HeadlessKeyPress(VK_RETURN);
    Pump();
    EXPECT_EQ(list->Chosen, "Preview");
    EXPECT_FALSE(list->Showing());
    EXPECT_EQ(ok->Clicks, 1);
}

}  // namespace
