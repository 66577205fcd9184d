// A small program built in code and run headless: a panel and a label,
// default and cancel buttons, a pop-up list opened by a right click that
// takes its keys through Application.OnMessage without taking the
// activation, a layered glow window and a window shaped by a region. The
// screen is written to gui-demo.png in the test folder of the build tree.
// The same demo, with a page control, is then read from its stored
// description through the application's CreateForm and run headless and on
// the X display (gui-demo-described.png, gui-demo-x11.png).
#include "GuiTestCommon.h"
#include "support/TestSupport.h"
#include "support/X11TestSession.h"
#include "platform/backend/X11.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/gui/PngImage.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TreeViews.h"
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <thread>

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

// ---- The same demo read from its description ---------------------------------------------

// A push button whose caption and default/cancel roles a description sets.
class TDemoButton : public TTestButton {
public:
    using TTestButton::TTestButton;
    PUBLISHED(TDemoButton, TCustomControl)
    {
        P.Property("Caption", &TDemoButton::Caption, &TDemoButton::SetCaption, "");
        P.Property("Default", &TDemoButton::Default);
        P.Property("Cancel", &TDemoButton::Cancel);
    }
};

class TDemoDescribedMenu : public TDemoMenu {
public:
    using TDemoMenu::TDemoMenu;
    PUBLISHED(TDemoDescribedMenu, TPopupMenu) {}
};

// The demo's main window: everything on it comes from the description, the
// pop-up list is made when the form is created.
class TDemoForm : public TForm {
public:
    using TForm::TForm;
    TDemoDescribedMenu* Menu1 = nullptr;
    TMenuItem* Convert1 = nullptr;
    TPanel* Panel1 = nullptr;
    TLabel* Label1 = nullptr;
    TPageControl* Pages1 = nullptr;
    TTabSheet* FilesSheet = nullptr;
    TTabSheet* FoldersSheet = nullptr;
    TLabel* FilesLabel = nullptr;
    TLabel* FoldersLabel = nullptr;
    TTreeView* Tree1 = nullptr;
    TEdit* Edit1 = nullptr;
    TListBox* List1 = nullptr;
    int ListClicks = 0;
    void List1Click(TObject*) { ++ListClicks; }
    TDemoButton* OkButton = nullptr;
    TDemoButton* CancelButton = nullptr;
    TDemoPopup* Popup = nullptr;
    int Creates = 0;

    void FormCreate(TObject*)
    {
        ++Creates;
        Popup = new TDemoPopup(this);
        Menu1->List = Popup;
    }

    static std::string_view FormDescription()
    {
        return R"(object DemoForm: TDemoForm
  Left = 60
  Top = 60
  Width = 460
  Height = 380
  Caption = 'Tarnello demo'
  PopupMenu = Menu1
  OnCreate = FormCreate
  object Menu1: TDemoDescribedMenu
    object Convert1: TMenuItem
      Caption = 'Convert'
    end
  end
  object Panel1: TPanel
    Left = 0
    Top = 0
    Width = 452
    Height = 48
    Align = alTop
    Caption = 'Panel: drop media files here'
    Color = $00E0C8A0
    Font.Height = -13
    Font.Name = 'Tahoma'
    Font.Style = [fsBold]
    ParentFont = False
  end
  object Label1: TLabel
    Left = 12
    Top = 54
    Width = 220
    Height = 16
    Caption = 'Label: right-click for the list'
  end
  object Pages1: TPageControl
    Left = 8
    Top = 76
    Width = 436
    Height = 226
    ActivePage = FilesSheet
    Anchors = [akLeft, akTop, akRight, akBottom]
    TabOrder = 0
    object FilesSheet: TTabSheet
      Caption = 'Files'
      object FilesLabel: TLabel
        Left = 8
        Top = 8
        Width = 240
        Height = 16
        Caption = 'Files to convert'
      end
      object Edit1: TEdit
        Left = 8
        Top = 28
        Width = 200
        Height = 22
        TabOrder = 0
        Text = 'holiday.mp4'
      end
      object List1: TListBox
        Left = 8
        Top = 56
        Width = 200
        Height = 120
        ItemHeight = 16
        Items.Strings = (
          'holiday.mp4'
          'interview.mkv'
          'song.ogg')
        TabOrder = 1
        OnClick = List1Click
      end
    end
    object FoldersSheet: TTabSheet
      Caption = 'Folders'
      object FoldersLabel: TLabel
        Left = 8
        Top = 8
        Width = 240
        Height = 16
        Caption = 'Output folders'
      end
      object Tree1: TTreeView
        Left = 8
        Top = 28
        Width = 240
        Height = 150
        TabOrder = 0
        NodeData = (
          0 'Videos' -1 -1
          1 'Holiday' -1 -1
          1 'Work' -1 -1
          0 'Music' -1 -1)
      end
    end
  end
  object OkButton: TDemoButton
    Left = 250
    Top = 312
    Width = 90
    Height = 28
    Anchors = [akRight, akBottom]
    Caption = 'OK'
    Default = True
    TabOrder = 1
  end
  object CancelButton: TDemoButton
    Left = 350
    Top = 312
    Width = 90
    Height = 28
    Anchors = [akRight, akBottom]
    Caption = 'Cancel'
    Cancel = True
    TabOrder = 2
  end
end
)";
    }

    PUBLISHED(TDemoForm, TForm)
    {
        P.Member("Menu1", &TDemoForm::Menu1);
        P.Member("Convert1", &TDemoForm::Convert1);
        P.Member("Panel1", &TDemoForm::Panel1);
        P.Member("Label1", &TDemoForm::Label1);
        P.Member("Pages1", &TDemoForm::Pages1);
        P.Member("FilesSheet", &TDemoForm::FilesSheet);
        P.Member("FoldersSheet", &TDemoForm::FoldersSheet);
        P.Member("FilesLabel", &TDemoForm::FilesLabel);
        P.Member("FoldersLabel", &TDemoForm::FoldersLabel);
        P.Member("Tree1", &TDemoForm::Tree1);
        P.Member("Edit1", &TDemoForm::Edit1);
        P.Member("List1", &TDemoForm::List1);
        P.Handler("List1Click", &TDemoForm::List1Click);
        P.Member("OkButton", &TDemoForm::OkButton);
        P.Member("CancelButton", &TDemoForm::CancelButton);
        P.Handler("FormCreate", &TDemoForm::FormCreate);
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

// Makes the demo form through the application, as the program makes its
// forms, and frees it again when the test ends.
struct TDescribedDemo {
    TDemoForm* Form = nullptr;
    TDescribedDemo()
    {
        RegisterClasses<TDemoForm, TDemoDescribedMenu, TMenuItem, TPanel, TLabel, TPageControl, TTabSheet,
                        TDemoButton, TTreeView, TEdit, TListBox>();
        TCustomForm* mainBefore = Application->MainForm();
        Application->CreateForm(Form);
        Application->SetMainForm(mainBefore);
    }
    ~TDescribedDemo()
    {
        if (Form)
            Form->Free();
    }
    TDescribedDemo(const TDescribedDemo&) = delete;
    TDescribedDemo& operator=(const TDescribedDemo&) = delete;
};

// What the description gives, before any window exists.
void ExpectDescribedContent(TDemoForm* form)
{
    EXPECT_EQ(form->Creates, 1);
    EXPECT_EQ(form->Caption(), "Tarnello demo");
    EXPECT_FALSE(form->HandleAllocated()) << "reading makes no window";
    EXPECT_EQ(form->Panel1->Color(), TColor(0xE0C8A0));
    EXPECT_EQ(form->Panel1->Font()->Style(), TFontStyles{fsBold});
    EXPECT_EQ(form->PopupMenu(), form->Menu1);
    EXPECT_EQ(form->Menu1->List, form->Popup);
    EXPECT_EQ(form->Pages1->PageCount(), 2);
    EXPECT_EQ(form->Pages1->ActivePage(), form->FilesSheet);
    EXPECT_EQ(form->FoldersSheet->Caption(), "Folders");
    EXPECT_EQ(form->FilesLabel->Parent(), form->FilesSheet);
    EXPECT_EQ(form->FoldersLabel->Parent(), form->FoldersSheet);
    EXPECT_EQ(form->Tree1->Parent(), form->FoldersSheet);
    EXPECT_EQ(form->Edit1->Parent(), form->FilesSheet);
    EXPECT_EQ(form->Edit1->Text(), "holiday.mp4");
    ASSERT_EQ(form->List1->Items()->Count(), 3);
    EXPECT_EQ(form->List1->Items()->Strings(1), "interview.mkv");
    ASSERT_EQ(form->Tree1->Items()->Count(), 4);
    EXPECT_EQ(form->Tree1->Items()->GetFirstNode()->Count(), 2);
    EXPECT_TRUE(form->OkButton->Default);
    EXPECT_TRUE(form->CancelButton->Cancel);
}

TEST_F(GuiDemoTest, DescribedDemoRunsHeadless)
{
    TDescribedDemo demo;
    TDemoForm* form = demo.Form;
    ASSERT_TRUE(form);
    ExpectDescribedContent(form);

    form->Show();
    Pump();
    ASSERT_TRUE(form->Active());
    EXPECT_TRUE(form->FilesSheet->Showing());
    EXPECT_FALSE(form->FoldersSheet->Showing());

    // The edit has the focus; Enter and Escape reach the default and
    // cancel buttons.
    form->SetActiveControl(form->Edit1);
    Pump();
    EXPECT_TRUE(form->Edit1->Focused());
    HeadlessKeyPress(VK_RETURN);
    Pump();
    EXPECT_EQ(form->OkButton->Clicks, 1);
    HeadlessKeyPress(VK_ESCAPE);
    Pump();
    EXPECT_EQ(form->CancelButton->Clicks, 1);

    // A click on a list entry selects it and reaches the form's handler.
    TRect second = form->List1->ItemRect(1);
    TPoint item = form->List1->ClientToScreen(TPoint(second.left + 20, (second.top + second.bottom) / 2));
    HeadlessClick(item.x, item.y, TMouseButton::Left);
    Pump();
    EXPECT_EQ(form->List1->ItemIndex(), 1);
    EXPECT_EQ(form->ListClicks, 1);

    // Right click on the form: the pop-up list from the described menu.
    TPoint at = form->ClientToScreen(TPoint(300, 60));
    HeadlessClick(at.x, at.y, TMouseButton::Right);
    Pump();
    ASSERT_TRUE(form->Popup->Showing());
    HeadlessKeyPress(VK_DOWN);
    Pump();
    EXPECT_EQ(form->Popup->Selected, 1);
    HeadlessKeyPress(VK_ESCAPE);
    Pump();
    EXPECT_FALSE(form->Popup->Showing());

    // The second page shows its own controls.
    form->Pages1->SetActivePage(form->FoldersSheet);
    Pump();
    EXPECT_TRUE(form->FoldersSheet->Showing());
    EXPECT_TRUE(form->Tree1->Showing());
    EXPECT_FALSE(form->FilesSheet->Showing());
    form->Tree1->Items()->GetFirstNode()->Expand(false);
    Pump();

    // Pixels: the panel's colour, and the screen written out for a look.
    TPoint p = form->Panel1->ClientToScreen(TPoint(6, 6));
    EXPECT_EQ(ScreenPixel(p.x, p.y), RGB(0xA0, 0xC8, 0xE0));
    EXPECT_TRUE(tarnello::test::SaveScreenArea(0, 0, 560, 480, "gui-demo-described.png"));
}

// ---- The described demo on the X display ---------------------------------------------------

class GuiDemoX11Test : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        if (!X11.Ok())
            GTEST_SKIP() << "no X display";
        X11.Select();
    }
    void TearDown() override
    {
        GuiTest::TearDown();
        X11.Release();
    }
    bool PumpUntil(const std::function<bool()>& Cond, int Ms = 3000) { return X11.PumpUntil(Cond, Ms); }
    DWORD RootPixel(int x, int y) { return X11.Peer().RootPixel(x, y); }
    tarnello::test::X11TestSession X11;
};

// The demo keeps to its own band of the shared screen (x 400-880, y 280-790),
// clear of the other tests' windows.
TEST_F(GuiDemoX11Test, DescribedDemoShowsOnTheXScreen)
{
    TDescribedDemo demo;
    TDemoForm* form = demo.Form;
    ASSERT_TRUE(form);
    ExpectDescribedContent(form);
    form->SetBounds(410, 290, 460, 380);

    // A window shaped by a region below the form.
    TCustomForm* shaped = NewForm(420, 684, 90, 90, "ShapedX11");
    shaped->SetBorderStyle(bsNone);
    shaped->SetColor(TColor(0x3050D0));
    SetWindowRgn(shaped->Handle(), CreateEllipticRgn(0, 0, 90, 90), 1);
    shaped->Show();
    form->Show();

    TPoint p = form->Panel1->ClientToScreen(TPoint(6, 6));
    ASSERT_TRUE(PumpUntil([&] { return RootPixel(p.x, p.y) == 0xA0C8E0; })) << std::hex << RootPixel(p.x, p.y);
    ASSERT_TRUE(PumpUntil([&] { return RootPixel(465, 729) == 0xD05030; }));
    EXPECT_NE(RootPixel(422, 686), 0xD05030u) << "the region cuts the corner away";

    // The files page with the edit and the list box.
    ASSERT_TRUE(PumpUntil([&] { return form->Edit1->Showing() && form->List1->Showing(); }));
    PumpUntil([] { return false; }, 100);
    EXPECT_TRUE(X11.SaveArea(400, 280, 480, 400, "gui-demo-x11-files.png"));

    // The folders page with the tree opened, and the pop-up list showing
    // its selection.
    form->Pages1->SetActivePage(form->FoldersSheet);
    form->Tree1->Items()->GetFirstNode()->Expand(false);
    TPoint at = form->ClientToScreen(TPoint(300, 60));
    form->Menu1->Popup(at.x, at.y);
    form->Popup->Selected = 1;
    form->Popup->Invalidate();
    ASSERT_TRUE(PumpUntil([&] { return form->Popup->Showing(); }));
    PumpUntil([] { return false; }, 150);

    EXPECT_TRUE(X11.SaveArea(400, 280, 480, 510, "gui-demo-x11.png"));
    form->Popup->CloseUp();
}

}  // namespace
