#pragma once
// TspSkinData: one loaded skin. It holds the form pictures and further
// pictures, the form-frame geometry, the named areas, the frame objects, the
// control pieces, the popup, layer-frame and hint window data, the skin
// colours, and the switches that skinned forms and controls consult. Forms
// and controls look their pieces up by name each time the skin changes.
//
// Skins come from a folder (an INI file and its pictures, SkinIni.cpp) or
// from one compressed block (CompressedSkin.cpp); every load tells the forms
// through the skin-change messages (SkinMessages.h). A load that fails after
// the forms were told leaves a cleared, consistent skin and tells them so.
#include "platform/classes/Component.h"
#include "platform/classes/Events.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Types.h"
#include "platform/gui/Graphics.h"
#include "skin/core/SkinMessages.h"
#include "skin/core/SkinObjects.h"
#include "skin/core/SkinSeams.h"
#include "skin/core/SkinControlPieces.h"
#include "skin/core/SkinTypes.h"
#include "skin/core/SkinWindowData.h"

#include <memory>
#include <string>
#include <vector>

class TCustomIniFile;
class TMemoryStream;
class TspResourceStrData;
class TspCompressedStoredSkin;
class TspCompressedSkinList;

// A skin file that cannot be used: a picture or cursor name that leaves the
// skin folder, a count or size that the data does not hold.
TARNELLO_EXCEPTION_CLASS(ESkinDataError, Exception);

class TspSkinData : public TComponent {
public:
    explicit TspSkinData(TComponent* AOwner);
    ~TspSkinData() override;

    // ---- switches (published) ----
    bool DlgTreeViewDrawSkin = true;
    std::string DlgTreeViewItemSkinDataName = "listbox";
    bool DlgListViewDrawSkin = true;
    std::string DlgListViewItemSkinDataName = "listbox";
    bool AnimationForAllWindows = false;
    bool EnableSkinEffects = true;
    bool ShowButtonGlowFrames = true;
    bool ShowCaptionButtonGlowFrames = true;
    // Raised after a skin was read, before the forms are told.
    TNotifyEvent OnLoadData;

    bool ShowLayeredBorders() const { return FShowLayeredBorders; }
    void SetShowLayeredBorders(bool Value);  // tells the forms (1427)
    bool SkinnableForm() const { return FSkinnableForm; }
    void SetSkinnableForm(bool Value);  // tells the forms (1294)
    bool AeroBlurEnabled() const { return FAeroBlurEnabled; }
    void SetAeroBlurEnabled(bool Value);  // tells the forms (1428)
    TspResourceStrData* ResourceStrData() const { return FResourceStrData; }
    void SetResourceStrData(TspResourceStrData* Value);  // tells the forms (1274)
    TspCompressedStoredSkin* CompressedStoredSkin() const { return FCompressedStoredSkin; }
    void SetCompressedStoredSkin(TspCompressedStoredSkin* Value);  // loads it
    TspCompressedSkinList* SkinList() const { return FCompressedSkinList; }
    void SetSkinList(TspCompressedSkinList* Value);  // loads item SkinIndex
    int SkinIndex() const { return FCompressedSkinIndex; }
    void SetSkinIndex(int Value);

    TspSkinColors* SkinColors() const { return FSkinColors.get(); }

    PUBLISHED(TspSkinData, TComponent);

    // ---- the loaded skin (public fields) ----
    TRect SizeGripArea;
    std::string StatusBarName;
    TRect ButtonsRect, CaptionRect;
    int ButtonsOffset = 0;
    bool CapButtonsInLeft = false;
    bool AutoRenderingInActiveImage = false;
    TspInActiveEffect InActiveEffect = ieBrightness;
    int StartCursorIndex = 1;
    int CursorIndex = -1;
    // No message is sent and no cursor installed while True.
    bool BuildMode = false;
    std::unique_ptr<TspDataSkinPopupWindow> PopupWindow;
    std::unique_ptr<TspDataSkinLayerFrame> LayerFrame;
    std::unique_ptr<TspDataSkinHintWindow> HintWindow;
    bool Empty = true;
    std::unique_ptr<TBitmap> FPicture, FInActivePicture, FMask, FRollUpPicture, FRollUpMask;
    std::vector<std::unique_ptr<TBitmap>> FActivePictures;
    std::string FPictureName, FInActivePictureName, FMaskName, FRollUpPictureName, FRollUpMaskName;
    TStringList FActivePicturesNames;
    TStringList FCursorsNames;
    std::vector<std::unique_ptr<TspDataSkinObject>> ObjectList;
    std::vector<std::unique_ptr<TspDataSkinArea>> AreaList;
    std::vector<std::unique_ptr<TspDataSkinControl>> CtrlList;
    TPoint LTPoint, RTPoint, LBPoint, RBPoint;
    int BGPictureIndex = -1, MDIBGPictureIndex = -1;
    TRect MainMenuRect, IconRect;
    bool MainMenuPopupUp = false;
    TRect MaskRectArea;
    TPoint HitTestLTPoint, HitTestRTPoint, HitTestLBPoint, HitTestRBPoint;
    TRect ClRect;
    int BorderW = 0;
    int FormMinWidth = 0, FormMinHeight = 0;
    bool MDITabsTransparent = false, MainMenuBarTransparent = false;
    bool TopStretch = false, LeftStretch = false, RightStretch = false, BottomStretch = false;
    bool StretchEffect = false;
    TspStretchType StretchType = spstFull;
    bool MDIBGStretchEffect = false;
    TspStretchType MDIBGStretchType = spstFull;
    TPoint RollUpLeftPoint, RollUpRightPoint;
    std::string SkinName, SkinAuthor, AuthorURL, AuthorEmail, SkinComments;
    // True from the start of a load until just before its last message.
    bool ChangeSkinDataProcess = false;

    // ---- lookups: first entry whose IDName equals AIDName exactly; -1 ----
    int GetControlIndex(const std::string& AIDName) const;
    int GetIndex(const std::string& AIDName) const;
    int GetAreaIndex(const std::string& AIDName) const;

    // ---- operations on the loaded data ----
    void ClearObjects();
    // ClearObjects, empty form pictures and names, Empty; tells nobody.
    void ClearAll();
    void AddSkinArea(const std::string& AName, const TRect& ARect, bool AUseAnchors, bool AAnchorLeft,
                     bool AAnchorTop, bool AAnchorRight, bool AAnchorBottom);
    void AddBitMap(const std::string& FileName);
    void DeleteBitMap(int Index);
    // Switches every caption font to ANewFontName and adds the correction to
    // its height (overflow raises EIntOverflow).
    void GlobalChangeFont(const std::string& ANewFontName, int AFontHeightCorrection);
    // Writes the INI file and every picture into the INI file's folder.
    void StoreToDisk(const std::string& AFileName);

    // ---- skin INI file (SkinIni.cpp) ----
    // Loads the skin whose INI file is FileName. A file that is missing,
    // unreadable or not a skin gives False and LastError, and changes
    // nothing. A damaged skin (picture, value) raises after leaving the skin
    // cleared and telling the forms.
    bool LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName);
    void SaveToCustomIniFile(TCustomIniFile& F);
    const std::string& LastError() const { return FLastError; }

    // ---- compressed skins (CompressedSkin.cpp) ----
    void LoadCompressedStoredSkin(TspCompressedStoredSkin* AStoredSkin);
    void LoadFromCompressedFile(const std::string& FileName);
    void SaveToCompressedFile(const std::string& FileName);

    // ---- skin-change messages (SkinMessages.cpp) ----
    void SendSkinDataMessage(UINT M);
    // ClearAll, then tells the forms (before, changed, MDI follow-up).
    void ClearSkin();

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // Reads every section of a skin INI object. Base is the skin folder with
    // its trailing "/", from which pictures and cursors are loaded; null for
    // a compressed skin, whose pictures are already loaded and which has no
    // cursors.
    void ReadSkinSections(TCustomIniFile& Ini, const std::string* Base);
    void ReadVersion(TCustomIniFile& Ini);
    void ReadPictureNames(TCustomIniFile& Ini);
    void ReadFormPictures(const std::string& Base);
    void ReadActivePictures(TCustomIniFile& Ini, const std::string* Base);
    void ReadCursors(TCustomIniFile& Ini, const std::string& Base);
    void ReadFormInfo(TCustomIniFile& Ini);
    void ReadSkinAreas(TCustomIniFile& Ini);
    void ReadSkinObjects(TCustomIniFile& Ini);
    void ReadSkinControls(TCustomIniFile& Ini);
    void WriteActivePictures(TCustomIniFile& Ini);
    void WriteCursors(TCustomIniFile& Ini);
    void WriteFormInfo(TCustomIniFile& Ini);
    void WriteSkinAreas(TCustomIniFile& Ini);
    void WriteSkinObjects(TCustomIniFile& Ini);
    void WriteSkinControls(TCustomIniFile& Ini);

    // Steps shared by every load: start (1225), and either finish (1226,
    // 1227) or, after a failure (a receiver's included), clear and tell the
    // forms all the same.
    void BeginLoad();
    void EndLoad();
    void AbortLoad();
    friend class TspCompressedStoredSkin;

    bool FShowLayeredBorders = true;
    bool FSkinnableForm = true;
    bool FAeroBlurEnabled = true;
    TspResourceStrData* FResourceStrData = nullptr;
    TspCompressedStoredSkin* FCompressedStoredSkin = nullptr;
    TspCompressedSkinList* FCompressedSkinList = nullptr;
    int FCompressedSkinIndex = 0;
    std::unique_ptr<TspSkinColors> FSkinColors;
    std::string FLastError;
};

// Loads a skin picture file into Bitmap: as JPEG when Name says so, else
// as BMP. A missing file raises EFOpenError, a damaged one EInvalidGraphic.
void LoadSkinPicture(TBitmap& Bitmap, const std::string& Path, const std::string& Name);
// Writes Bitmap to Path in the format Name says (JPEG or BMP).
void StoreSkinPicture(TBitmap& Bitmap, const std::string& Path, const std::string& Name);

// Base + Name, for a Name that stays inside the folder Base ("\" in Name
// separates folders too); raises ESkinDataError for an absolute name or one
// with a ".." part.
std::string SkinFilePath(const std::string& Base, const std::string& Name);
