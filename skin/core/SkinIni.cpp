#include "skin/core/SkinIni.h"

#include "platform/classes/IniFiles.h"
#include "platform/rtl/Checked.h"
#include "platform/rtl/SysUtils.h"
#include "skin/core/SkinData.h"
#include "skin/core/SkinPieceFields.h"
#include "skin/core/SkinPieceKinds.h"
#include "skin/core/SkinValues.h"

#include <algorithm>

namespace {

constexpr const char* kVersion = "VERSION";
constexpr const char* kPictures = "PICTURES";
constexpr const char* kCursors = "CURSORS";
constexpr const char* kFormInfo = "FORMINFO";
constexpr const char* kAreas = "SKINAREAS";
constexpr const char* kObjects = "SKINOBJECTS";
constexpr const char* kControls = "SKINCONTROLS";

SKIN_ROWS(FormInfoRows, TspSkinData,
    r.insert(r.end(), {
        {"lefttoppoint", &C::LTPoint},
        {"righttoppoint", &C::RTPoint},
        {"leftbottompoint", &C::LBPoint},
        {"rightbottompoint", &C::RBPoint},
        {"clientrect", &C::ClRect},
        {"bgpictureindex", &C::BGPictureIndex, -1},
        {"mdibgpictureindex", &C::MDIBGPictureIndex, -1},
        {"maskrectarea", &C::MaskRectArea},
        {"leftstretch", &C::LeftStretch},
        {"rightstretch", &C::RightStretch},
        {"topstretch", &C::TopStretch},
        {"bottomstretch", &C::BottomStretch},
        {"stretcheffect", &C::StretchEffect},
        {"stretchtype", &C::StretchType},
        {"mdibgstretcheffect", &C::MDIBGStretchEffect},
        {"mdibgstretchtype", &C::MDIBGStretchType},
        {"buttonsrect", &C::ButtonsRect},
        {"captionrect", &C::CaptionRect},
        {"buttonsoffset", &C::ButtonsOffset},
        {"buttonsinleft", &C::CapButtonsInLeft},
        {"hittestlefttoppoint", &C::HitTestLTPoint},
        {"hittestrighttoppoint", &C::HitTestRTPoint},
        {"hittestleftbottompoint", &C::HitTestLBPoint},
        {"hittestrightbottompoint", &C::HitTestRBPoint},
        {"rollupleftpoint", &C::RollUpLeftPoint},
        {"rolluprightpoint", &C::RollUpRightPoint},
        {"mainmenurect", &C::MainMenuRect},
        {"iconrect", &C::IconRect},
        {"mainmenupopupup", &C::MainMenuPopupUp},
        {"borderwidth", &C::BorderW},
        {"formminwidth", &C::FormMinWidth},
        {"formminheight", &C::FormMinHeight},
        {"mditabstransparent", &C::MDITabsTransparent},
        {"mainmenubartransparent", &C::MainMenuBarTransparent},
        {"cursorindex", &C::CursorIndex, -1},
        {"autorenderinginactiveimage", &C::AutoRenderingInActiveImage},
        {"inactiveeffect", &C::InActiveEffect},
        {"sizegriparea", &C::SizeGripArea},
        {"statusbarname", &C::StatusBarName},
    });)

bool IsEmptyRect(const TRect& r)
{
    return std::int64_t(r.right) - r.left <= 0 || std::int64_t(r.bottom) - r.top <= 0;
}

// Loads one form picture; an empty name leaves it empty.
void LoadFormPicture(TBitmap& picture, const std::string& base, const std::string& name)
{
    picture.SetHandle(nullptr);
    if (!name.empty())
        LoadSkinPicture(picture, SkinFilePath(base, name), name);
}

}  // namespace

TspSkinAreaEntry ParseSkinAreaEntry(const std::string& S)
{
    TspSkinAreaEntry entry;
    const std::size_t colon = S.rfind(':');
    const std::size_t semicolon = S.rfind(';');
    const std::size_t end = semicolon == std::string::npos ? S.size() : semicolon;
    if (colon != std::string::npos) {
        entry.IDName = S.substr(0, colon);
        StrToRect(end > colon ? S.substr(colon + 1, end - colon - 1) : std::string(), entry.AreaRect);
    }
    if (semicolon != std::string::npos && S.size() - semicolon - 1 == 9) {
        const std::string flags = S.substr(semicolon + 1);
        entry.UseAnchors = flags[0] == '1';
        entry.AnchorLeft = flags[2] == '1';
        entry.AnchorTop = flags[4] == '1';
        entry.AnchorRight = flags[6] == '1';
        entry.AnchorBottom = flags[8] == '1';
    }
    return entry;
}

void SplitIDNameKind(const std::string& S, std::string& IDName, std::string& Kind)
{
    const std::size_t colon = S.find(':');
    if (colon == std::string::npos) {
        IDName.clear();
        Kind.clear();
        return;
    }
    IDName = S.substr(0, colon);
    Kind = S.substr(colon + 1);
}

// ---------------------------------------------------------------------------
// Reading

bool TspSkinData::LoadFromFile(const std::string& FileName)
{
    FLastError.clear();
    std::unique_ptr<TMemIniFile> ini;
    try {
        if (!FileExists(FileName)) {
            FLastError = "The skin file \"" + FileName + "\" does not exist";
            return false;
        }
        ini = std::make_unique<TMemIniFile>(FileName);
    } catch (const Exception& e) {
        FLastError = e.Message();
        return false;
    }
    if (!IsSkinIniFile(*ini)) {
        FLastError = "The file \"" + FileName + "\" is not a skin file";
        return false;
    }
    try {
        BeginLoad();
        ClearAll();
        const std::string base = IncludeTrailingPathDelimiter(ExtractFilePath(FileName));
        ReadSkinSections(*ini, &base);
    } catch (...) {
        AbortLoad();
        throw;
    }
    EndLoad();
    return true;
}

void TspSkinData::ReadSkinSections(TCustomIniFile& Ini, const std::string* Base)
{
    ReadVersion(Ini);
    ReadPictureNames(Ini);
    if (Base)
        ReadFormPictures(*Base);
    ReadActivePictures(Ini, Base);
    if (Base)
        ReadCursors(Ini, *Base);
    ReadFormInfo(Ini);
    PopupWindow->LoadFromFile(Ini);
    LayerFrame->LoadFromFile(Ini);
    HintWindow->LoadFromFile(Ini);
    FSkinColors->LoadFromFile(Ini);
    ReadSkinAreas(Ini);
    ReadSkinObjects(Ini);
    ReadSkinControls(Ini);
}

void TspSkinData::ReadVersion(TCustomIniFile& Ini)
{
    SkinName = Ini.ReadString(kVersion, "skinname", "");
    SkinAuthor = Ini.ReadString(kVersion, "skinauthor", "");
    AuthorEmail = Ini.ReadString(kVersion, "authoremail", "");
    AuthorURL = Ini.ReadString(kVersion, "authorurl", "");
    SkinComments = Ini.ReadString(kVersion, "skincomments", "");
}

void TspSkinData::ReadPictureNames(TCustomIniFile& Ini)
{
    FPictureName = Ini.ReadString(kPictures, "picture", "");
    FInActivePictureName = Ini.ReadString(kPictures, "inactivepicture", "");
    FMaskName = Ini.ReadString(kPictures, "mask", "");
    FRollUpPictureName = Ini.ReadString(kPictures, "rolluppicture", "");
    FRollUpMaskName = Ini.ReadString(kPictures, "rollupmask", "");
}

void TspSkinData::ReadFormPictures(const std::string& Base)
{
    LoadFormPicture(*FPicture, Base, FPictureName);
    LoadFormPicture(*FInActivePicture, Base, FInActivePictureName);
    LoadFormPicture(*FMask, Base, FMaskName);
    LoadFormPicture(*FRollUpPicture, Base, FRollUpPictureName);
    LoadFormPicture(*FRollUpMask, Base, FRollUpMaskName);
}

void TspSkinData::ReadActivePictures(TCustomIniFile& Ini, const std::string* Base)
{
    FActivePicturesNames.Clear();
    ReadStrings(Ini, kPictures, "activepictures", FActivePicturesNames);
    if (!Base)
        return;
    for (int i = 0; i < FActivePicturesNames.Count(); ++i) {
        FActivePictures.push_back(std::make_unique<TBitmap>());
        LoadFormPicture(*FActivePictures.back(), *Base, FActivePicturesNames[i]);
    }
}

void TspSkinData::ReadCursors(TCustomIniFile& Ini, const std::string& Base)
{
    StartCursorIndex = std::max(1, Ini.ReadInteger(kCursors, "startcursorindex", 1));
    FCursorsNames.Clear();
    ReadStrings(Ini, kCursors, "cursors", FCursorsNames);
    TspSkinCursorTable* table = SkinCursorTable();
    if (BuildMode || !table)
        return;
    for (int i = 0; i < FCursorsNames.Count(); ++i)
        table->LoadCursorFromFile(CheckedAdd(StartCursorIndex, i), SkinFilePath(Base, FCursorsNames[i]));
}

void TspSkinData::ReadFormInfo(TCustomIniFile& Ini)
{
    LoadFieldRows<TspSkinData>(Ini, kFormInfo, *this, FormInfoRows());
    if (!FMaskName.empty()) {
        // The window region must cover at least the client part.
        if (IsEmptyRect(MaskRectArea)) {
            MaskRectArea = ClRect;
        } else {
            MaskRectArea.left = std::min(MaskRectArea.left, ClRect.left);
            MaskRectArea.top = std::min(MaskRectArea.top, ClRect.top);
            MaskRectArea.right = std::max(MaskRectArea.right, ClRect.right);
            MaskRectArea.bottom = std::max(MaskRectArea.bottom, ClRect.bottom);
        }
        const std::pair<TPoint*, const TPoint*> hits[] = {
            {&HitTestLTPoint, &LTPoint}, {&HitTestRTPoint, &RTPoint},
            {&HitTestLBPoint, &LBPoint}, {&HitTestRBPoint, &RBPoint}};
        for (auto [hit, corner] : hits)
            if (hit->x == 0 || hit->y == 0)
                *hit = *corner;
    }
    if (RBPoint.x != LTPoint.x && RBPoint.y != LTPoint.y) {
        LTPoint.x = std::max(LTPoint.x, ClRect.left);
        LTPoint.y = std::max(LTPoint.y, ClRect.top);
        RTPoint.x = std::min(RTPoint.x, ClRect.right);
        RTPoint.y = std::max(RTPoint.y, ClRect.top);
        LBPoint.x = std::max(LBPoint.x, ClRect.left);
        LBPoint.y = std::min(LBPoint.y, ClRect.bottom);
        RBPoint.x = std::min(RBPoint.x, ClRect.right);
        RBPoint.y = std::min(RBPoint.y, ClRect.bottom);
    }
}

void TspSkinData::ReadSkinAreas(TCustomIniFile& Ini)
{
    const int n = ReadBoundedCount(Ini, kAreas, "count");
    for (int i = 0; i < n; ++i) {
        const TspSkinAreaEntry e = ParseSkinAreaEntry(Ini.ReadString(kAreas, IntToStr(i), ""));
        AddSkinArea(e.IDName, e.AreaRect, e.UseAnchors, e.AnchorLeft, e.AnchorTop, e.AnchorRight, e.AnchorBottom);
    }
}

void TspSkinData::ReadSkinObjects(TCustomIniFile& Ini)
{
    const int n = ReadBoundedCount(Ini, kObjects, "count");
    for (int i = 0; i < n; ++i) {
        std::string name, kind;
        SplitIDNameKind(Ini.ReadString(kObjects, IntToStr(i), ""), name, kind);
        auto object = CreateSkinObject(kind, name);
        if (!object)
            continue;  // an unknown kind is skipped
        ObjectList.push_back(std::move(object));
        ObjectList.back()->LoadFromFile(Ini);
    }
}

void TspSkinData::ReadSkinControls(TCustomIniFile& Ini)
{
    const int n = ReadBoundedCount(Ini, kControls, "count");
    for (int i = 0; i < n; ++i) {
        std::string name, kind;
        SplitIDNameKind(Ini.ReadString(kControls, IntToStr(i), ""), name, kind);
        auto piece = CreateSkinControl(kind, name);
        if (!piece)
            continue;
        CtrlList.push_back(std::move(piece));
        CtrlList.back()->LoadFromFile(Ini);
    }
}

// ---------------------------------------------------------------------------
// Writing

void TspSkinData::SaveToFile(const std::string& FileName)
{
    TMemIniFile ini(FileName);
    SaveToCustomIniFile(ini);
    ini.UpdateFile();
}

void TspSkinData::SaveToCustomIniFile(TCustomIniFile& F)
{
    F.EraseSection(kVersion);
    F.WriteInteger(kVersion, "ver", 2);
    F.WriteString(kVersion, "skinname", SkinName);
    F.WriteString(kVersion, "skinauthor", SkinAuthor);
    F.WriteString(kVersion, "authoremail", AuthorEmail);
    F.WriteString(kVersion, "authorurl", AuthorURL);
    F.WriteString(kVersion, "skincomments", SkinComments);

    F.EraseSection(kPictures);
    F.WriteString(kPictures, "picture", FPictureName);
    F.WriteString(kPictures, "inactivepicture", FInActivePictureName);
    F.WriteString(kPictures, "mask", FMaskName);
    F.WriteString(kPictures, "rolluppicture", FRollUpPictureName);
    F.WriteString(kPictures, "rollupmask", FRollUpMaskName);
    WriteActivePictures(F);

    WriteCursors(F);
    WriteFormInfo(F);
    PopupWindow->SaveToFile(F);
    LayerFrame->SaveToFile(F);
    HintWindow->SaveToFile(F);
    WriteSkinAreas(F);
    FSkinColors->SaveToFile(F);
    WriteSkinObjects(F);
    WriteSkinControls(F);
}

void TspSkinData::WriteActivePictures(TCustomIniFile& Ini)
{
    WriteStrings(Ini, kPictures, "activepictures", FActivePicturesNames);
}

void TspSkinData::WriteCursors(TCustomIniFile& Ini)
{
    Ini.EraseSection(kCursors);
    Ini.WriteInteger(kCursors, "startcursorindex", StartCursorIndex);
    WriteStrings(Ini, kCursors, "cursors", FCursorsNames);
}

void TspSkinData::WriteFormInfo(TCustomIniFile& Ini)
{
    Ini.EraseSection(kFormInfo);
    SaveFieldRows<TspSkinData>(Ini, kFormInfo, *this, FormInfoRows());
}

void TspSkinData::WriteSkinAreas(TCustomIniFile& Ini)
{
    Ini.EraseSection(kAreas);
    Ini.WriteInteger(kAreas, "count", static_cast<int>(AreaList.size()));
    auto flag = [](bool b) { return b ? "1" : "0"; };
    for (std::size_t i = 0; i < AreaList.size(); ++i) {
        const TspDataSkinArea& a = *AreaList[i];
        Ini.WriteString(kAreas, IntToStr(static_cast<std::int64_t>(i)),
                        a.IDName + ":" + RectToStr(a.AreaRect) + ";" + flag(a.UseAnchors) + "," +
                            flag(a.AnchorLeft) + "," + flag(a.AnchorTop) + "," + flag(a.AnchorRight) + "," +
                            flag(a.AnchorBottom));
    }
}

void TspSkinData::WriteSkinObjects(TCustomIniFile& Ini)
{
    Ini.EraseSection(kObjects);
    Ini.WriteInteger(kObjects, "count", static_cast<int>(ObjectList.size()));
    for (std::size_t i = 0; i < ObjectList.size(); ++i) {
        TspDataSkinObject& object = *ObjectList[i];
        Ini.WriteString(kObjects, IntToStr(static_cast<std::int64_t>(i)), object.IDName + ":" + SkinObjectKind(object));
        object.SaveToFile(Ini);
    }
}

void TspSkinData::WriteSkinControls(TCustomIniFile& Ini)
{
    Ini.EraseSection(kControls);
    Ini.WriteInteger(kControls, "count", static_cast<int>(CtrlList.size()));
    for (std::size_t i = 0; i < CtrlList.size(); ++i) {
        TspDataSkinControl& piece = *CtrlList[i];
        Ini.WriteString(kControls, IntToStr(static_cast<std::int64_t>(i)), piece.IDName + ":" + SkinControlKind(piece));
        piece.SaveToFile(Ini);
    }
}
