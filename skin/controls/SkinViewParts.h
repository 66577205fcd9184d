#pragma once
// What the skinned tree and list views share. Both stand on a native view
// created without scroll bars; one or two skinned bars beside the view stand
// in for them and are kept in step after every size, paint, key, click and
// selection change. Selected rows are drawn on a list-box piece.
#include "platform/gui/Controls.h"
#include "platform/gui/Graphics.h"
#include "skin/controls/SkinScrollBars.h"
#include "skin/core/SkinEditPieces.h"
#include "skin/core/SkinMessages.h"

#include <memory>
#include <string>

// The skin's active picture at Index; null without one.
TBitmap* SkinPictureAt(const TspSkinData* Data, int Index);

// A view's bar setter: the bar is remembered with a free notification, and
// a new bar is enabled, hidden and reports its moves to OnChange.
void AttachViewBar(TComponent* View, TspSkinScrollBar*& Field, TspSkinScrollBar* Value, TNotifyEvent OnChange);

// Shows or hides Bar with Guard set around the change; true when the bar's
// visibility changed. Nothing without a bar.
bool SetViewBarVisible(TspSkinScrollBar* Bar, bool Visible, bool& Guard);

// The end of every bar update: the horizontal bar takes its corner look
// while the vertical one shows, and an aligned view has its parent re-align
// when a bar came or went (with Guard set, so the view's own sizing does not
// start another update).
void FinishViewBars(TControl* View, TspSkinScrollBar* VBar, TspSkinScrollBar* HBar, bool Changed, bool& Guard);

// Each bar's Align set again to its own value, so the parent re-aligns it.
void RealignViewBars(TspSkinScrollBar* VBar, TspSkinScrollBar* HBar);

// The view's font from a skin piece (name, style and height with
// UseSkinFont, else DefaultFont's; the piece's colour) with the string
// table's character set.
void ApplyViewSkinFont(TFont* Font, TFont* DefaultFont, bool UseSkinFont, const std::string& Name, TFontStyles Style,
                       int Height, TColor Color, const TspSkinData* Data);
// DefaultFont's character set unless the skin has a string table.
void ApplyViewCharset(TFont* Font, TFont* DefaultFont, const TspSkinData* Data);

// The list-box piece named Name when the skin has one of that kind (null
// otherwise, and then the native drawing stays).
TspDataSkinListBox* FindItemPiece(const TspSkinData* Data, const std::string& Name);

// B (already sized) becomes a selected row: the focused or the active item
// picture stretched around its text part, the canvas font Font in the
// matching colour over a clear brush.
void DrawSelectedItemBack(TBitmap* B, const TspDataSkinListBox& Item, TBitmap* Picture, bool Focused, TFont* Font);

// What both skinned views keep on top of their native base: the skin link
// (piece, item and check piece names), the built-in font and colour, the two
// bars, and a window without frame, native bars or non-client area.
template <class TBase>
class TspSkinViewLink : public TBase {
public:
    explicit TspSkinViewLink(TComponent* AOwner, const char* ASkinDataName)
        : TBase(AOwner), FSkinDataName(ASkinDataName), FDefaultFont(std::make_unique<TFont>())
    {
        InitSkinDefaultFont(*FDefaultFont);
    }

    TspSkinData* SkinData() const { return FSD; }
    void SetSkinData(TspSkinData* Value)
    {
        SetComponentReference(this, FSD, Value);
        if (FSD && !FSD->Empty && !this->ComponentState().Contains(csDesigning))
            ChangeSkinData();
    }
    const std::string& SkinDataName() const { return FSkinDataName; }
    void SetSkinDataName(const std::string& Value) { FSkinDataName = Value; }
    const std::string& ItemSkinDataName() const { return FItemSkinDataName; }
    void SetItemSkinDataName(const std::string& Value) { FItemSkinDataName = Value; }
    const std::string& CheckSkinDataName() const { return FCheckSkinDataName; }
    void SetCheckSkinDataName(const std::string& Value) { FCheckSkinDataName = Value; }
    TFont* DefaultFont() { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value)
    {
        FDefaultFont->Assign(Value);
        if (FIndex == -1)
            this->Font()->Assign(Value);
    }
    TColor DefaultColor() const { return FDefaultColor; }
    void SetDefaultColor(TColor Value)
    {
        FDefaultColor = Value;
        if (FIndex == -1)
            this->SetColor(Value);
    }
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    TspSkinScrollBar* VScrollBar() const { return FVScrollBar; }
    void SetVScrollBar(TspSkinScrollBar* Value)
    {
        AttachViewBar(this, FVScrollBar, Value, MakeEvent(this, &TspSkinViewLink::VScrollBarChanged));
        UpDateScrollBars();
    }
    TspSkinScrollBar* HScrollBar() const { return FHScrollBar; }
    void SetHScrollBar(TspSkinScrollBar* Value)
    {
        AttachViewBar(this, FHScrollBar, Value, MakeEvent(this, &TspSkinViewLink::HScrollBarChanged));
        UpDateScrollBars();
    }

    virtual void ChangeSkinData() = 0;
    virtual void UpDateScrollBars() = 0;

    int FIndex = -1;
    bool FInCheckScrollBars = false;

    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TBase::Notification(AComponent, Operation);
        if (Operation != opRemove)
            return;
        if (AComponent == FSD)
            FSD = nullptr;
        if (AComponent == FVScrollBar)
            FVScrollBar = nullptr;
        if (AComponent == FHScrollBar)
            FHScrollBar = nullptr;
    }

protected:
    virtual void VScrollBarChange(TObject* Sender) = 0;
    virtual void HScrollBarChange(TObject* Sender) = 0;
    void CreateParams(TCreateParams& Params) override
    {
        TBase::CreateParams(Params);
        Params.Style &= ~(WS_HSCROLL | WS_VSCROLL | WS_BORDER);
        Params.ExStyle &= ~WS_EX_CLIENTEDGE;
    }
    void VisibleChanged() override
    {
        TBase::VisibleChanged();
        for (TspSkinScrollBar* bar : {FVScrollBar, FHScrollBar})
            if (bar)
                bar->SetVisible(this->Visible());
    }
    // No non-client area and no frame: answers the messages that would
    // make or paint one; true when Message was answered.
    bool AnswerFrameMessage(TMessage& Message)
    {
        switch (Message.Msg) {
        case WM_NCCALCSIZE:
        case WM_NCPAINT: Message.Result = 0; return true;
        case WM_NCHITTEST: Message.Result = HTCLIENT; return true;
        case WM_SKINPAINTFRAME: Message.Result = 0x3233; return true;
        default: return false;
        }
    }
    bool Loading() const { return this->ComponentState().Contains(csLoading); }

    TspSkinData* FSD = nullptr;
    std::string FSkinDataName;
    std::string FItemSkinDataName = "listbox";
    std::string FCheckSkinDataName = "checkbox";
    std::unique_ptr<TFont> FDefaultFont;
    TColor FDefaultColor = clWindow;
    bool FUseSkinFont = true;
    TspSkinScrollBar* FVScrollBar = nullptr;
    TspSkinScrollBar* FHScrollBar = nullptr;

private:
    void VScrollBarChanged(TObject* Sender) { VScrollBarChange(Sender); }
    void HScrollBarChanged(TObject* Sender) { HScrollBarChange(Sender); }
};

// The published rows of the skin link, the same in both views.
template <class C>
void DeclareViewLinkRows(TPublisher<C>& P, const char* SkinDataName)
{
    P.Property("SkinData", &C::SkinData, &C::SetSkinData);
    P.Property("SkinDataName", &C::SkinDataName, &C::SetSkinDataName, SkinDataName);
    P.Property("ItemSkinDataName", &C::ItemSkinDataName, &C::SetItemSkinDataName, "listbox");
    P.Property("CheckSkinDataName", &C::CheckSkinDataName, &C::SetCheckSkinDataName, "checkbox");
    P.Property("DefaultFont", &C::DefaultFont, &C::SetDefaultFont);
    P.Property("DefaultColor", &C::DefaultColor, &C::SetDefaultColor, clWindow);
    P.Property("UseSkinFont", &C::UseSkinFont, &C::SetUseSkinFont, true);
    P.Property("VScrollBar", &C::VScrollBar, &C::SetVScrollBar);
    P.Property("HScrollBar", &C::HScrollBar, &C::SetHScrollBar);
}
