#pragma once
// An image list of PNG pictures with alpha. It is a real platform image list,
// so every control that takes an image list takes it, but it draws from its
// own collection of pictures: the platform list holds only same-sized
// placeholders that keep its count equal to the collection's (item I is
// placeholder I). Disabled pictures are drawn at half opacity.
//
// A description names each picture by file below the picture folder:
//   PngImages = <item Name = 'open' PngImage = 'icons/open.png' end>
// The files are not written back (the list keeps the pixels, not the name).
#include "platform/classes/Collections.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/PngImage.h"

class TspPngImageList;

class TspPngImage : public TPngImage {
public:
    PUBLISHED(TspPngImage, TPersistent) {}
};

class TspPngImageItem : public TCollectionItem {
public:
    explicit TspPngImageItem(TCollection* Collection);
    ~TspPngImageItem() override;

    TspPngImage* PngImage() const { return FPngImage; }
    // Copies the picture.
    void SetPngImage(TspPngImage* Value);
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }

    void Assign(TPersistent* Source) override;
    std::string DisplayName() const override;

    PUBLISHED(TspPngImageItem, TPersistent)
    {
        P.Property("Name", &TspPngImageItem::Name, &TspPngImageItem::SetName, std::string());
        P.Property("PngImage", &TspPngImageItem::PngImage);
    }

private:
    TspPngImage* FPngImage = nullptr;
    std::string FName;
};

class TspPngImageItems : public TCollection {
public:
    explicit TspPngImageItems(TspPngImageList* APngImageList);
    // Item Index; the collection's list-index error outside the items.
    TspPngImageItem* GetItem(int Index) const;
    TspPngImageItem* Add() { return static_cast<TspPngImageItem*>(TCollection::Add()); }
    TspPngImageList* PngImageList() const { return FPngImageList; }
    TPersistent* GetOwner() const override;

protected:
    // A leaving item takes its placeholder with it.
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

private:
    TspPngImageList* FPngImageList;
};

class TspPngImageList : public TCustomImageList {
public:
    explicit TspPngImageList(TComponent* AOwner);
    ~TspPngImageList() override;

    TspPngImageItems* PngImages() const { return FPngImages; }
    void SetPngImages(TspPngImageItems* Value);
    int PngWidth() const { return Width(); }
    int PngHeight() const { return Height(); }
    // A new size removes every picture, except while the list is being read
    // from a description.
    void SetPngWidth(int Value);
    void SetPngHeight(int Value);

    PUBLISHED(TspPngImageList, TCustomImageList)
    {
        P.Property("PngWidth", &TspPngImageList::PngWidth, &TspPngImageList::SetPngWidth, 16);
        P.Property("PngHeight", &TspPngImageList::PngHeight, &TspPngImageList::SetPngHeight, 16);
        P.Property("PngImages", &TspPngImageList::PngImages);
    }

protected:
    void DoDraw(int Index, TCanvas* Canvas, int X, int Y, TDrawingStyle Style, bool Enabled) override;

private:
    friend class TspPngImageItem;
    void InsertPlaceholder(int Index);
    // One placeholder per item again, after the platform list was cleared.
    void RebuildPlaceholders();
    TspPngImageItems* FPngImages = nullptr;
};

// Draws Png into Rect; a disabled one at half opacity through a copy.
void DrawPngItem(TPngImage* Png, TCanvas* Canvas, const TRect& Rect, bool Enabled);
// Scales every alpha by (Value + 1) / 256 (halves round to even); pictures
// without alpha get one first, grey and palette pictures become true colour
// with alpha Value. The transparent colour of a picture that marks one stays
// fully transparent.
void MakePngDisabled(TPngImage* Png, Byte Value);
