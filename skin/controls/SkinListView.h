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

class TspSkinCustomListView : public TspSkinViewLink<TCustomListView> {
public:
    explicit TspSkinCustomListView(TComponent* AOwner);
    ~TspSkinCustomListView() override;

    const std::string& HeaderSkinDataName() const { return FHeaderSkinDataName; }
    void SetHeaderSkinDataName(const std::string& Value) { FHeaderSkinDataName = Value; }
    bool DrawSkin() const { return FDrawSkin; }
    virtual void SetDrawSkin(bool Value);
    bool DrawSkinLines() const { return FDrawSkinLines; }
    void SetDrawSkinLines(bool Value);

    TspDrawHeaderSectionEvent OnDrawHeaderSection;
    TspDrawSkinSubItemEvent OnDrawSkinSubItem;

    void ChangeSkinData() override;
    void UpDateScrollBars() override;

    TColor FLineColor = 0xC0C0C0;
    bool FromSB = false;
    int FOldVScrollBarPos = 0, FOldHScrollBarPos = 0;
    // The subclassed header.
    HWND FHeaderHandle = nullptr;
    WNDPROC FDefHeaderProc = nullptr;
    int FActiveSection = -1;
    bool FHeaderDown = false, FDevDown = false;

    void Loaded() override;
    void WndProc(TMessage& Message) override;
    // Draws the header into DC (0: the header's own paint pass).
    void PaintHeader(HDC DC);

    PUBLISHED(TspSkinCustomListView, TCustomListView);

protected:
    void Change(TListItem* Item, TItemChange Change) override;
    void VScrollBarChange(TObject* Sender) override;
    void HScrollBarChange(TObject* Sender) override;
    void SkinDrawItem(TCustomListView* Sender, TListItem* Item, TCustomDrawState State, bool& DefaultDraw);

private:
    TRect ItemZeroRect();
    void SubclassHeader(HWND Header);
    void ReleaseHeader();
    void HeaderWndProc(TMessage& Message);
    TRect GetSectionRect(int Index);
    void DrawHeaderSection(TCanvas* Cnvs, TListColumn* Column, bool Pressed, TRect R);
    void DrawSectionCaption(TCanvas* Cnvs, TListColumn* Column, TRect R);
    void DrawSubItems(TCanvas* C, TListItem* Item, TCustomDrawState State, TRect BR, int Shift, bool Cells);

    std::string FHeaderSkinDataName = "resizetoolbutton";
    bool FDrawSkin = false, FDrawSkinLines = false;
    WNDPROC FHeaderInstance = nullptr;
};

class TspSkinListView : public TspSkinCustomListView {
public:
    explicit TspSkinListView(TComponent* AOwner) : TspSkinCustomListView(AOwner) {}
    PUBLISHED(TspSkinListView, TspSkinCustomListView) {}
};

void RegisterSkinListViewClasses();
