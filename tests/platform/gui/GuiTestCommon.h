#pragma once
// Shared pieces of the class-library tests: a fresh headless desktop with a
// fake clock per test, an owner for the forms a test makes, a message log,
// and a small push button with default/cancel behaviour.
#include "platform/backend/Headless.h"
#include "platform/gdi/Gdi.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/Clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

// Every test starts on an empty desktop and leaves one behind.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HeadlessReset();
        Owner = new TComponent(nullptr);
        Application->OnMessage = nullptr;
        Application->OnShowHint = nullptr;
        Application->SetShowHint(true);
    }
    void TearDown() override
    {
        Owner->Free();
        Owner = nullptr;
        Application->OnMessage = nullptr;
        Application->OnShowHint = nullptr;
        Application->CancelHint();
        Application->ProcessMessages();
        HeadlessReset();
        FreeLogHooks();
    }
    static void FreeLogHooks();
    TCustomForm* NewForm(int x, int y, int w, int h, const std::string& name = {})
    {
        auto* f = new TForm(Owner);
        if (!name.empty())
            f->SetName(name);
        f->SetBounds(x, y, w, h);
        return f;
    }
    static void Pump() { Application->ProcessMessages(); }
    TFakeClock Clock;
    TClockInstaller Installed{Clock};
    TComponent* Owner = nullptr;
};

// A push button drawn by itself: Enter clicks the default button (unless
// another button has the focus), Escape clicks the cancel button.
class TTestButton : public TCustomControl {
public:
    explicit TTestButton(TComponent* AOwner) : TCustomControl(AOwner)
    {
        SetTabStop(true);
        FColor = clBtnFace;
        FParentColor = false;
        SetBounds(0, 0, 75, 25);
    }
    bool Default = false;
    bool Cancel = false;
    TModalResult ModalResult = mrNone;
    int Clicks = 0;
    void Click() override
    {
        ++Clicks;
        if (ModalResult != mrNone)
            if (TCustomForm* f = GetParentForm(this))
                f->SetModalResult(ModalResult);
        TCustomControl::Click();
    }
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == CM_DIALOGKEY) {
            bool focusedOther = false;
            if (TCustomForm* f = GetParentForm(this))
                focusedOther = dynamic_cast<TTestButton*>(f->ActiveControl()) && f->ActiveControl() != this;
            if (((Message.WParam == VK_RETURN && Default && !focusedOther) || (Message.WParam == VK_ESCAPE && Cancel)) &&
                CanFocus()) {
                Click();
                Message.Result = 1;
                return;
            }
        }
        if (Message.Msg == WM_GETDLGCODE) {
            Message.Result = Default ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
            return;
        }
        if (Message.Msg == WM_KEYDOWN && (Message.WParam == VK_SPACE || Message.WParam == VK_RETURN)) {
            Click();
            return;
        }
        TCustomControl::WndProc(Message);
    }

protected:
    void Paint() override
    {
        TRect r = ClientRect();
        Canvas()->Brush()->SetColor(Default ? TColor(0xD2BDB6) : clBtnFace);
        Canvas()->Pen()->SetColor(Default ? TColor(0x800000) : clBtnShadow);
        Canvas()->Rectangle(r);
        Canvas()->Brush()->SetStyle(bsClear);
        RECT tr = r;
        Canvas()->Refresh();
        DrawText(Canvas()->Handle(), Caption().c_str(), -1, &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
};

// Screen pixel (composed).
inline COLORREF ScreenPixel(int x, int y)
{
    HeadlessBackend().Compose();
    return HeadlessBackend().Pixel(x, y);
}

// Records chosen messages of controls by replacing their WindowProc (the
// previous procedure still runs).
class TMessageLog {
public:
    std::vector<std::string> Lines;
    std::vector<UINT> Watch;

    void Hook(TControl* control, const std::string& name)
    {
        auto h = std::make_unique<THook>();
        h->Log = this;
        h->Name = name;
        h->Old = control->WindowProc;
        control->WindowProc = MakeEvent(h.get(), &THook::Proc);
        FHooks.push_back(h.get());
        AllHooks().push_back(std::move(h));
    }
    // The hooks outlive the log (controls may be freed later); they only
    // pass messages on once the log is gone.
    ~TMessageLog()
    {
        for (auto* h : FHooks)
            h->Log = nullptr;
    }
    TMessageLog() = default;
    TMessageLog(const TMessageLog&) = delete;
    TMessageLog& operator=(const TMessageLog&) = delete;
    static void FreeHooks() { AllHooks().clear(); }
    void Add(const std::string& line) { Lines.push_back(line); }
    std::string Joined() const
    {
        std::string s;
        for (const auto& l : Lines)
            s += (s.empty() ? "" : " ") + l;
        return s;
    }
    // Position of the first line equal to text, or -1.
    int Find(const std::string& text) const
    {
        for (size_t i = 0; i < Lines.size(); ++i)
            if (Lines[i] == text)
                return static_cast<int>(i);
        return -1;
    }

    static const char* MsgName(UINT m)
    {
        switch (m) {
        case WM_SHOWWINDOW: return "SHOWWINDOW";
        case WM_ACTIVATE: return "ACTIVATE";
        case WM_NCACTIVATE: return "NCACTIVATE";
        case WM_MDIACTIVATE: return "MDIACTIVATE";
        case WM_SETFOCUS: return "SETFOCUS";
        case WM_KILLFOCUS: return "KILLFOCUS";
        case WM_MOUSEACTIVATE: return "MOUSEACTIVATE";
        case WM_LBUTTONDOWN: return "LBUTTONDOWN";
        case WM_LBUTTONUP: return "LBUTTONUP";
        case WM_RBUTTONDOWN: return "RBUTTONDOWN";
        case WM_RBUTTONUP: return "RBUTTONUP";
        case WM_MOUSEMOVE: return "MOUSEMOVE";
        case WM_KEYDOWN: return "KEYDOWN";
        case WM_CHAR: return "CHAR";
        case WM_PAINT: return "PAINT";
        case WM_ERASEBKGND: return "ERASEBKGND";
        case WM_CONTEXTMENU: return "CONTEXTMENU";
        case CM_ENTER: return "CM_ENTER";
        case CM_EXIT: return "CM_EXIT";
        case CM_ACTIVATE: return "CM_ACTIVATE";
        case CM_DEACTIVATE: return "CM_DEACTIVATE";
        case CM_MOUSEENTER: return "CM_MOUSEENTER";
        case CM_MOUSELEAVE: return "CM_MOUSELEAVE";
        case CM_DIALOGKEY: return "CM_DIALOGKEY";
        case CM_DIALOGCHAR: return "CM_DIALOGCHAR";
        case CM_FOCUSCHANGED: return "CM_FOCUSCHANGED";
        case CM_SHOWINGCHANGED: return "CM_SHOWINGCHANGED";
        case CN_KEYDOWN: return "CN_KEYDOWN";
        case CN_CHAR: return "CN_CHAR";
        case CM_WANTSPECIALKEY: return "CM_WANTSPECIALKEY";
        case CM_HINTSHOW: return "CM_HINTSHOW";
        default: return nullptr;
        }
    }

private:
    struct THook {
        TMessageLog* Log = nullptr;
        std::string Name;
        TWndMethod Old;
        void Proc(TMessage& m)
        {
            if (!Log) {
                Old(m);
                return;
            }
            const char* n = MsgName(m.Msg);
            bool watched = Log->Watch.empty() ? n != nullptr
                                              : std::find(Log->Watch.begin(), Log->Watch.end(), m.Msg) != Log->Watch.end();
            if (watched && n) {
                std::string line = Name + "." + n;
                if (m.Msg == WM_ACTIVATE || m.Msg == WM_NCACTIVATE)
                    line += LOWORD(m.WParam) == WA_INACTIVE ? "(0)" : "(1)";
                Log->Add(line);
            }
            Old(m);
        }
    };
    static std::vector<std::unique_ptr<THook>>& AllHooks()
    {
        static std::vector<std::unique_ptr<THook>> hooks;
        return hooks;
    }
    std::vector<THook*> FHooks;
};

inline void GuiTest::FreeLogHooks() { TMessageLog::FreeHooks(); }
