#pragma once
// The skinned list view: the platform's native list view without frame or
// native bars, coloured from a "listview" piece; with DrawSkin its items are
// drawn here (selected ones on a list-box piece, check boxes from a check
// piece, report cells and grid lines), and its column header, the native
// "SysHeader32" child, is subclassed and drawn from a button piece. Two
// skinned bars stand in for the native ones.
#include "platform/gui/ListViews.h"
#include "platform/user/WindowClass.h"
#include "skin/controls/SkinViewParts.h"

#include <memory>
#include <string>

using TspDrawHeaderSectionEvent = TMethodPtr<void(TCanvas* Cnvs, TListColumn* Column, bool Pressed, TRect R)>;
using TspDrawSkinSubItemEvent = TMethodPtr<void(TCustomListView* Sender, TListItem* Item, int SubItemIndex,
                                                TCustomDrawState State, TCanvas* ACanvas, TRect ADrawRect)>;

class TspSkinCustomListView : public TCustomListView {
public:
    explicit TspSkinCustomListView(TComponent* AOwner);
    ~TspSkinCustomListView() override;

    TspSkinData* SkinData() const { return FSD; }
    void SetSkinData(TspSkinData* Value);
    const std::string& SkinDataName() const { return FSkinDataName; }
    void SetSkinDataName(const std::string& Value) { FSkinDataName = Value; }
    const std::string& ItemSkinDataName() const { return FItemSkinDataName; }
    void SetItemSkinDataName(const std::string& Value) { FItemSkinDataName = Value; }
    const std::string& CheckSkinDataName() const { return FCheckSkinDataName; }
    void SetCheckSkinDataName(const std::string& Value) { FCheckSkinDataName = Value; }
    const std::string& HeaderSkinDataName() const { return FHeaderSkinDataName; }
    void SetHeaderSkinDataName(const std::string& Value) { FHeaderSkinDataName = Value; }
    TFont* DefaultFont() { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value);
    TColor DefaultColor() const { return FDefaultColor; }
    void SetDefaultColor(TColor Value);
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    bool DrawSkin() const { return FDrawSkin; }
    virtual void SetDrawSkin(bool Value);
    bool DrawSkinLines() const { return FDrawSkinLines; }
    void SetDrawSkinLines(bool Value);
    TspSkinScrollBar* VScrollBar() const { return FVScrollBar; }
    void SetVScrollBar(TspSkinScrollBar* Value);
    TspSkinScrollBar* HScrollBar() const { return FHScrollBar; }
    void SetHScrollBar(TspSkinScrollBar* Value);

    TspDrawHeaderSectionEvent OnDrawHeaderSection;
    TspDrawSkinSubItemEvent OnDrawSkinSubItem;

    void ChangeSkinData();
    void UpDateScrollBars();

    int FIndex = -1;
    TColor FLineColor = 0xC0C0C0;
    bool FInCheckScrollBars = false;
    bool FromSB = false;
    int FOldVScrollBarPos = 0, FOldHScrollBarPos = 0;
    // The subclassed header.
    HWND FHeaderHandle = nullptr;
    WNDPROC FDefHeaderProc = nullptr;
    int FActiveSection = -1;
    bool FHeaderDown = false, FDevDown = false;

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;
    // Draws the header into DC (0: the header's own paint pass).
    void PaintHeader(HDC DC);

    PUBLISHED(TspSkinCustomListView, TCustomListView);

protected:
    void CreateParams(TCreateParams& Params) override;
    void VisibleChanged() override;
    void Change(TListItem* Item, TItemChange Change) override;
    void VScrollBarChange(TObject* Sender);
    void HScrollBarChange(TObject* Sender);
    void SkinDrawItem(TCustomListView* Sender, TListItem* Item, TCustomDrawState State, bool& DefaultDraw);

private:
    bool Loading() const { return ComponentState().Contains(csLoading); }
    TRect ItemZeroRect();
    void SubclassHeader(HWND Header);
    void ReleaseHeader();
    void HeaderWndProc(TMessage& Message);
    TRect GetSectionRect(int Index);
    void DrawHeaderSection(TCanvas* Cnvs, TListColumn* Column, bool Pressed, TRect R);
    void DrawSectionCaption(TCanvas* Cnvs, TListColumn* Column, TRect R);
    void DrawSubItems(TCanvas* C, TListItem* Item, TCustomDrawState State, TRect BR, int Shift, bool Cells);

    TspSkinData* FSD = nullptr;
    std::string FSkinDataName = "listview";
    std::string FItemSkinDataName = "listbox";
    std::string FCheckSkinDataName = "checkbox";
    std::string FHeaderSkinDataName = "resizetoolbutton";
    std::unique_ptr<TFont> FDefaultFont;
    TColor FDefaultColor = clWindow;
    bool FUseSkinFont = true;
    bool FDrawSkin = false, FDrawSkinLines = false;
    TspSkinScrollBar* FVScrollBar = nullptr;
    TspSkinScrollBar* FHScrollBar = nullptr;
    WNDPROC FHeaderInstance = nullptr;
};

class TspSkinListView : public TspSkinCustomListView {
public:
    explicit TspSkinListView(TComponent* AOwner) : TspSkinCustomListView(AOwner) {}
    PUBLISHED(TspSkinListView, TspSkinCustomListView) {}
};

void RegisterSkinListViewClasses();
