#include "skin/core/CompressedSkin.h"

#include "platform/classes/FormReader.h"

#include "platform/classes/IniFiles.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/SysUtils.h"
#include "skin/core/SkinData.h"
#include "skin/core/SkinValues.h"
#include "skin/core/ZLibStreams.h"

#include <cstring>

namespace {

constexpr std::int32_t kWrittenVersion = 2;
constexpr std::int32_t kHighestVersion = 3;
constexpr std::int32_t kWrittenLayout = 2;
// A payload larger than this is refused rather than inflated into memory.
constexpr std::int64_t kMaxPayload = std::int64_t(512) << 20;
// The smallest BMP file image: file header and the oldest info header.
constexpr std::int64_t kMinBmpImage = 26;

[[noreturn]] void Damaged(const std::string& why)
{
    throw ESkinDataError("The compressed skin is damaged: " + why);
}

std::int32_t ReadInt32(TStream* s, const char* what)
{
    std::uint8_t b[4];
    if (s->Read(b, 4) != 4)
        Damaged(std::string("no ") + what);
    return static_cast<std::int32_t>(std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
                                     std::uint32_t(b[3]) << 24);
}

void WriteInt32(TStream* s, std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    const std::uint8_t b[4] = {std::uint8_t(u), std::uint8_t(u >> 8), std::uint8_t(u >> 16), std::uint8_t(u >> 24)};
    s->WriteBuffer(b, 4);
}

// The form pictures a layout holds, as flags for: picture, inactive
// picture, mask, roll-up picture, roll-up mask.
const bool* LayoutPictures(std::int32_t layout)
{
    static const bool layouts[4][5] = {
        {true, false, true, false, false},
        {true, false, true, true, true},
        {true, true, true, true, true},
        {true, true, true, false, false},
    };
    return layouts[layout < 0 ? 0 : layout];
}

void WriteFlaggedPicture(TStream* s, TBitmap& picture)
{
    const std::uint8_t empty = picture.Empty() ? 1 : 0;
    s->WriteBuffer(&empty, 1);
    if (!empty)
        picture.SaveToStream(s);
}

std::string ReadRest(TStream* s)
{
    const std::int64_t left = s->Size() - s->Position();
    std::string text(static_cast<std::size_t>(std::max<std::int64_t>(left, 0)), '\0');
    if (left > 0)
        s->ReadBuffer(text.data(), left);
    return text;
}

void CompressInto(TMemoryStream& payload, TMemoryStream& block)
{
    block.Clear();
    CompressStreamMax(&payload, &block);
}

}  // namespace

// ---------------------------------------------------------------------------

TspCompressedStoredSkin::TspCompressedStoredSkin(TComponent* AOwner)
    : TComponent(AOwner), FCompressedStream(std::make_unique<TMemoryStream>())
{
}

TspCompressedStoredSkin::~TspCompressedStoredSkin() = default;

void TspCompressedStoredSkin::ClearBlock() { FCompressedStream->Clear(); }

void TspCompressedStoredSkin::LoadFromSkinData(TspSkinData* ASkinData)
{
    TMemoryStream payload;
    WriteInt32(&payload, kWrittenLayout);
    for (auto* picture : {ASkinData->FPicture.get(), ASkinData->FInActivePicture.get(), ASkinData->FMask.get(),
                                ASkinData->FRollUpPicture.get(), ASkinData->FRollUpMask.get()})
        WriteFlaggedPicture(&payload, *picture);
    WriteInt32(&payload, static_cast<std::int32_t>(ASkinData->FActivePictures.size()));
    for (const auto& picture : ASkinData->FActivePictures)
        picture->SaveToStream(&payload);
    TStringList empty;
    TMemIniFile ini(&empty);
    ASkinData->SaveToCustomIniFile(ini);
    TStringList lines;
    ini.GetStrings(&lines);
    const std::string text = lines.Text();
    payload.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
    CompressInto(payload, *FCompressedStream);
}

void TspCompressedStoredSkin::LoadFromIniFile(const std::string& AFileName)
{
    TStringList lines;
    lines.LoadFromFile(AFileName);
    TMemIniFile ini(&lines);
    if (!IsSkinIniFile(ini))
        return;
    ClearBlock();
    const std::string base = IncludeTrailingPathDelimiter(ExtractFilePath(AFileName));
    TMemoryStream payload;
    WriteInt32(&payload, kWrittenLayout);
    for (const char* key : {"picture", "inactivepicture", "mask", "rolluppicture", "rollupmask"}) {
        const std::string name = ini.ReadString("PICTURES", key, "");
        TBitmap picture;
        if (!name.empty())
            picture.LoadFromFile(SkinFilePath(base, name));
        WriteFlaggedPicture(&payload, picture);
    }
    TStringList names;
    ReadStrings(ini, "PICTURES", "activepictures", names);
    WriteInt32(&payload, names.Count());
    for (int i = 0; i < names.Count(); ++i) {
        TBitmap picture;
        picture.LoadFromFile(SkinFilePath(base, names[i]));
        picture.SaveToStream(&payload);
    }
    const std::string text = lines.Text();
    payload.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
    CompressInto(payload, *FCompressedStream);
}

void TspCompressedStoredSkin::SaveToCompressStream(TStream* Stream)
{
    WriteInt32(Stream, kWrittenVersion);
    WriteInt32(Stream, static_cast<std::int32_t>(FCompressedStream->Size()));
    if (FCompressedStream->Size() > 0)
        Stream->WriteBuffer(FCompressedStream->Memory(), FCompressedStream->Size());
}

void TspCompressedStoredSkin::LoadFromCompressStream(TStream* Stream)
{
    ClearBlock();
    Stream->SetPosition(0);
    const std::int32_t version = ReadInt32(Stream, "version");
    if (version > kHighestVersion)
        return;
    const std::int32_t size = ReadInt32(Stream, "data size");
    const std::int64_t left = Stream->Size() - Stream->Position();
    if (size < 0 || size > left)
        Damaged("its data size " + std::to_string(size) + " does not match the " + std::to_string(left) +
                " bytes that follow");
    FCompressedStream->SetSize(size);
    if (size > 0)
        Stream->ReadBuffer(FCompressedStream->Memory(), size);
    FCompressedStream->SetPosition(0);
}

void TspCompressedStoredSkin::LoadFromCompressFile(const std::string& AFileName)
{
    TFileStream file(AFileName, fmOpenRead | fmShareDenyWrite);
    LoadFromCompressStream(&file);
}

void TspCompressedStoredSkin::SaveToCompressFile(const std::string& AFileName)
{
    if (Empty())
        return;
    TFileStream file(AFileName, fmCreate);
    SaveToCompressStream(&file);
}

void TspCompressedStoredSkin::DeCompressToStream(TMemoryStream* S)
{
    DecompressStream(S, FCompressedStream.get(), kMaxPayload);
}

void TspCompressedStoredSkin::SetFileName(const std::string& Value)
{
    if (ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading)) {
        FFileName = ExtractFileName(Value);
        LoadFromIniFile(Value);
    } else {
        FFileName = Value;
    }
}

void TspCompressedStoredSkin::SetCompressedFileName(const std::string& Value)
{
    if (ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading)) {
        FCompressedFileName = ExtractFileName(Value);
        LoadFromCompressFile(Value);
    } else {
        FCompressedFileName = Value;
    }
}

// ---------------------------------------------------------------------------

TspSkinListItem::TspSkinListItem(TCollection* ACollection)
    : TCollectionItem(ACollection), FSkin(std::make_unique<TspCompressedStoredSkin>(nullptr)),
      FName("spSkin" + std::to_string(Index()))
{
}

TspSkinListItem::~TspSkinListItem() = default;

void TspSkinListItem::Assign(TPersistent* Source)
{
    auto* from = dynamic_cast<TspSkinListItem*>(Source);
    if (!from) {
        TCollectionItem::Assign(Source);
        return;
    }
    FName = from->FName;
    FDescription = from->FDescription;
    FFileName = from->FFileName;
    FCompressedFileName = from->FCompressedFileName;
    TMemoryStream* block = from->Skin()->CompressedStream();
    TMemoryStream* mine = FSkin->CompressedStream();
    mine->Clear();
    if (block->Size() > 0)
        mine->WriteBuffer(block->Memory(), block->Size());
}

bool TspSkinListItem::Designing() const
{
    auto* items = dynamic_cast<TspSkinListItems*>(Collection());
    TspCompressedSkinList* list = items ? items->SkinList() : nullptr;
    return list && list->ComponentState().Contains(csDesigning) && !list->ComponentState().Contains(csLoading);
}

void TspSkinListItem::SetFileName(const std::string& Value)
{
    if (Designing()) {
        FFileName = ExtractFileName(Value);
        FSkin->LoadFromIniFile(Value);
    } else {
        FFileName = Value;
    }
}

void TspSkinListItem::SetCompressedFileName(const std::string& Value)
{
    if (Designing()) {
        FCompressedFileName = ExtractFileName(Value);
        FSkin->LoadFromCompressFile(Value);
    } else {
        FCompressedFileName = Value;
    }
}

TspSkinListItems::TspSkinListItems(TspCompressedSkinList* ASkinList)
    : TCollection(MakeCollectionItem<TspSkinListItem>), FSkinList(ASkinList)
{
}

TPersistent* TspSkinListItems::GetOwner() const { return FSkinList; }

TspCompressedSkinList::TspCompressedSkinList(TComponent* AOwner) : TComponent(AOwner), FSkins(this) {}

// ---------------------------------------------------------------------------
// Loading a compressed skin into the skin data.

void TspSkinData::LoadCompressedStoredSkin(TspCompressedStoredSkin* AStoredSkin)
{
    if (!AStoredSkin || AStoredSkin->Empty())
        return;
    try {
        BeginLoad();
        ClearAll();
        TMemoryStream payload;
        AStoredSkin->DeCompressToStream(&payload);
        payload.SetPosition(0);
        const std::int32_t layout = ReadInt32(&payload, "layout");
        if (layout >= 4) {
            // A layout this reader does not know: an empty skin, not an error.
            AbortLoad();
            return;
        }
        const bool* present = LayoutPictures(layout);
        TBitmap* forms[] = {FPicture.get(), FInActivePicture.get(), FMask.get(), FRollUpPicture.get(),
                                   FRollUpMask.get()};
        for (int i = 0; i < 5; ++i) {
            if (!present[i])
                continue;
            std::uint8_t empty = 0;
            if (payload.Read(&empty, 1) != 1)
                Damaged("a form picture is missing");
            if (!empty)
                forms[i]->LoadFromStream(&payload);
        }
        const std::int32_t count = ReadInt32(&payload, "picture count");
        if (count < 0 || count > (payload.Size() - payload.Position()) / kMinBmpImage)
            Damaged("it names " + std::to_string(count) + " pictures");
        for (std::int32_t i = 0; i < count; ++i) {
            FActivePictures.push_back(std::make_unique<TBitmap>());
            FActivePictures.back()->LoadFromStream(&payload);
        }
        TStringList lines;
        lines.SetText(ReadRest(&payload));
        TMemIniFile ini(&lines);
        ReadSkinSections(ini, nullptr);
    } catch (...) {
        AbortLoad();
        throw;
    }
    EndLoad();
}

void TspSkinData::LoadFromCompressedFile(const std::string& FileName)
{
    TspCompressedStoredSkin stored(nullptr);
    stored.LoadFromCompressFile(FileName);
    if (!stored.Empty())
        LoadCompressedStoredSkin(&stored);
}

void TspSkinData::SaveToCompressedFile(const std::string& FileName)
{
    TspCompressedStoredSkin stored(nullptr);
    stored.LoadFromSkinData(this);
    stored.SaveToCompressFile(FileName);
}

void TspSkinData::SetCompressedStoredSkin(TspCompressedStoredSkin* Value)
{
    if (FCompressedStoredSkin && FCompressedStoredSkin != Value)
        RemoveFreeNotification(FCompressedStoredSkin);
    FCompressedStoredSkin = Value;
    if (Value) {
        FreeNotification(Value);
        if (!ComponentState().Contains(csDesigning))
            LoadCompressedStoredSkin(Value);
    }
}

void TspSkinData::SetSkinList(TspCompressedSkinList* Value)
{
    if (FCompressedSkinList && FCompressedSkinList != Value)
        RemoveFreeNotification(FCompressedSkinList);
    FCompressedSkinList = Value;
    if (!Value)
        return;
    FreeNotification(Value);
    if (!ComponentState().Contains(csDesigning) && FCompressedSkinIndex >= 0 &&
        FCompressedSkinIndex < Value->Skins().Count())
        LoadCompressedStoredSkin(Value->Skins().Items(FCompressedSkinIndex)->Skin());
}

void TspSkinData::SetSkinIndex(int Value)
{
    if (!FCompressedSkinList) {
        FCompressedSkinIndex = Value;
        return;
    }
    if (Value < 0 || Value >= FCompressedSkinList->Skins().Count())
        return;
    FCompressedSkinIndex = Value;
    if (!ComponentState().Contains(csDesigning))
        LoadCompressedStoredSkin(FCompressedSkinList->Skins().Items(Value)->Skin());
}

// ---- Stored descriptions ---------------------------------------------------------------

void TspCompressedStoredSkin::DefineProperties(TFiler* Filer)
{
    Filer->DefineBinaryProperty(
        "CompressedData",
        [this](TStream* Stream) {
            FCompressedStream->Clear();
            FCompressedStream->CopyFrom(Stream, 0);
        },
        [this](TStream* Stream) {
            FCompressedStream->SetPosition(0);
            Stream->CopyFrom(FCompressedStream.get(), 0);
        },
        true);
}

void TspSkinListItem::DefineProperties(TFiler* Filer)
{
    Filer->DefineBinaryProperty(
        "Skin", [this](TStream* Stream) { FSkin->LoadFromCompressStream(Stream); },
        [this](TStream* Stream) { FSkin->SaveToCompressStream(Stream); }, true);
}
