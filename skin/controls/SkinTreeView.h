#pragma once
// The skinned tree view: the platform's native tree without frame or native
// bars, coloured from a "treeview" piece and, with DrawSkin, every node
// drawn here: lines fading towards the text, expand buttons from the skin
// (or an image list, or a built-in square), the node image and selected
// nodes on a list-box piece. Two skinned bars stand in for the native ones.
#include "platform/gui/TreeViews.h"
#include "skin/controls/SkinViewParts.h"

#include <memory>
#include <string>

class TspSkinCustomTreeView : public TCustomTreeView {
public:
    explicit TspSkinCustomTreeView(TComponent* AOwner);
    ~TspSkinCustomTreeView() override;

    TspSkinData* SkinData() const { return FSD; }
    void SetSkinData(TspSkinData* Value);
    const std::string& SkinDataName() const { return FSkinDataName; }
    void SetSkinDataName(const std::string& Value) { FSkinDataName = Value; }
    const std::string& ItemSkinDataName() const { return FItemSkinDataName; }
    void SetItemSkinDataName(const std::string& Value) { FItemSkinDataName = Value; }
    const std::string& CheckSkinDataName() const { return FCheckSkinDataName; }
    void SetCheckSkinDataName(const std::string& Value) { FCheckSkinDataName = Value; }
    TFont* DefaultFont() { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value);
    TColor DefaultColor() const { return FDefaultColor; }
    void SetDefaultColor(TColor Value);
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    bool DrawSkin() const { return FDrawSkin; }
    virtual void SetDrawSkin(bool Value);
    TCustomImageList* ButtonImageList() const { return FButtonImageList; }
    void SetButtonImageList(TCustomImageList* Value) { SetComponentReference(this, FButtonImageList, Value); }
    int ButtonNoExpandImageIndex() const { return FButtonNoExpandImageIndex; }
    void SetButtonNoExpandImageIndex(int Value) { FButtonNoExpandImageIndex = Value; }
    int ButtonExpandImageIndex() const { return FButtonExpandImageIndex; }
    void SetButtonExpandImageIndex(int Value) { FButtonExpandImageIndex = Value; }
    TspSkinScrollBar* VScrollBar() const { return FVScrollBar; }
    void SetVScrollBar(TspSkinScrollBar* Value);
    TspSkinScrollBar* HScrollBar() const { return FHScrollBar; }
    void SetHScrollBar(TspSkinScrollBar* Value);

    // Reads the skin again (nothing while loading).
    virtual void ChangeSkinData();
    // Brings the bars in line with the native tree.
    void UpDateScrollBars();

    int FIndex = -1;
    TBitmap FExpandImage, FNoExpandImage;  // empty when the skin has none
    TColor FLineColor = 0x808080;
    TColor FButtonColor = 0x808080;
    int FButtonSize = 5;  // half the button's side
    bool FInCheckScrollBars = false;

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;

    PUBLISHED(TspSkinCustomTreeView, TCustomTreeView);

protected:
    void CreateParams(TCreateParams& Params) override;
    void VisibleChanged() override;
    void Change(TTreeNode* Node) override;
    void VScrollBarChange(TObject* Sender);
    void HScrollBarChange(TObject* Sender);
    void SkinDrawItem(TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState State, TCustomDrawStage Stage,
                      bool& PaintImages, bool& DefaultDraw);
    void DrawButtonAndLines(TRect R, TTreeNode* Node);
    void DrawNodeImage(TRect R, int ImageIndex);

private:
    bool Loading() const { return ComponentState().Contains(csLoading); }

    TspSkinData* FSD = nullptr;
    std::string FSkinDataName = "treeview";
    std::string FItemSkinDataName = "listbox";
    std::string FCheckSkinDataName = "checkbox";
    std::unique_ptr<TFont> FDefaultFont;
    TColor FDefaultColor = clWindow;
    bool FUseSkinFont = true;
    bool FDrawSkin = false;
    TCustomImageList* FButtonImageList = nullptr;
    int FButtonNoExpandImageIndex = 0, FButtonExpandImageIndex = 1;
    TspSkinScrollBar* FVScrollBar = nullptr;
    TspSkinScrollBar* FHScrollBar = nullptr;
};

// A line one pixel high from X1 rightwards in Color, opaque for its first
// half and fading out over the second; a line one pixel long is opaque.
void DrawFadingLine(TCanvas* Canvas, int X1, int X2, int Y, TColor Color);

void RegisterSkinTreeViewClasses();
