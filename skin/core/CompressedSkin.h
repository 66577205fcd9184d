#pragma once
// A whole skin in one zlib block: the form pictures, the further pictures
// (BMP images) and the INI text. A container (file or stored property) holds
// a version (2; readers take up to 3), the size N of the zlib data and the N
// bytes. The payload starts with a layout number that says which form
// pictures follow (layout 2: all five), each behind an empty flag, then the
// count and images of the further pictures, then the INI text.
//
// Every count and size read from a container or payload is checked against
// the data that is there: damaged or truncated data raises, never gives a
// partial skin.
#include "platform/classes/Collections.h"
#include "platform/classes/Component.h"
#include "platform/classes/Streams.h"

#include <memory>
#include <string>
#include <vector>

class TspSkinData;

class TspCompressedStoredSkin : public TComponent {
public:
    explicit TspCompressedStoredSkin(TComponent* AOwner);
    ~TspCompressedStoredSkin() override;

    // True when the block holds no byte.
    bool Empty() { return FCompressedStream->Size() == 0; }
    // The zlib data, without the container header.
    TMemoryStream* CompressedStream() const { return FCompressedStream.get(); }

    // Replaces the block with the skin data's current skin (layout 2).
    void LoadFromSkinData(TspSkinData* ASkinData);
    // Builds the block from a skin folder's INI file; a file that is no skin
    // changes nothing. Pictures are read as BMP files.
    void LoadFromIniFile(const std::string& AFileName);
    // Writes the container: version 2, N, the N bytes.
    void SaveToCompressStream(TStream* Stream);
    // Reads a container from the start of Stream; a version above 3 leaves
    // the block empty.
    void LoadFromCompressStream(TStream* Stream);
    void LoadFromCompressFile(const std::string& AFileName);
    // Writes the container to a file; an empty block writes no file.
    void SaveToCompressFile(const std::string& AFileName);
    // Writes the payload into S.
    void DeCompressToStream(TMemoryStream* S);

    const std::string& Description() const { return FDescription; }
    void SetDescription(const std::string& Value) { FDescription = Value; }
    const std::string& FileName() const { return FFileName; }
    // While designing (not loading) keeps the name part and rebuilds the
    // block from the file; otherwise only stores the value.
    void SetFileName(const std::string& Value);
    const std::string& CompressedFileName() const { return FCompressedFileName; }
    void SetCompressedFileName(const std::string& Value);

    // The block is stored in descriptions as the bytes "CompressedData".
    void DefineProperties(TFiler* Filer) override;
    PUBLISHED(TspCompressedStoredSkin, TComponent)
    {
        P.Property("Description", &TspCompressedStoredSkin::Description, &TspCompressedStoredSkin::SetDescription,
                   std::string());
        P.Property("FileName", &TspCompressedStoredSkin::FileName, &TspCompressedStoredSkin::SetFileName,
                   std::string());
        P.Property("CompressedFileName", &TspCompressedStoredSkin::CompressedFileName,
                   &TspCompressedStoredSkin::SetCompressedFileName, std::string());
    }

private:
    void ClearBlock();
    std::string FFileName;
    std::string FCompressedFileName;
    std::unique_ptr<TMemoryStream> FCompressedStream;
    std::string FDescription;
};

class TspCompressedSkinList;

// One skin of a list of skins; a new item is named "spSkin" and its index.
class TspSkinListItem : public TCollectionItem {
public:
    explicit TspSkinListItem(TCollection* ACollection);
    ~TspSkinListItem() override;
    // Copies the names, texts and skin block of another item.
    void Assign(TPersistent* Source) override;
    std::string DisplayName() const override { return FName; }

    TspCompressedStoredSkin* Skin() const { return FSkin.get(); }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    const std::string& Description() const { return FDescription; }
    void SetDescription(const std::string& Value) { FDescription = Value; }
    const std::string& FileName() const { return FFileName; }
    // Like the stored skin's setters, with "being designed" taken from the
    // list that owns the item.
    void SetFileName(const std::string& Value);
    const std::string& CompressedFileName() const { return FCompressedFileName; }
    void SetCompressedFileName(const std::string& Value);

    // The skin is stored in descriptions as the bytes "Skin" (the container
    // format of a compressed skin file).
    void DefineProperties(TFiler* Filer) override;
    PUBLISHED(TspSkinListItem, TPersistent)
    {
        P.Property("Description", &TspSkinListItem::Description, &TspSkinListItem::SetDescription, std::string());
        P.Property("FileName", &TspSkinListItem::FileName, &TspSkinListItem::SetFileName, std::string());
        P.Property("CompressedFileName", &TspSkinListItem::CompressedFileName,
                   &TspSkinListItem::SetCompressedFileName, std::string());
        P.Property("Name", &TspSkinListItem::Name, &TspSkinListItem::SetName, std::string());
    }

private:
    bool Designing() const;
    std::unique_ptr<TspCompressedStoredSkin> FSkin;
    std::string FDescription, FFileName, FCompressedFileName, FName;
};

// The items of a skin list.
class TspSkinListItems : public TCollection {
public:
    explicit TspSkinListItems(TspCompressedSkinList* ASkinList);
    TspSkinListItem* Add() { return static_cast<TspSkinListItem*>(TCollection::Add()); }
    TspSkinListItem* Items(int Index) const { return static_cast<TspSkinListItem*>(TCollection::Items(Index)); }
    TspCompressedSkinList* SkinList() const { return FSkinList; }
    TPersistent* GetOwner() const override;

private:
    TspCompressedSkinList* FSkinList;
};

class TspCompressedSkinList : public TComponent {
public:
    explicit TspCompressedSkinList(TComponent* AOwner);
    TspSkinListItems& Skins() { return FSkins; }
    // Copies the items of Value.
    void SetSkins(TspSkinListItems* Value) { FSkins.Assign(Value); }

    TspSkinListItems* SkinItems() { return &FSkins; }
    PUBLISHED(TspCompressedSkinList, TComponent)
    {
        P.Property("Skins", &TspCompressedSkinList::SkinItems, &TspCompressedSkinList::SetSkins);
    }

private:
    TspSkinListItems FSkins;
};
