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

class TspSkinCustomTreeView : public TspSkinViewLink<TCustomTreeView> {
public:
    explicit TspSkinCustomTreeView(TComponent* AOwner);
    ~TspSkinCustomTreeView() override;

    bool DrawSkin() const { return FDrawSkin; }
    virtual void SetDrawSkin(bool Value);
    TCustomImageList* ButtonImageList() const { return FButtonImageList; }
    void SetButtonImageList(TCustomImageList* Value) { SetComponentReference(this, FButtonImageList, Value); }
    int ButtonNoExpandImageIndex() const { return FButtonNoExpandImageIndex; }
    void SetButtonNoExpandImageIndex(int Value) { FButtonNoExpandImageIndex = Value; }
    int ButtonExpandImageIndex() const { return FButtonExpandImageIndex; }
    void SetButtonExpandImageIndex(int Value) { FButtonExpandImageIndex = Value; }

    // Reads the skin again (nothing while loading).
    void ChangeSkinData() override;
    // Brings the bars in line with the native tree.
    void UpDateScrollBars() override;

    TBitmap FExpandImage, FNoExpandImage;  // empty when the skin has none
    TColor FLineColor = 0x808080;
    TColor FButtonColor = 0x808080;
    int FButtonSize = 5;  // half the button's side

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;

    PUBLISHED(TspSkinCustomTreeView, TCustomTreeView);

protected:
    void Change(TTreeNode* Node) override;
    void VScrollBarChange(TObject* Sender) override;
    void HScrollBarChange(TObject* Sender) override;
    void SkinDrawItem(TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState State, TCustomDrawStage Stage,
                      bool& PaintImages, bool& DefaultDraw);
    void DrawButtonAndLines(TRect R, TTreeNode* Node);
    void DrawNodeImage(TRect R, int ImageIndex);

private:
    bool FDrawSkin = false;
    TCustomImageList* FButtonImageList = nullptr;
    int FButtonNoExpandImageIndex = 0, FButtonExpandImageIndex = 1;
};

// A line one pixel high from X1 rightwards in Color, opaque for its first
// half and fading out over the second; a line one pixel long is opaque.
void DrawFadingLine(TCanvas* Canvas, int X1, int X2, int Y, TColor Color);

void RegisterSkinTreeViewClasses();
