#pragma once
// The images menu: a drop-down grid of pictures from an image list (a
// palette or gallery) with optional full-width button and header rows,
// chosen by mouse or keys. Colour and menu buttons open one under themselves.
#include "platform/classes/Collections.h"
#include "platform/gui/CustomControl.h"
#include "platform/gui/ImgList.h"
#include "skin/controls/SkinMenuButtons.h"  // ISkinImagesMenuPopup
#include "skin/core/SkinData.h"

#include <memory>
#include <string>

class TspSkinImagesMenu;
class TspSkinHint;
class TspWindowReaper;

class TspImagesMenuItem : public TCollectionItem {
public:
    explicit TspImagesMenuItem(TCollection* ACollection) : TCollectionItem(ACollection) {}
    int ImageIndex = -1;
    std::string Caption;
    std::string Hint;
    bool Button = false;
    bool Header = false;
    TNotifyEvent OnClick;
    TRect ItemRect;
    void Assign(TPersistent* Source) override;
    PUBLISHED(TspImagesMenuItem, TCollectionItem);
};

class TspImagesMenuItems : public TCollection {
public:
    explicit TspImagesMenuItems(TspSkinImagesMenu* AImagesMenu);
    TspImagesMenuItem* Items(int Index) const { return static_cast<TspImagesMenuItem*>(TCollection::Items(Index)); }
    TspImagesMenuItem* Add() { return static_cast<TspImagesMenuItem*>(TCollection::Add()); }
    TPersistent* GetOwner() const override;

private:
    TspSkinImagesMenu* FMenu;
};

class TspSkinImagesMenuPopupWindow : public TCustomControl {
public:
    explicit TspSkinImagesMenuPopupWindow(TspSkinImagesMenu* AMenu);
    ~TspSkinImagesMenuPopupWindow() override;
    void Show(TRect PopupRect);
    void Hide(bool AProcessEvents);
    void ProcessKey(WORD Key);
    int ItemAtPos(int X, int Y) const;
    void CalcItemRects();
    void CalcSize();

    TspSkinImagesMenu* ImagesMenu;
    bool FSkinSupport = false;
    TBitmap* WindowPicture = nullptr;
    TBitmap* MaskPicture = nullptr;
    TPoint NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint;
    TRect NewItemsRect;
    int MouseInItem = -1, OldMouseInItem = -1;
    bool FDown = false, FItemDown = false;

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    void Paint() override;

private:
    void AppMessageHook(MSG& Msg, bool& Handled);
    void TrackMouse(int X, int Y);
    void SetHot(int Index);
    void MoveUp();
    void MoveDown();
    void MoveLeft();
    void MoveRight();
    bool IsHeader(int Index) const;
    void DrawItems(TCanvas* C);
    void DrawHeader(TCanvas* C, TRect R, const std::string& Caption);
    void DrawItemFrame(TCanvas* C, TRect R, bool Pressed);
    void DrawButtonText(TCanvas* C, const std::string& Caption, TRect R, bool Pressed, bool Hot);
    bool FClosing = false;
};

// Menu buttons of skin/controls open it through ISkinImagesMenuPopup.
class TspSkinImagesMenu : public TComponent, public ISkinImagesMenuPopup {
public:
    explicit TspSkinImagesMenu(TComponent* AOwner);
    ~TspSkinImagesMenu() override;

    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TspImagesMenuItems* ImagesItems() const { return FImagesItems.get(); }
    void SetImagesItems(TspImagesMenuItems* Value) { FImagesItems->Assign(Value); }
    int ItemIndex = -1;
    int ColumnsCount() const { return FColumnsCount; }
    void SetColumnsCount(int Value);
    TspSkinData* SkinData() const { return FSD; }
    void SetSkinData(TspSkinData* Value);
    TspSkinHint* SkinHint() const { return FSkinHint; }
    void SetSkinHint(TspSkinHint* Value);
    bool ShowHints = true;
    bool ShowSelectedItem = true;
    bool AlphaBlend = false;
    bool AlphaBlendAnimation = false;
    Byte AlphaBlendValue = 200;
    bool UseSkinFont = true;
    TFont* DefaultFont() const { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    TNotifyEvent OnItemClick, OnChange, OnMenuPopup, OnMenuClose;
    TNotifyEvent OnInternalChange, OnInternalMenuClose;

    TspImagesMenuItem* SelectedItem() const;
    void Popup(int X, int Y);
    void PopupFromRect(TRect R) override;
    bool SelectedPicture(TCustomImageList*& AImages, int& ImageIndex, std::string& Caption) const override;
    TNotifyEvent& InternalChangeNotice() override { return OnInternalChange; }
    TNotifyEvent& InternalCloseNotice() override { return OnInternalMenuClose; }
    void Hide();
    // Run by the window's Hide: frees it (later) and fires the events.
    void CloseUp(bool AProcessEvents);
    TspSkinImagesMenuPopupWindow* PopupWindow() const { return FPopupWindow; }
    void Notification(TComponent* AComponent, TOperation Operation) override;
    PUBLISHED(TspSkinImagesMenu, TComponent);

    int FOldItemIndex = -1;

private:
    TCustomImageList* FImages = nullptr;
    std::unique_ptr<TspImagesMenuItems> FImagesItems;
    int FColumnsCount = 1;
    TspSkinData* FSD = nullptr;
    TspSkinHint* FSkinHint = nullptr;
    std::unique_ptr<TFont> FDefaultFont;
    TspSkinImagesMenuPopupWindow* FPopupWindow = nullptr;
    TspWindowReaper* FReaper;
};

void RegisterSkinImagesMenuClasses();
