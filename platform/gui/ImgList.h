#pragma once
// Image lists: many small pictures of one size kept together and drawn by
// index, enabled or greyed. Pictures are held as 32-bit images with straight
// alpha; a masked picture turns its mask (or a mask colour) into
// transparency.
#include "platform/classes/Component.h"
#include "platform/gui/Graphics.h"

#include <vector>

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
ENUM_NAMES(TDrawingStyle, dsFocus, dsSelected, dsNormal, dsTransparent)
enum TImageType { itImage, itMask };
ENUM_NAMES(TImageType, itImage, itMask)
class TCustomImageList : public TComponent {
public:
    explicit TCustomImageList(TComponent* AOwner);
    // Width x Height of every picture (16 x 16 unless set); changing the
    // size clears the list.
    static TCustomImageList* CreateSize(int AWidth, int AHeight, TComponent* AOwner = nullptr);
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetWidth(int v);
    void SetHeight(int v);
    int Count() const { return static_cast<int>(FImages.size()); }
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor v) { FBkColor = v; }
    bool Masked() const { return FMasked; }
    void SetMasked(bool v) { FMasked = v; }
    TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle v) { FDrawingStyle = v; }
    TImageType ImageType() const { return FImageType; }
    void SetImageType(TImageType v) { FImageType = v; }

    // Adds the pictures of Image (one per Width pixels across); Mask's white
    // pixels are transparent. Returns the index of the first one.
    int Add(TBitmap* Image, TBitmap* Mask);
    // The same with the pixels of MaskColor transparent.
    int AddMasked(TBitmap* Image, TColor MaskColor);
    int AddIcon(TIcon* Image);
    void AddImages(TCustomImageList* Value);
    // Adds the pictures of Image as Add does, the first at Index (0 .. Count)
    // and the others after it. Returns Index.
    int Insert(int Index, TBitmap* Image, TBitmap* Mask);
    void Replace(int Index, TBitmap* Image, TBitmap* Mask);
    void Delete(int Index);
    void Clear();
    void Move(int CurIndex, int NewIndex);

    // Draws picture Index at (X, Y); a disabled picture is drawn greyed.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
    void StretchDraw(TCanvas* Canvas, const TRect& Rect, int Index, bool Enabled = true);
    // Copies picture Index into Image (32 bits with alpha).
    bool GetBitmap(int Index, TBitmap* Image);
    // Makes Image an icon of picture Index.
    void GetIcon(int Index, TIcon* Image);
    // The picture itself (32-bit, straight alpha).
    const TDibImage& Image(int Index) const;

    TNotifyEvent OnChange;
    void Assign(TPersistent* Source) override;
    // A description names the pictures by file (below the picture folder),
    // each cut into pictures of Width pixels across:
    //   Bitmaps = ('icons/toolbar.png')
    // The files are not written back (the list does not keep them).
    void DefineProperties(TFiler* Filer) override;
    PUBLISHED(TCustomImageList, TComponent);

protected:
    virtual void Change();
    // The one drawing path of Draw: a list that keeps its pictures elsewhere
    // draws them here. Style is the list's drawing style.
    virtual void DoDraw(int Index, TCanvas* Canvas, int X, int Y, TDrawingStyle Style, bool Enabled);

private:
    void CheckIndex(int Index) const;
    int AddImage(const TDibImage& bgra, const std::vector<bool>* transparent);
    std::vector<bool> MaskToClear(const TDibImage& bgra, TBitmap* Mask) const;
    TDibImage Greyed(const TDibImage& image) const;
    int FWidth = 16;
    int FHeight = 16;
    TColor FBkColor = clNone;
    bool FMasked = true;
    TDrawingStyle FDrawingStyle = dsNormal;
    TImageType FImageType = itImage;
    std::vector<TDibImage> FImages;
};

class TImageList : public TCustomImageList {
public:
    explicit TImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
    PUBLISHED(TImageList, TCustomImageList) {}
};
