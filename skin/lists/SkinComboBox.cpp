#include "skin/lists/SkinComboBox.h"
#include "skin/lists/ButtonPieceImage.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/Clock.h"
#include "platform/user/Focus.h"
#include "platform/user/Input.h"
#include "platform/user/Messages.h"
#include "platform/user/WindowRegion.h"
#include "skin/core/LayerManager.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinDrawGlyphs.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinEditPieces.h"
#include "skin/core/SkinImage.h"
#include "skin/core/SkinPlatform.h"
#include "skin/core/SkinStrips.h"
#include "skin/forms/MenuPieces.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr UINT_PTR kDragTimer = 1;
constexpr UINT kDragScrollMs = 25;
constexpr DWORD kTypeAheadMs = 500, kCompleteMs = 200;
constexpr TColor kHotFrame = static_cast<TColor>(0x800000);
constexpr TColor kHotFill = static_cast<TColor>(0xD2BDB6);
constexpr TColor kDownFill = static_cast<TColor>(0xB59385);

int Wd(const TRect& R) { return R.right - R.left; }
int Ht(const TRect& R) { return R.bottom - R.top; }
bool Inside(const TRect& R, int X, int Y) { return X >= R.left && X < R.right && Y >= R.top && Y < R.bottom; }

std::string Lower(std::string S)
{
    for (char& c : S)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return S;
}

// A button piece of the skin by the first of Names present, taken as it is.
TspDataSkinButtonControl* ButtonPiece(TspSkinData* SD, std::initializer_list<const char*> Names)
{
    if (!SD || SD->Empty)
        return nullptr;
    for (const char* n : Names) {
        const int i = SD->GetControlIndex(n);
        if (i != -1)
            return dynamic_cast<TspDataSkinButtonControl*>(SD->CtrlList[i].get());
    }
    return nullptr;
}

void FlatBox(TCanvas* C, const TRect& R, TColor Frame, TColor Fill)
{
    C->Brush()->SetColor(Frame);
    C->FillRect(R);
    C->Brush()->SetColor(Fill);
    C->FillRect(TRect(R.left + 1, R.top + 1, R.right - 1, R.bottom - 1));
}

void DrawMarker(TCanvas* C, TRect R, TBitmap* Pic, TRect Src, TColor Transparent)
{
    if (IsNullRect(Src) || !Pic)
        return;
    TBitmap m;
    m.SetSize(Wd(Src), Ht(Src));
    m.Canvas()->CopyRect(TRect(0, 0, Wd(Src), Ht(Src)), Pic->Canvas(), Src);
    m.SetTransparent(true);
    m.SetTransparentColor(Transparent);
    C->Draw(R.left + Wd(R) / 2 - Wd(Src) / 2, R.top + Ht(R) / 2 - Ht(Src) / 2, &m);
}

}  // namespace

// ---- the drop-down
// -----------------------------------------------------------------

TspPopupListBox::TspPopupListBox(TComponent* AOwner) : TspSkinListBox(AOwner)
{
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls, csReplicatable});
    SetVisible(false);
}

TspPopupListBox::~TspPopupListBox() { *FAlive = false; }

TspSkinCustomComboBox* TspPopupListBox::Combo() const { return dynamic_cast<TspSkinCustomComboBox*>(Owner()); }

void TspPopupListBox::CreateParams(TCreateParams& Params)
{
    TspSkinListBox::CreateParams(Params);
    Params.Style = WS_POPUP | WS_CLIPCHILDREN;
    Params.ExStyle = WS_EX_TOOLWINDOW;
    Params.WindowClass.style |= CS_SAVEBITS;
    if (IsWindowsXPOrLater())
        Params.WindowClass.style |= CS_DROPSHADOW;
    Params.WndParent = nullptr;
}

void TspPopupListBox::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_MOUSEACTIVATE) {
        Message.Result = MA_NOACTIVATE;
        return;
    }
    if (Message.Msg == WM_DESTROY)
        FShown = false;
    TspSkinListBox::WndProc(Message);
}

bool TspPopupListBox::Show(TPoint Origin)
{
    TspSkinCustomComboBox* cb = Combo();
    HWND wnd = Handle();
    const bool layered = IsWindows2000OrLater() && cb;
    if (layered) {
        const bool on = cb->ListBoxAlphaBlend();
        if (on && !FOldAlphaBlend)
            SetWindowLong(wnd, GWL_EXSTYLE, GetWindowLong(wnd, GWL_EXSTYLE) | WS_EX_LAYERED);
        else if (!on && FOldAlphaBlend)
            SetWindowLong(wnd, GWL_EXSTYLE, GetWindowLong(wnd, GWL_EXSTYLE) & ~WS_EX_LAYERED);
        FOldAlphaBlend = on;
        // With the animation every showing starts transparent.
        if (on && (FOldAlphaBlendValue != cb->ListBoxAlphaBlendValue() || cb->ListBoxAlphaBlendAnimation())) {
            if (cb->ListBoxAlphaBlendAnimation()) {
                SetWindowAlpha(wnd, 0);
                FOldAlphaBlendValue = 0;
            } else {
                SetWindowAlpha(wnd, cb->ListBoxAlphaBlendValue());
                FOldAlphaBlendValue = cb->ListBoxAlphaBlendValue();
            }
        }
    }
    SetBounds(Origin.x, Origin.y, Width(), Height());
    SetWindowPos(wnd, HWND_TOP, Origin.x, Origin.y, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
    FShown = true;
    SetVisible(true);  // the inner list and bars show with it
    FadeSteps.clear();
    if (!(layered && cb->ListBoxAlphaBlend() && cb->ListBoxAlphaBlendAnimation()))
        return true;
    const std::shared_ptr<bool> alive = FAlive;
    Application->ProcessMessages();
    if (!*alive)
        return false;
    if (!FShown)
        return true;
    const int target = cb->ListBoxAlphaBlendValue();
    // Handlers that run during the fade may close or free the drop-down.
    std::vector<int> steps = FadeWindowIn(wnd, target, 15, 5, true, {}, [&alive, this] {
        Application->ProcessMessages();
        return *alive && FShown;
    });
    if (!*alive)
        return false;
    FadeSteps = std::move(steps);
    if (FShown)
        FOldAlphaBlendValue = static_cast<Byte>(target);
    return true;
}

void TspPopupListBox::Hide()
{
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    FShown = false;
    SetVisible(false);
}

void TspPopupListBox::ListBoxWndProc(TMessage& Message, bool& CallDefault)
{
    TspSkinCustomComboBox* cb = Combo();
    CallDefault = true;
    if (!cb)
        return;
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
        cb->FLBDown = true;
        cb->WasInLB = true;
        if (cb->HandleAllocated())
            SetCapture(cb->Handle());
        CallDefault = false;
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: CallDefault = false; break;
    case WM_MOUSEACTIVATE:
        Message.Result = MA_NOACTIVATE;
        CallDefault = false;
        break;
    default: break;
    }
}

// ---- the combo box: creation and skin
// ----------------------------------------------

TspSkinCustomComboBox::TspSkinCustomComboBox(TComponent* AOwner) : TspSkinCustomControl(AOwner)
{
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csOpaque, csDoubleClicks});
    SetTabStop(true);
    Font()->SetName("Arial");
    Font()->SetColor(clWindowText);
    Font()->SetStyle(TFontStyles{});
    Font()->SetHeight(14);
    FListBox = new TspPopupListBox(this);
    FListBox->ListBox->SetTabStop(false);
    FListBox->ListBox->OnMouseMove = MakeEvent(this, &TspSkinCustomComboBox::ListBoxHotTrack);
    FListBox->OnCheckButtonClick = MakeEvent(this, &TspSkinCustomComboBox::ListBoxCheckClick);
    FSkinDataName = "combobox";
    SetBounds(Left(), Top(), 120, 20);
    UpdateComboLayout();
}

TspSkinCustomComboBox::~TspSkinCustomComboBox()
{
    StopDragTimer();
    if (FEdit) {
        TspCustomEdit* e = FEdit;
        FEdit = nullptr;
        delete e;
    }
    TspPopupListBox* l = FListBox;
    FListBox = nullptr;
    delete l;
}

bool TspSkinCustomComboBox::Loading() const
{
    return ComponentState().Contains(csLoading) || ComponentState().Contains(csDesigning) ||
           ComponentState().Contains(csReading);
}

void TspSkinCustomComboBox::GetSkinData()
{
    TspSkinCustomControl::GetSkinData();
    FComboPiece = false;
    if (FIndex == -1)
        return;
    auto* p = dynamic_cast<TspDataSkinComboBox*>(FSD->CtrlList[FIndex].get());
    if (!p) {
        FIndex = -1;
        return;
    }
    FComboPiece = true;
    ActiveSkinRect = p->ActiveSkinRect;
    ActiveFontColor = p->ActiveFontColor;
    SItemRect = p->SItemRect;
    ActiveItemRect = p->ActiveItemRect;
    FocusItemRect = IsNullRect(p->FocusItemRect) ? p->SItemRect : p->FocusItemRect;
    ItemLeftOffset = p->ItemLeftOffset;
    ItemRightOffset = p->ItemRightOffset;
    ItemTextRect = p->ItemTextRect;
    FontName = p->FontName;
    FontStyle = p->FontStyle;
    FontHeight = p->FontHeight;
    FontColor = p->FontColor;
    FocusFontColor = p->FocusFontColor;
    ButtonRect = p->ButtonRect;
    ActiveButtonRect = p->ActiveButtonRect;
    DownButtonRect = p->DownButtonRect;
    UnEnabledButtonRect = p->UnEnabledButtonRect;
    ListBoxName = p->ListBoxName;
    ItemStretchEffect = p->ItemStretchEffect;
    FocusItemStretchEffect = p->FocusItemStretchEffect;
    ShowFocus = p->ShowFocus;
}

void TspSkinCustomComboBox::UpdateComboLayout()
{
    const int W = Width(), H = Height();
    if (FIndex == -1 || FToolButtonStyle) {
        Button.R = TRect(W - 19, 2, W - 2, H - 2);
        CBItem.R = TRect(2, 2, Button.R.left - 1, H - 2);
    } else {
        const int dW = W - Wd(SkinRect);
        Button.R = ButtonRect;
        if (ButtonRect.left >= Wd(SkinRect) - RTPt.x)
            Button.R = TRect(Button.R.left + dW, Button.R.top, Button.R.right + dW, Button.R.bottom);
        CBItem.R = ClRect;
        CBItem.R.right += dW;
        if (!FUseSkinSize) {
            CBItem.R.bottom += H - Ht(SkinRect);
            Button.R.bottom += H - Ht(SkinRect);
        }
    }
    if (FEdit) {
        TBitmap m;
        m.SetSize(1, 1);
        m.Canvas()->Font()->Assign(FEdit->Font());
        const int eh = m.Canvas()->TextHeight("Wg");
        FEdit->SetBounds(CBItem.R.left, CBItem.R.top + Ht(CBItem.R) / 2 - eh / 2, std::max(0, Wd(CBItem.R)), eh);
    }
}

void TspSkinCustomComboBox::AdjustSizeToSkin(int& AWidth, int& AHeight)
{
    if (FUseSkinSize || FIndex == -1) {
        TspSkinCustomControl::AdjustSizeToSkin(AWidth, AHeight);
        return;
    }
    const int dW = AWidth - Wd(SkinRect);
    NewLTPoint = LTPt;
    NewRTPoint = TPoint(RTPt.x + dW, RTPt.y);
    NewClRect = ClRect;
    NewClRect.right += dW;
}

void TspSkinCustomComboBox::UpdateControlRegion()
{
    if (FUseSkinSize)
        TspSkinCustomControl::UpdateControlRegion();
}

void TspSkinCustomComboBox::ChangeSkinData()
{
    TspSkinCustomControl::ChangeSkinData();
    UpdateComboLayout();
    if (FEdit) {
        if (IsSkinned() && FUseSkinFont) {
            FEdit->Font()->SetStyle(FontStyle);
            FEdit->Font()->SetHeight(FontHeight);
            FEdit->Font()->SetName(FontName);
            FEdit->Font()->SetColor(FontColor);
        } else {
            FEdit->Font()->Assign(DefaultFont());
            if (IsSkinned())
                FEdit->Font()->SetColor(FontColor);
        }
        if (IsSkinned() && !IsNullRect(ActiveSkinRect) && (FEdit->Focused() || FMouseIn))
            FEdit->Font()->SetColor(ActiveFontColor);
        FEdit->Font()->SetCharset(SkinCharsetOr(FSD, DefaultFont()));
        FEdit->SetEditTransparent(IsSkinned());
        if (!Enabled())
            FEdit->Font()->SetColor(GetDisabledFontColor());
    }
    Repaint();
    FListBox->SetSkinDataName(IsSkinned() ? ListBoxName : std::string());
    FListBox->SetSkinData(FSD);
    FListBox->ChangeSkinData();
    FListBox->UpDateScrollBar();
    UpdateComboLayout();
    if (FEdit && IsSkinned()) {
        int w = Width(), h = Height();
        AdjustSizeToSkin(w, h);
        if (w != Width() || h != Height())
            SetBounds(Left(), Top(), w, h);
    }
}

void TspSkinCustomComboBox::DefaultFontChanged() { Font()->Assign(DefaultFont()); }

void TspSkinCustomComboBox::Invalidate()
{
    TspSkinCustomControl::Invalidate();
    if (FEdit && IsSkinned())
        FEdit->Invalidate();
}

TColor TspSkinCustomComboBox::GetDisabledFontColor()
{
    if (IsSkinned()) {
        const int i = FSD->GetControlIndex("edit");
        if (i != -1)
            if (auto* e = dynamic_cast<TspDataSkinEditControl*>(FSD->CtrlList[i].get()))
                return e->DisabledFontColor;
    }
    return clGrayText;
}

void TspSkinCustomComboBox::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    for (int i = 0; i < ControlCount(); ++i)
        if (Controls(i)->Owner() == Root && Controls(i)->Owner() != this)
            Proc(Controls(i));
}

void TspSkinCustomComboBox::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && FListBox && AComponent == FListBox->Images())
        FListBox->SetImages(nullptr);
}

// ---- properties
// --------------------------------------------------------------------

void TspSkinCustomComboBox::SetToolButtonStyle(bool Value)
{
    if (FToolButtonStyle == Value)
        return;
    FToolButtonStyle = Value;
    if (Value) {
        SetStyle(spcbFixedStyle);
        FUseSkinSize = false;
    }
    UpdateComboLayout();
    Repaint();
}

void TspSkinCustomComboBox::SetCharCase(TEditCharCase Value)
{
    FCharCase = Value;
    if (FEdit)
        FEdit->SetCharCase(Value);
}

void TspSkinCustomComboBox::SetDefaultColor(TColor Value)
{
    FDefaultColor = Value;
    if (!IsSkinned()) {
        Invalidate();
        if (FEdit)
            FEdit->SetColor(Value);
    }
}

void TspSkinCustomComboBox::SetUseSkinSize(bool Value)
{
    FUseSkinSize = Value;
    ChangeSkinData();
}

void TspSkinCustomComboBox::SetDropDownCount(int Value)
{
    if (Value > 0)
        FDropDownCount = Value;
}

void TspSkinCustomComboBox::SetImages(TCustomImageList* Value)
{
    if (Value)
        Value->FreeNotification(this);
    FListBox->SetImages(Value);
    Repaint();
}

void TspSkinCustomComboBox::SetImageIndex(int Value)
{
    FListBox->SetImageIndex(Value);
    Repaint();
}

void TspSkinCustomComboBox::SetOnListBoxDrawItem(const TspDrawSkinItemEvent& Value)
{
    FOnListBoxDrawItem = Value;
    FListBox->OnDrawItem = Value;
}

int TspSkinCustomComboBox::SelStart() { return FEdit ? FEdit->SelStart() : 0; }
void TspSkinCustomComboBox::SetSelStart(int Value)
{
    if (FEdit)
        FEdit->SetSelStart(Value);
}
int TspSkinCustomComboBox::SelLength() { return FEdit ? FEdit->SelLength() : 0; }
void TspSkinCustomComboBox::SetSelLength(int Value)
{
    if (FEdit)
        FEdit->SetSelLength(Value);
}

void TspSkinCustomComboBox::SetStyle(TspSkinCustomComboBoxStyle Value)
{
    if (FStyle == Value && ComponentState().Contains(csDesigning))
        return;
    FStyle = Value;
    if (Value == spcbEditStyle) {
        // One inner edit at most, however often the style is set.
        if (!FEdit) {
            CreateEdit();
            if (!ComponentState().Contains(csDesigning) && TabStop()) {
                SetTabStop(false);
                FEdit->SetTabStop(true);
            } else {
                FEdit->SetTabStop(false);
            }
            FEdit->SetText(Text());
            if (Focused())
                FEdit->SetFocus();
        }
    } else if (FEdit) {
        FreeEdit();
    }
    UpdateComboLayout();
    Repaint();
}

void TspSkinCustomComboBox::CreateEdit()
{
    if (FNumEdit)
        FEdit = new TspSkinNumEdit(this);
    else
        FEdit = new TspCustomEdit(this);
    FEdit->SetParent(this);
    FEdit->SetBorderStyle(bsNone);
    FEdit->SetColor(FDefaultColor);
    FEdit->SetAutoSize(false);
    FEdit->SetHideSelection(FHideSelection);
    FEdit->SetVisible(true);
    FEdit->SetEditTransparent(false);
    FEditWindowProc = FEdit->WindowProc;
    FEdit->WindowProc = MakeEvent(this, &TspSkinCustomComboBox::EditWindowProcHook);
    FEdit->OnEditCancelMode = MakeEvent(this, &TspSkinCustomComboBox::EditCancelMode);
    FEdit->OnChange = MakeEvent(this, &TspSkinCustomComboBox::EditChange);
    FEdit->OnKeyDown = MakeEvent(this, &TspSkinCustomComboBox::EditKeyDown);
    FEdit->OnKeyPress = MakeEvent(this, &TspSkinCustomComboBox::EditKeyPress);
    FEdit->OnKeyUp = MakeEvent(this, &TspSkinCustomComboBox::EditKeyUp);
    FEdit->SetCharCase(FCharCase);
    GetSkinData();
    if (!IsSkinned()) {
        FEdit->Font()->SetName(Font()->Name());
        FEdit->Font()->SetStyle(Font()->Style());
        FEdit->Font()->SetColor(Font()->Color());
        FEdit->Font()->SetHeight(Font()->Height());
    } else {
        FEdit->Font()->SetStyle(FontStyle);
        FEdit->Font()->SetColor(FontColor);
        FEdit->Font()->SetHeight(FontHeight);
        FEdit->Font()->SetName(FontName);
        FEdit->SetEditTransparent(true);
    }
    UpdateComboLayout();
}

void TspSkinCustomComboBox::FreeEdit()
{
    TspCustomEdit* e = FEdit;
    FEdit = nullptr;
    e->WindowProc = FEditWindowProc;
    e->SetVisible(false);
    delete e;
}

void TspSkinCustomComboBox::EditKeyDown(TObject*, WORD& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}
void TspSkinCustomComboBox::EditKeyPress(TObject*, char& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}
void TspSkinCustomComboBox::EditKeyUp(TObject*, WORD& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

// ---- selection and text
// ------------------------------------------------------------

void TspSkinCustomComboBox::SetItemIndex(int Value)
{
    FListBox->SetItemIndex(Value);
    const int i = FListBox->ItemIndex();
    if (FListBox->Items()->Count() > 0 && i != -1)
        SetText(FListBox->Items()->Get(i));
    FOldItemIndex = FListBox->ItemIndex();
    if (!FEdit)
        Repaint();
    if (!Loading()) {
        if (OnClick)
            OnClick(this);
        Change();
    }
}

void TspSkinCustomComboBox::TextChanged()
{
    TspSkinCustomControl::TextChanged();
    if (FEdit && !FromEdit)
        FEdit->SetText(Text());
    if (OnChange)
        OnChange(this);
    if (FromEdit)
        Change();
}

int TspSkinCustomComboBox::FindPrefix(const std::string& Prefix, int Start)
{
    TStrings* items = FListBox->Items();
    const int n = items->Count();
    if (n == 0 || Prefix.empty())
        return -1;
    const std::string p = Lower(Prefix);
    const int first = Start < -1 || Start >= n ? 0 : Start + 1;
    for (int k = 0; k < n; ++k) {
        const int i = (first + k) % n;
        if (Lower(items->Get(i)).compare(0, p.size(), p) == 0)
            return i;
    }
    return -1;
}

void TspSkinCustomComboBox::EditChange(TObject*)
{
    FromEdit = true;
    const std::string t = FEdit->Text();
    if (!t.empty()) {
        const int i = FindPrefix(t, -1);
        if (i != -1) {
            if (FAutoComplete)
                FListBox->ListBox->SetItemIndex(i);
            else
                FListBox->ListBox->SetTopIndex(i);
        }
    }
    SetText(t);
    FromEdit = false;
}

void TspSkinCustomComboBox::EditPriorItem(bool ChangeText)
{
    const int i = FListBox->ItemIndex();
    if (i <= 0)
        return;
    FListBox->SetItemIndex(i - 1);
    if (!ChangeText)
        return;
    SetText(FListBox->Items()->Get(i - 1));
    if (FEdit)
        FEdit->SelectAll();
    if (OnClick)
        OnClick(this);
}

void TspSkinCustomComboBox::EditNextItem(bool ChangeText)
{
    const int i = FListBox->ItemIndex();
    if (i >= FListBox->Items()->Count() - 1)
        return;
    FListBox->SetItemIndex(i + 1);
    if (!ChangeText)
        return;
    SetText(FListBox->Items()->Get(i + 1));
    if (FEdit)
        FEdit->SelectAll();
    if (OnClick)
        OnClick(this);
}

void TspSkinCustomComboBox::AutoCompleteEditText()
{
    const DWORD now = GetTickCount();
    if (now - FLastTime <= kCompleteMs)
        return;
    FLastTime = now;
    const std::string s = FEdit->Text();
    const int i = FindPrefix(s, s.size() == 1 ? FListBox->ItemIndex() : -1);
    if (i == -1)
        return;
    SetItemIndex(i);
    if (!FEdit)
        return;
    const int total = static_cast<int>(FEdit->Text().size());
    FEdit->SetSelStart(static_cast<int>(s.size()));
    FEdit->SetSelLength(std::max(0, total - static_cast<int>(s.size())));
}

void TspSkinCustomComboBox::EditWindowProcHook(TMessage& Message)
{
    TspCustomEdit* e = FEdit;
    const TWndMethod previous = FEditWindowProc;
    auto passOn = [&] {
        if (previous)
            previous(Message);
    };
    switch (Message.Msg) {
    case WM_SETFOCUS:
        if (IsSkinned() && !IsNullRect(ActiveSkinRect)) {
            e->Font()->SetColor(ActiveFontColor);
            Invalidate();
        }
        break;
    case WM_KILLFOCUS:
        if (IsPopupVisible())
            CloseUp(false);
        if (IsSkinned() && !IsNullRect(ActiveSkinRect)) {
            e->Font()->SetColor(FontColor);
            Invalidate();
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (IsPopupVisible())
            CloseUp(false);
        break;
    case WM_MOUSEWHEEL:
        if (static_cast<std::int32_t>(Message.WParam) > 0)
            EditPriorItem(!IsPopupVisible());
        else
            EditNextItem(!IsPopupVisible());
        Message.Result = 0;
        return;
    case WM_KEYDOWN:
        switch (Message.WParam) {
        case VK_RETURN:
            if (IsPopupVisible()) {
                CloseUp(true);
                Message.Result = 0;
                return;
            }
            break;
        case VK_ESCAPE:
            if (IsPopupVisible()) {
                CloseUp(false);
                Message.Result = 0;
                return;
            }
            break;
        case VK_PRIOR:
            if (IsPopupVisible()) {
                FListBox->SetItemIndex(std::max(0, FListBox->ItemIndex() - (FDropDownCount + 1)));
                Message.Result = 0;
                return;
            }
            break;
        case VK_NEXT:
            if (IsPopupVisible()) {
                FListBox->SetItemIndex(
                    std::min(FListBox->Items()->Count() - 1, FListBox->ItemIndex() + (FDropDownCount - 1)));
                Message.Result = 0;
                return;
            }
            break;
        case VK_UP:
            EditPriorItem(true);
            Message.Result = 0;
            return;
        case VK_DOWN:
            EditNextItem(true);
            Message.Result = 0;
            return;
        default: break;
        }
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        // A key-up never deletes the edit's selection (that would lose
        // typed text); it only starts the completion search.
        const TFontCharset cs = SkinCharsetOr(FSD, DefaultFont());
        const bool cjk = cs == SHIFTJIS_CHARSET || cs == GB2312_CHARSET || cs == CHINESEBIG5_CHARSET;
        if (Message.Msg == WM_SYSKEYUP && !cjk)
            break;
        const WPARAM key = Message.WParam;
        const bool search = cjk ? key != VK_DELETE && key != VK_BACK : key > 0x2F;
        passOn();
        if (search && FAutoComplete && FEdit == e && e)
            AutoCompleteEditText();
        return;
    }
    default: break;
    }
    passOn();
}

void TspSkinCustomComboBox::CancelModeFrom(TControl* C)
{
    if (!IsPopupVisible())
        return;
    if (C == this || C == FListBox || C == FListBox->ListBox || (C && C == FListBox->ScrollBar) ||
        (C && C == FListBox->HScrollBar))
        return;
    CloseUp(false);
}

void TspSkinCustomComboBox::EditCancelMode(TControl* C) { CancelModeFrom(C); }

// ---- drop-down
// ---------------------------------------------------------------------

bool TspSkinCustomComboBox::CanCancelDropDown()
{
    if (!IsPopupVisible())
        return false;
    POINT p;
    GetCursorPos(&p);
    const TPoint c = ScreenToClient(TPoint(p.x, p.y));
    return !Inside(TRect(0, 0, Width(), Height()), c.x, c.y);
}

void TspSkinCustomComboBox::DropDown()
{
    if (FListBox->Items()->Count() == 0)
        return;
    WasInLB = false;
    StopDragTimer();
    if (OnDropDown)
        OnDropDown(this);
    const int count = FListBox->Items()->Count();
    FListBox->SetBounds(FListBox->Left(), FListBox->Top(), FListBoxWidth > 0 ? FListBoxWidth : Width(),
                        FListBox->CalcHeight(std::min(FDropDownCount, count)));
    TPoint p = ClientToScreen(TPoint(0, Height()));
    TRect wa;
    GetMonitorArea(HandleAllocated() ? Handle() : nullptr, true, wa);
    if (p.y + FListBox->Height() > wa.bottom)
        p.y -= Height() + FListBox->Height();
    if (FEdit && FEdit->CanFocus())
        FEdit->SetFocus();
    FOldItemIndex = FListBox->ItemIndex();
    if (FOldItemIndex == 0 && count > 1) {
        FListBox->SetItemIndex(1);
        FListBox->SetItemIndex(0);
    }
    FDropDown = true;
    if (FToolButtonStyle)
        Repaint();
    FListBox->SetTopIndex(FListBox->ItemIndex());
    if (!FListBox->Show(p))
        return;  // freed with its combo box while fading in
    FListBox->UpDateScrollBar();
}

void TspSkinCustomComboBox::CloseUp(bool Value)
{
    if (!IsPopupVisible())
        return;
    FListBox->Hide();
    StopDragTimer();
    const int i = FListBox->ItemIndex();
    if (i < 0) {
        FListBox->SetItemIndex(FOldItemIndex);
    } else if (Value && i < FListBox->Items()->Count()) {
        const std::string t = FListBox->Items()->Get(i);
        if (FEdit) {
            SetText(t);
            FEdit->SelectAll();
        } else {
            SetText(t);
            Repaint();
        }
        FOldItemIndex = i;
        if (OnClick)
            OnClick(this);
        Change();
    } else if (!Value) {
        FListBox->SetItemIndex(FOldItemIndex);
    }
    FDropDown = false;
    Repaint();
    if (Value && OnCloseUp)
        OnCloseUp(this);
}

void TspSkinCustomComboBox::ListBoxHotTrack(TObject*, TShiftState, int X, int Y)
{
    const int i = FListBox->ListBox->ItemAtPos(TPoint(X, Y), true);
    if (i >= 0 && i < FListBox->Items()->Count() && i != FListBox->ItemIndex())
        FListBox->SetItemIndex(i);
}

void TspSkinCustomComboBox::ListBoxCheckClick(TObject*) { CloseUp(true); }

void TspSkinCustomComboBox::StartDragTimer(int Mode)
{
    TimerMode = Mode;
    if (HandleAllocated()) {
        SetTimer(Handle(), kDragTimer, kDragScrollMs, nullptr);
        FDragTimerOn = true;
    }
}

void TspSkinCustomComboBox::StopDragTimer()
{
    if (FDragTimerOn && HandleAllocated())
        KillTimer(Handle(), kDragTimer);
    FDragTimerOn = false;
    TimerMode = 0;
}

void TspSkinCustomComboBox::TrackListBoxDrag(int X, int Y)
{
    if (!IsPopupVisible())
        return;
    TspListBox* lb = FListBox->ListBox;
    const TPoint p = lb->ScreenToClient(ClientToScreen(TPoint(X, Y)));
    const bool bar = FListBox->ScrollBar != nullptr;
    int mode = 0;
    if (p.y < 0) {
        if (bar && WasInLB)
            mode = 1;
    } else if (p.y > lb->Height()) {
        if (bar && WasInLB)
            mode = 2;
    } else {
        StopDragTimer();
        SendMessage(lb->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(1, p.y));
        WasInLB = true;
        return;
    }
    if (mode != 0 && mode != TimerMode)
        StartDragTimer(mode);
}

// ---- input
// -------------------------------------------------------------------------

void TspSkinCustomComboBox::MouseDown(TMouseButton Btn, TShiftState Shift, int X, int Y)
{
    TspSkinCustomControl::MouseDown(Btn, Shift, X, Y);
    if (!FEdit && !Focused() && CanFocus())
        SetFocus();
    if (Btn != TMouseButton::Left)
        return;
    Button.MouseIn = Inside(Button.R, X, Y);
    if (Button.MouseIn || (FStyle == spcbFixedStyle && Inside(CBItem.R, X, Y)) || FToolButtonStyle) {
        Button.Down = true;
        Repaint();
        if (!IsPopupVisible()) {
            WasInLB = false;
            FLBDown = true;
            DropDown();
        } else {
            CloseUp(false);
        }
    } else if (IsPopupVisible()) {
        CloseUp(false);
    }
}

void TspSkinCustomComboBox::MouseMove(TShiftState Shift, int X, int Y)
{
    TspSkinCustomControl::MouseMove(Shift, X, Y);
    if (FLBDown) {
        TrackListBoxDrag(X, Y);
        return;
    }
    const bool in = Inside(Button.R, X, Y);
    if (in != Button.MouseIn) {
        Button.MouseIn = in;
        Repaint();
    }
}

void TspSkinCustomComboBox::MouseUp(TMouseButton Btn, TShiftState Shift, int X, int Y)
{
    if (FLBDown && WasInLB) {
        ReleaseCapture();
        FLBDown = false;
        POINT p;
        GetCursorPos(&p);
        RECT r{};
        const bool overList = FListBox->ListBox->HandleAllocated() && GetWindowRect(FListBox->ListBox->Handle(), &r) &&
                              p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
        CloseUp(overList);
    } else {
        FLBDown = false;
    }
    TspSkinCustomControl::MouseUp(Btn, Shift, X, Y);
    if (Button.Down) {
        Button.Down = false;
        Repaint();
    }
}

void TspSkinCustomComboBox::KeyDown(WORD& Key, TShiftState Shift)
{
    TspSkinCustomControl::KeyDown(Key, Shift);
    if (FStyle != spcbFixedStyle)
        return;
    const int n = FListBox->Items()->Count();
    const bool alt = Shift.Contains(ssAlt);
    switch (Key) {
    case VK_RETURN:
        if (IsPopupVisible())
            CloseUp(true);
        break;
    case VK_ESCAPE:
        if (IsPopupVisible())
            CloseUp(false);
        break;
    case VK_PRIOR:
        if (n > 0)
            SetItemIndex(std::max(0, ItemIndex() - (FDropDownCount + 1)));
        break;
    case VK_NEXT:
        if (n > 0)
            SetItemIndex(std::min(n - 1, ItemIndex() + (FDropDownCount - 1)));
        break;
    case VK_UP:
    case VK_LEFT:
        if (alt) {
            if (IsPopupVisible())
                CloseUp(false);
        } else if (ItemIndex() > 0) {
            SetItemIndex(ItemIndex() - 1);
        }
        break;
    case VK_DOWN:
    case VK_RIGHT:
        if (alt) {
            if (!IsPopupVisible())
                DropDown();
        } else if (ItemIndex() < n - 1) {
            SetItemIndex(ItemIndex() + 1);
        }
        break;
    default: break;
    }
}

void TspSkinCustomComboBox::KeyPress(char& Key)
{
    TspSkinCustomControl::KeyPress(Key);
    if (FStyle != spcbFixedStyle || Key == 0 || static_cast<unsigned char>(Key) < 0x20)
        return;
    std::string search;
    if (FAutoComplete) {
        const DWORD now = GetTickCount();
        if (now - FLastTime >= kTypeAheadMs)
            FFilter.clear();
        FLastTime = now;
        FFilter += Key;
        search = FFilter;
    } else {
        search = std::string(1, Key);
    }
    const int i = FindPrefix(search, search.size() == 1 ? ItemIndex() : -1);
    if (i != -1)
        SetItemIndex(i);
}

void TspSkinCustomComboBox::DoEnter()
{
    if (FEdit) {
        if (FEdit->CanFocus())
            FEdit->SetFocus();
        if (IsSkinned() && !IsNullRect(ActiveSkinRect)) {
            FEdit->Font()->SetColor(ActiveFontColor);
            Invalidate();
        }
        return;
    }
    TspSkinCustomControl::DoEnter();
    Repaint();
}

void TspSkinCustomComboBox::DoExit()
{
    TspSkinCustomControl::DoExit();
    if (!FEdit && IsPopupVisible())
        CloseUp(false);
    Repaint();
    if (FEdit && IsSkinned() && !IsNullRect(ActiveSkinRect)) {
        FEdit->Font()->SetColor(FontColor);
        Invalidate();
    }
}

void TspSkinCustomComboBox::MouseEnter()
{
    TspSkinCustomControl::MouseEnter();
    FMouseIn = true;
    const bool hotPiece = IsSkinned() && !IsNullRect(ActiveSkinRect);
    if (hotPiece && FEdit && !FEdit->Focused())
        FEdit->Font()->SetColor(ActiveFontColor);
    if (hotPiece || FToolButtonStyle)
        Invalidate();
}

void TspSkinCustomComboBox::MouseLeave()
{
    TspSkinCustomControl::MouseLeave();
    FMouseIn = false;
    if (Button.MouseIn) {
        Button.MouseIn = false;
        Repaint();
    }
    const bool hotPiece = IsSkinned() && !IsNullRect(ActiveSkinRect);
    if (hotPiece && FEdit && !FEdit->Focused())
        FEdit->Font()->SetColor(FontColor);
    if (hotPiece || FToolButtonStyle)
        Invalidate();
}

void TspSkinCustomComboBox::EnabledChanged()
{
    TspSkinCustomControl::EnabledChanged();
    if (FEdit)
        FEdit->Font()->SetColor(!Enabled() ? GetDisabledFontColor() : IsSkinned() ? FontColor : DefaultFont()->Color());
    Repaint();
}

void TspSkinCustomComboBox::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS; return;
    case WM_TIMER:
        if (Message.WParam == kDragTimer) {
            TspSkinCustomControl::WndProc(Message);
            if (TimerMode == 1 && FListBox->ItemIndex() >= 1)
                FListBox->SetItemIndex(FListBox->ItemIndex() - 1);
            else if (TimerMode == 2 && FListBox->ItemIndex() < FListBox->Items()->Count() - 1)
                FListBox->SetItemIndex(FListBox->ItemIndex() + 1);
            return;
        }
        break;
    case WM_MOUSEWHEEL:
        if (FStyle == spcbFixedStyle) {
            const bool up = static_cast<std::int32_t>(Message.WParam) > 0;
            const int i = ItemIndex(), n = FListBox->Items()->Count();
            const int to = up ? i - 1 : i + 1;
            if (to >= 0 && to < n) {
                if (IsPopupVisible())
                    FListBox->SetItemIndex(to);
                else
                    SetItemIndex(to);
            }
            Message.Result = 0;
            return;
        }
        break;
    case CM_CANCELMODE: CancelModeFrom(reinterpret_cast<TControl*>(Message.LParam)); break;
    case WM_SIZE:
        TspSkinCustomControl::WndProc(Message);
        UpdateComboLayout();
        return;
    case WM_DESTROY: StopDragTimer(); break;
    default: break;
    }
    TspSkinCustomControl::WndProc(Message);
}

// ---- painting
// ----------------------------------------------------------------------

bool TspSkinCustomComboBox::Hot() const
{
    return (!IsNullRect(ActiveSkinRect) && FMouseIn) || (FEdit && FEdit->Focused()) ||
           const_cast<TspSkinCustomComboBox*>(this)->Focused();
}

int TspSkinCustomComboBox::DisplayedIndex()
{
    const int i = IsPopupVisible() ? FOldItemIndex : FListBox->ItemIndex();
    return i >= 0 && i < FListBox->Items()->Count() ? i : -1;
}

void TspSkinCustomComboBox::DrawItemContent(TCanvas* C, int Index, int W, int H, TRect TR)
{
    C->Brush()->SetStyle(bsClear);
    if (OnComboBoxDrawItem) {
        OnComboBoxDrawItem(this, C, Index, W, H, TR, CBItem.State);
        return;
    }
    if (TCustomImageList* il = FListBox->Images()) {
        const int n = FListBox->ImageIndex() >= 0 ? FListBox->ImageIndex() : Index;
        if (n < il->Count())
            il->Draw(C, TR.left, TR.top + Ht(TR) / 2 - il->Height() / 2, n, true);
        TR.left += il->Width() + 2;
    }
    const std::string text = FListBox->Items()->Get(Index);
    if (FListBox->TabWidths()->Count() > 0)
        DrawTabbedText(text, FListBox->TabWidths(), 0, TR, C);
    else
        TextRectVCentered(C, text, TR);
}

void TspSkinCustomComboBox::DrawButton(TCanvas* C)
{
    const TRect R = Button.R;
    if (!IsSkinned()) {
        if (Button.Down && Button.MouseIn)
            FlatBox(C, R, kHotFrame, kDownFill);
        else if (Button.MouseIn)
            FlatBox(C, R, kHotFrame, kHotFill);
        else
            FlatBox(C, R, clBtnShadow, clBtnFace);
        DrawArrow(C, R, Enabled() ? clBlack : clBtnShadow, 4);
        return;
    }
    TRect src;
    if (!Enabled() && !IsNullRect(UnEnabledButtonRect))
        src = UnEnabledButtonRect;
    else if (Button.Down && Button.MouseIn)
        src = DownButtonRect;
    else if (Button.MouseIn)
        src = ActiveButtonRect;
    if (!IsNullRect(src) && Picture)
        C->CopyRect(R, Picture->Canvas(), src);
}

void TspSkinCustomComboBox::DrawStretchedButton(TCanvas* C)
{
    TspDataSkinButtonControl* p = ButtonPiece(FSD, {"combobutton", "editbutton", "resizebutton"});
    TBitmap* pic = p ? ActivePictureAt(FSD, p->PictureIndex) : nullptr;
    if (!p || !pic || Wd(Button.R) <= 0 || Ht(Button.R) <= 0)
        return;
    const bool down = Button.Down && Button.MouseIn, hot = Button.MouseIn;
    const TRect active = IsNullRect(p->ActiveSkinRect) ? p->SkinRect : p->ActiveSkinRect;
    const TRect downR = IsNullRect(p->DownSkinRect) ? active : p->DownSkinRect;
    const TRect src = down ? downR : hot ? active : p->SkinRect;
    const TColor color = down ? p->DownFontColor : hot ? p->ActiveFontColor : p->FontColor;
    TBitmap B;
    B.SetSize(Wd(Button.R), Ht(Button.R));
    ComposeButtonPiece(&B, p, pic, src);
    if (IsNullRect(p->MenuMarkerRect)) {
        if (Enabled())
            DrawArrow(B.Canvas(), down ? TRect(0, 2, B.Width(), B.Height()) : TRect(0, 0, B.Width(), B.Height()), color,
                      4);
    } else {
        TRect m = p->MenuMarkerRect;
        if (down && !IsNullRect(p->MenuMarkerDownRect))
            m = p->MenuMarkerDownRect;
        else if (hot && !IsNullRect(p->MenuMarkerActiveRect))
            m = p->MenuMarkerActiveRect;
        DrawMarker(B.Canvas(), TRect(0, down ? 1 : 0, B.Width(), B.Height() + (down ? 1 : 0)), pic, m,
                   p->MenuMarkerTransparentColor);
    }
    C->Draw(Button.R.left, Button.R.top, &B);
}

void TspSkinCustomComboBox::DrawDefaultComboItem(TCanvas* C)
{
    const int W = Wd(CBItem.R), H = Ht(CBItem.R);
    CBItem.State = Focused() ? TOwnerDrawState{odFocused} : TOwnerDrawState{};
    if (W <= 0 || H <= 0)
        return;
    const int index = DisplayedIndex();
    const bool focus = CBItem.State.Contains(odFocused);
    TBitmap B;
    B.SetSize(W, H);
    TCanvas* bc = B.Canvas();
    bc->Brush()->SetColor(focus ? clHighlight : FDefaultColor);
    bc->FillRect(TRect(0, 0, W, H));
    bc->Font()->SetName(Font()->Name());
    bc->Font()->SetStyle(Font()->Style());
    bc->Font()->SetHeight(Font()->Height());
    bc->Font()->SetCharset(SkinCharsetOr(FSD, DefaultFont()));
    bc->Font()->SetColor(focus ? clHighlightText : DefaultFont()->Color());
    if (index != -1)
        DrawItemContent(bc, index, W, H, TRect(2, 0, W - 2, H));
    if (focus)
        DrawDottedFocusRect(bc, TRect(0, 0, W, H));
    C->Draw(CBItem.R.left, CBItem.R.top, &B);
}

void TspSkinCustomComboBox::DrawSkinComboItem(TCanvas* C, TBitmap* Face, bool Stretched)
{
    const int W = Wd(CBItem.R);
    if (W <= 0 || !Picture)
        return;
    const bool focus = Focused();
    const bool hot = FMouseIn && !IsNullRect(ActiveItemRect) && !IsNullRect(ActiveSkinRect);
    int IH = Ht(SItemRect);
    if (IH <= 0)
        IH = Ht(FocusItemRect);
    if (IH <= 0)
        IH = std::max(1, Ht(CBItem.R));  // neither item picture: the item area's own height
    const int H = Stretched ? Ht(CBItem.R) : IH;
    if (H <= 0)
        return;
    TBitmap B;
    B.SetSize(W, H);
    const TRect src = focus ? FocusItemRect : hot ? ActiveItemRect : SItemRect;
    if (IsNullRect(src)) {
        // No picture for this state: the face under the item area.
        B.Canvas()->CopyRect(TRect(0, 0, W, H), Face->Canvas(), CBItem.R);
    } else if (!Stretched) {
        TBitmap part;
        CreateHSkinImage(ItemLeftOffset, ItemRightOffset, &part, Picture, src, W, H,
                         focus ? FocusItemStretchEffect : ItemStretchEffect);
        B.Canvas()->StretchDraw(TRect(0, 0, W, H), &part);
    } else {
        TRect corners = ItemTextRect;
        if (focus) {
            corners = TRect(corners.left + 1, corners.top + 1, corners.right - 1, corners.bottom - 1);
            const int dx = Wd(SItemRect) - Wd(FocusItemRect), dy = Ht(SItemRect) - Ht(FocusItemRect);
            if (dx > 0)
                corners.right -= dx;
            if (dy > 0)
                corners.top -= dy;
        }
        CreateStretchImage(&B, Picture, src, corners, true);
    }
    const int refW = IsNullRect(SItemRect) ? Wd(ClRect) : Wd(SItemRect);
    TRect TR = ItemTextRect;
    TR.right += W - refW;
    if (Stretched)
        TR.bottom += Height() - Ht(SkinRect);
    TCanvas* bc = B.Canvas();
    if (FUseSkinFont) {
        bc->Font()->SetName(FontName);
        bc->Font()->SetStyle(FontStyle);
        bc->Font()->SetHeight(FontHeight);
    } else {
        bc->Font()->Assign(DefaultFont());
    }
    bc->Font()->SetCharset(SkinCharsetOr(FSD, DefaultFont()));
    TColor color = focus ? FocusFontColor : (FMouseIn && !IsNullRect(ActiveSkinRect)) ? ActiveFontColor : FontColor;
    if (!Stretched && !Enabled())
        color = GetDisabledFontColor();
    bc->Font()->SetColor(color);
    if (!OnComboBoxDrawItem && focus && ShowFocus)
        DrawDottedFocusRect(bc, TRect(0, 0, W, H));
    const int index = DisplayedIndex();
    if (index != -1)
        DrawItemContent(bc, index, W, H, TR);
    C->Draw(CBItem.R.left, CBItem.R.top, &B);
}

void TspSkinCustomComboBox::DrawDefaultToolButton(TCanvas* C)
{
    const int W = Width(), H = Height();
    const TRect R(0, 0, W, H);
    if (FDropDown)
        FlatBox(C, R, kHotFrame, kDownFill);
    else if (FMouseIn || Focused())
        FlatBox(C, R, kHotFrame, kHotFill);
    else
        FlatBox(C, R, clBtnShadow, clBtnFace);
    C->Font()->Assign(DefaultFont());
    const int index = DisplayedIndex();
    if (index != -1)
        DrawItemContent(C, index, W, H, TRect(2, 2, W - 17, H - 2));
    DrawDropDownArrow(C, TRect(W - 15, 0, W, H), C->Font()->Color());
}

void TspSkinCustomComboBox::DrawSkinToolButton(TCanvas* C)
{
    TspDataSkinButtonControl* p = ButtonPiece(FSD, {"resizetoolbutton", "resizebutton"});
    TBitmap* pic = p ? ActivePictureAt(FSD, p->PictureIndex) : nullptr;
    if (!p || !pic)
        return;
    const int W = Width(), H = Height();
    const bool hot = FMouseIn || Focused();
    TRect src = FDropDown ? p->DownSkinRect : hot ? p->ActiveSkinRect : p->SkinRect;
    if (IsNullRect(src))
        src = p->SkinRect;
    TBitmap B;
    B.SetSize(W, H);
    ComposeButtonPiece(&B, p, pic, src);
    C->Draw(0, 0, &B);
    if (FUseSkinFont) {
        C->Font()->SetName(p->FontName);
        C->Font()->SetStyle(p->FontStyle);
        C->Font()->SetHeight(p->FontHeight);
    } else {
        C->Font()->Assign(DefaultFont());
    }
    C->Font()->SetCharset(SkinCharsetOr(FSD, DefaultFont()));
    C->Font()->SetColor(FDropDown   ? p->DownFontColor
                        : hot       ? p->ActiveFontColor
                        : Enabled() ? p->FontColor
                                    : p->DisabledFontColor);
    const int index = DisplayedIndex();
    if (index != -1)
        DrawItemContent(C, index, W, H, TRect(2, 2, W - 17, H - 2));
    const TRect arrow(W - 15, 0, W, H);
    if (!IsNullRect(p->MenuMarkerRect)) {
        TRect m = FDropDown && !IsNullRect(p->MenuMarkerDownRect) ? p->MenuMarkerDownRect
                  : !hot                                          ? p->MenuMarkerRect
                  : IsNullRect(p->MenuMarkerActiveRect)           ? p->MenuMarkerRect
                                                                  : p->MenuMarkerActiveRect;
        if (FDropDown && IsNullRect(p->MenuMarkerDownRect) && !IsNullRect(p->MenuMarkerActiveRect))
            m = p->MenuMarkerActiveRect;
        DrawMarker(C, arrow, pic, m, p->MenuMarkerTransparentColor);
    } else {
        DrawDropDownArrow(C, arrow, FDropDown ? p->DownFontColor : C->Font()->Color());
    }
}

void TspSkinCustomComboBox::DrawDefaultImage(TBitmap* B)
{
    UpdateComboLayout();
    TCanvas* C = B->Canvas();
    if (FToolButtonStyle) {
        DrawDefaultToolButton(C);
        return;
    }
    const TRect R(0, 0, Width(), Height());
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(R);
    C->Brush()->SetColor(clBtnShadow);
    C->FrameRect(R);
    C->Brush()->SetColor(FDefaultColor);
    C->FillRect(TRect(2, 2, R.right - 2, R.bottom - 2));
    DrawButton(C);
    if (FStyle == spcbFixedStyle)
        DrawDefaultComboItem(C);
}

void TspSkinCustomComboBox::DrawSkinImage(TBitmap* B)
{
    UpdateComboLayout();
    TCanvas* C = B->Canvas();
    if (FToolButtonStyle) {
        DrawSkinToolButton(C);
        return;
    }
    const bool hot = (!IsNullRect(ActiveSkinRect) && FMouseIn) || (FEdit && FEdit->Focused()) || Focused();
    if (!FUseSkinSize) {
        B->Canvas()->Brush()->SetColor(clBtnFace);
        B->Canvas()->FillRect(TRect(0, 0, Width(), Height()));
        CreateStretchImage(B, Picture, hot && !IsNullRect(ActiveSkinRect) ? ActiveSkinRect : SkinRect, ClRect, true);
    } else if (hot && !IsNullRect(ActiveSkinRect)) {
        TBitmap part;
        CreateHSkinImage(LTPt.x, Wd(ActiveSkinRect) - RTPt.x, &part, Picture, ActiveSkinRect, Width(),
                         Ht(ActiveSkinRect), StretchEffect);
        C->Draw(0, 0, &part);
    } else {
        TspSkinCustomControl::DrawSkinImage(B);
    }
    if (FUseSkinSize)
        DrawButton(C);
    else
        DrawStretchedButton(C);
    if (FStyle == spcbFixedStyle)
        DrawSkinComboItem(C, B, !FUseSkinSize);
}

// ---- descriptions
// ------------------------------------------------------------------

void TspSkinCustomComboBox::DeclarePublished(TPublisher<TspSkinCustomComboBox>&) {}

void TspSkinComboBox::DeclarePublished(TPublisher<TspSkinComboBox>& P)
{
    using C = TspSkinCustomComboBox;
    P.Property("SkinData", &C::SkinData, &C::SetSkinData);
    P.Property("SkinDataName", &C::SkinDataName, &C::SetSkinDataName, std::string("combobox"));
    P.Property("DefaultFont", &C::DefaultFont, &C::SetDefaultFont);
    P.Property("UseSkinFont", &C::UseSkinFont, &C::SetUseSkinFont, true);
    P.Property("ToolButtonStyle", &C::ToolButtonStyle, &C::SetToolButtonStyle, false);
    P.Property("HideSelection", &C::HideSelection, &C::SetHideSelection, true);
    P.Property("AutoComplete", &C::AutoComplete, &C::SetAutoComplete, true);
    P.Property("HorizontalExtent", &C::HorizontalExtent, &C::SetHorizontalExtent, false);
    P.Property("Images", &C::Images, &C::SetImages);
    P.Property("ImageIndex", &C::ImageIndex, &C::SetImageIndex, -1);
    P.Property("ListBoxUseSkinItemHeight", &C::ListBoxUseSkinItemHeight, &C::SetListBoxUseSkinItemHeight, true);
    P.Property("ListBoxAlphaBlend", &C::ListBoxAlphaBlend, &C::SetListBoxAlphaBlend, false);
    P.Property("ListBoxAlphaBlendAnimation", &C::ListBoxAlphaBlendAnimation, &C::SetListBoxAlphaBlendAnimation, false);
    P.Property("ListBoxAlphaBlendValue", &C::ListBoxAlphaBlendValue, &C::SetListBoxAlphaBlendValue, Byte{200});
    P.Property("ListBoxWidth", &C::ListBoxWidth, &C::SetListBoxWidth, 0);
    P.Property("ListBoxCaption", &C::ListBoxCaption, &C::SetListBoxCaption, std::string());
    P.Property("ListBoxCaptionMode", &C::ListBoxCaptionMode, &C::SetListBoxCaptionMode, false);
    P.Property("ListBoxUseSkinFont", &C::ListBoxUseSkinFont, &C::SetListBoxUseSkinFont, true);
    P.Property("ListBoxDefaultFont", &C::ListBoxDefaultFont, &C::SetListBoxDefaultFont);
    P.Property("ListBoxDefaultCaptionFont", &C::ListBoxDefaultCaptionFont, &C::SetListBoxDefaultCaptionFont);
    P.Property("ListBoxDefaultItemHeight", &C::ListBoxDefaultItemHeight, &C::SetListBoxDefaultItemHeight, 20);
    P.Property("ListBoxCaptionAlignment", &C::ListBoxCaptionAlignment, &C::SetListBoxCaptionAlignment, taLeftJustify);
    P.Property("TabWidths", &C::TabWidths, &C::SetTabWidths);
    P.Property("CharCase", &C::CharCase, &C::SetCharCase, ecNormal);
    P.Property("DefaultColor", &C::DefaultColor, &C::SetDefaultColor, clWindow);
    P.Property("Items", &C::Items, &C::SetItems);
    P.Property("ItemIndex", &C::ItemIndex, &C::SetItemIndex, -1);
    P.Property("DropDownCount", &C::DropDownCount, &C::SetDropDownCount, 8);
    P.Property("Sorted", &C::Sorted, &C::SetSorted, false);
    P.Property("Style", &C::Style, &C::SetStyle, spcbFixedStyle);
    P.Property("UseSkinSize", &C::UseSkinSize, &C::SetUseSkinSize, true);
    P.Property("OnComboBoxDrawItem", &C::OnComboBoxDrawItem);
    P.Property("OnChange", &C::OnChange);
    P.Property("OnClick", &C::OnClick);
    P.Property("OnCloseUp", &C::OnCloseUp);
    P.Property("OnDropDown", &C::OnDropDown);
}

void RegisterSkinComboBoxClasses() { RegisterClasses<TspSkinComboBox, TspPopupListBox>(); }
