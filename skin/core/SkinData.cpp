#include "skin/core/SkinData.h"

#include "platform/gui/JpegImage.h"
#include "platform/rtl/Checked.h"
#include "platform/rtl/SysUtils.h"
#include "skin/core/CompressedSkin.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinBarPieces.h"
#include "skin/core/SkinButtonPieces.h"
#include "skin/core/SkinDrawUtils.h"
#include "skin/core/SkinEditPieces.h"
#include "skin/core/SkinTextObjects.h"

#include <algorithm>

TspSkinData::TspSkinData(TComponent* AOwner)
    : TComponent(AOwner), PopupWindow(std::make_unique<TspDataSkinPopupWindow>()),
      LayerFrame(std::make_unique<TspDataSkinLayerFrame>()), HintWindow(std::make_unique<TspDataSkinHintWindow>()),
      FPicture(std::make_unique<TBitmap>()), FInActivePicture(std::make_unique<TBitmap>()),
      FMask(std::make_unique<TBitmap>()), FRollUpPicture(std::make_unique<TBitmap>()),
      FRollUpMask(std::make_unique<TBitmap>()), FSkinColors(std::make_unique<TspSkinColors>())
{
}

TspSkinData::~TspSkinData()
{
    Empty = true;
    ClearObjects();
}

namespace {

template <class List>
int IndexOfName(const List& list, const std::string& name)
{
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i]->IDName == name)
            return static_cast<int>(i);
    return -1;
}

}  // namespace

int TspSkinData::GetControlIndex(const std::string& AIDName) const { return IndexOfName(CtrlList, AIDName); }
int TspSkinData::GetIndex(const std::string& AIDName) const { return IndexOfName(ObjectList, AIDName); }
int TspSkinData::GetAreaIndex(const std::string& AIDName) const { return IndexOfName(AreaList, AIDName); }

void TspSkinData::ClearObjects()
{
    AreaList.clear();
    ObjectList.clear();
    CtrlList.clear();
    FActivePictures.clear();
    PopupWindow->WindowPictureIndex = -1;
    HintWindow->WindowPictureIndex = -1;
    LayerFrame->PictureIndex = -1;
    FCursorsNames.Clear();
    FActivePicturesNames.Clear();
    FSkinColors->SetColorsToDefault();
}

void TspSkinData::ClearAll()
{
    ClearObjects();
    for (auto* picture : {FPicture.get(), FInActivePicture.get(), FMask.get(), FRollUpPicture.get(), FRollUpMask.get()})
        picture->SetHandle(nullptr);
    FPictureName.clear();
    FInActivePictureName.clear();
    FMaskName.clear();
    FRollUpPictureName.clear();
    FRollUpMaskName.clear();
    Empty = true;
}

void TspSkinData::AddSkinArea(const std::string& AName, const TRect& ARect, bool AUseAnchors, bool AAnchorLeft,
                              bool AAnchorTop, bool AAnchorRight, bool AAnchorBottom)
{
    AreaList.push_back(std::make_unique<TspDataSkinArea>(AName, ARect, AUseAnchors, AAnchorLeft, AAnchorTop,
                                                         AAnchorRight, AAnchorBottom));
}

void TspSkinData::AddBitMap(const std::string& FileName)
{
    FActivePicturesNames.Add(ExtractFileName(FileName));
    FActivePictures.push_back(std::make_unique<TBitmap>());
    LoadSkinPicture(*FActivePictures.back(), FileName, ExtractFileName(FileName));
}

void TspSkinData::DeleteBitMap(int Index)
{
    if (Index < 0 || Index >= static_cast<int>(FActivePictures.size()) || Index >= FActivePicturesNames.Count())
        throw EListError(Format("List index out of bounds (%d)", Index));
    FActivePicturesNames.Delete(Index);
    FActivePictures.erase(FActivePictures.begin() + Index);
}

namespace {

// Sets the font of a piece of class T (or a descendant); false when the
// piece is of another class.
template <class T, class Piece>
bool ChangeFont(Piece* piece, const std::string& name, int correction)
{
    auto* p = dynamic_cast<T*>(piece);
    if (!p)
        return false;
    p->FontName = name;
    p->FontHeight = CheckedAdd(p->FontHeight, correction);
    if constexpr (std::is_same_v<T, TspDataSkinGridControl>) {
        p->FixedFontName = name;
        p->FixedFontHeight = CheckedAdd(p->FixedFontHeight, correction);
    }
    if constexpr (std::is_same_v<T, TspDataSkinListBox>) {
        p->CaptionFontName = name;
        p->CaptionFontHeight = CheckedAdd(p->CaptionFontHeight, correction);
    }
    return true;
}

}  // namespace

void TspSkinData::GlobalChangeFont(const std::string& ANewFontName, int AFontHeightCorrection)
{
    const std::string& n = ANewFontName;
    const int c = AFontHeightCorrection;
    HintWindow->FontName = n;
    HintWindow->FontHeight = CheckedAdd(HintWindow->FontHeight, c);
    for (auto& object : ObjectList) {
        auto* o = object.get();
        ChangeFont<TspDataSkinLabel>(o, n, c) || ChangeFont<TspDataSkinMenuItem>(o, n, c) ||
            ChangeFont<TspDataSkinMainMenuBarItem>(o, n, c) || ChangeFont<TspDataSkinCaption>(o, n, c);
    }
    for (auto& control : CtrlList) {
        auto* p = control.get();
        ChangeFont<TspDataSkinTreeView>(p, n, c) || ChangeFont<TspDataSkinListView>(p, n, c) ||
            ChangeFont<TspDataSkinRichEdit>(p, n, c) || ChangeFont<TspDataSkinTabControl>(p, n, c) ||
            ChangeFont<TspDataSkinGridControl>(p, n, c) || ChangeFont<TspDataSkinComboBox>(p, n, c) ||
            ChangeFont<TspDataSkinListBox>(p, n, c) || ChangeFont<TspDataSkinSpinEditControl>(p, n, c) ||
            ChangeFont<TspDataSkinEditControl>(p, n, c) || ChangeFont<TspDataSkinStdLabelControl>(p, n, c) ||
            ChangeFont<TspDataSkinLabelControl>(p, n, c) || ChangeFont<TspDataSkinGaugeControl>(p, n, c) ||
            ChangeFont<TspDataSkinButtonControl>(p, n, c) || ChangeFont<TspDataSkinCheckRadioControl>(p, n, c) ||
            ChangeFont<TspDataSkinPanelControl>(p, n, c) || ChangeFont<TspDataSkinExPanelControl>(p, n, c);
    }
}

namespace {

// Writes a picture under its stored name, in the format that name says.
void StorePicture(TBitmap& picture, const std::string& folder, const std::string& name)
{
    const std::string path = SkinFilePath(folder, name);
    ForceDirectories(ExtractFilePath(path));
    StoreSkinPicture(picture, path, name);
}

}  // namespace

void TspSkinData::StoreToDisk(const std::string& AFileName)
{
    const std::string folder = IncludeTrailingPathDelimiter(ExtractFilePath(AFileName));
    // Check every name before anything is written, so a bad name leaves no
    // half-written folder behind.
    const std::pair<TBitmap*, const std::string*> forms[] = {
        {FPicture.get(), &FPictureName},         {FInActivePicture.get(), &FInActivePictureName},
        {FMask.get(), &FMaskName},               {FRollUpPicture.get(), &FRollUpPictureName},
        {FRollUpMask.get(), &FRollUpMaskName},
    };
    for (const auto& [picture, name] : forms)
        if (!picture->Empty())
            SkinFilePath(folder, *name);
    for (int i = 0; i < FActivePicturesNames.Count(); ++i)
        SkinFilePath(folder, FActivePicturesNames[i]);

    SaveToFile(AFileName);
    for (const auto& [picture, name] : forms)
        if (!picture->Empty())
            StorePicture(*picture, folder, *name);
    const int n = std::min<int>(static_cast<int>(FActivePictures.size()), FActivePicturesNames.Count());
    for (int i = 0; i < n; ++i)
        StorePicture(*FActivePictures[i], folder, FActivePicturesNames[i]);
}

void TspSkinData::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FCompressedStoredSkin)
        FCompressedStoredSkin = nullptr;
    if (AComponent == FResourceStrData)
        FResourceStrData = nullptr;
    if (AComponent == FCompressedSkinList)
        FCompressedSkinList = nullptr;
}

void LoadSkinPicture(TBitmap& Bitmap, const std::string& Path, const std::string& Name)
{
    Bitmap.SetHandle(nullptr);
    if (IsJpegFileName(Name)) {
        TJPEGImage jpeg;
        jpeg.LoadFromFile(Path);
        Bitmap.Assign(&jpeg);
    } else {
        Bitmap.LoadFromFile(Path);
    }
}

void StoreSkinPicture(TBitmap& Bitmap, const std::string& Path, const std::string& Name)
{
    if (IsJpegFileName(Name)) {
        TJPEGImage jpeg;
        jpeg.Assign(&Bitmap);
        jpeg.SaveToFile(Path);
    } else {
        Bitmap.SaveToFile(Path);
    }
}

std::string SkinFilePath(const std::string& Base, const std::string& Name)
{
    bool bad = Name.empty() || Name[0] == '/' || Name[0] == '\\' || Name.find('\0') != std::string::npos;
    std::size_t start = 0;
    while (!bad && start <= Name.size()) {
        std::size_t end = Name.find_first_of("/\\", start);
        if (end == std::string::npos)
            end = Name.size();
        if (Name.compare(start, end - start, "..") == 0)
            bad = true;
        start = end + 1;
    }
    if (bad)
        throw ESkinDataError("The skin file name \"" + Name + "\" is not inside the skin folder");
    // Skins made elsewhere may separate folders with "\".
    std::string path = Base + Name;
    std::replace(path.begin() + static_cast<std::ptrdiff_t>(Base.size()), path.end(), '\\', '/');
    return path;
}

void TspSkinData::DeclarePublished(TPublisher<TspSkinData>& P)
{
    P.Property("DlgTreeViewDrawSkin", &TspSkinData::DlgTreeViewDrawSkin, nullptr, true);
    P.Property("DlgTreeViewItemSkinDataName", &TspSkinData::DlgTreeViewItemSkinDataName, nullptr,
               std::string("listbox"));
    P.Property("DlgListViewDrawSkin", &TspSkinData::DlgListViewDrawSkin, nullptr, true);
    P.Property("DlgListViewItemSkinDataName", &TspSkinData::DlgListViewItemSkinDataName, nullptr,
               std::string("listbox"));
    P.Property("AnimationForAllWindows", &TspSkinData::AnimationForAllWindows, nullptr, false);
    P.Property("ShowLayeredBorders", &TspSkinData::ShowLayeredBorders, &TspSkinData::SetShowLayeredBorders, true);
    P.Property("SkinnableForm", &TspSkinData::SkinnableForm, &TspSkinData::SetSkinnableForm, true);
    P.Property("EnableSkinEffects", &TspSkinData::EnableSkinEffects, nullptr, true);
    P.Property("AeroBlurEnabled", &TspSkinData::AeroBlurEnabled, &TspSkinData::SetAeroBlurEnabled, true);
    P.Property("ShowButtonGlowFrames", &TspSkinData::ShowButtonGlowFrames, nullptr, true);
    P.Property("ShowCaptionButtonGlowFrames", &TspSkinData::ShowCaptionButtonGlowFrames, nullptr, true);
    // SkinIndex before the references: they are set once everything is read.
    P.Property("SkinIndex", &TspSkinData::SkinIndex, &TspSkinData::SetSkinIndex, 0);
    P.Property("CompressedStoredSkin", &TspSkinData::CompressedStoredSkin, &TspSkinData::SetCompressedStoredSkin);
    P.Property("ResourceStrData", &TspSkinData::ResourceStrData, &TspSkinData::SetResourceStrData);
    P.Property("SkinList", &TspSkinData::SkinList, &TspSkinData::SetSkinList);
    P.Property("OnLoadData", &TspSkinData::OnLoadData);
}
