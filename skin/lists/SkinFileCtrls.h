#pragma once
// Four skinned controls that browse the file system and can be chained: a
// volume box (TspSkinDriveComboBox), an indented folder list
// (TspSkinDirectoryListBox), the files of one folder filtered by mask and
// kind (TspSkinFileListBox) and a box of described masks
// (TspSkinFilterComboBox). Linked, a volume change refills the folder list,
// a folder change refills the file list and relabels a label with the
// shortened path, and a filter change sets the file list's mask.
//
// Nothing here changes the process's current directory (engine threads
// resolve relative paths meanwhile): every path is resolved as text against
// the control's own Directory, and a folder that cannot be opened raises
// EInOutError with the old directory kept. A "drive" is a volume's mount
// point.
#include "platform/classes/Sets.h"
#include "platform/gui/StdCtrls.h"
#include "skin/controls/SkinLabels.h"
#include "skin/lists/SkinComboBox.h"
#include "skin/lists/SkinListBox.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum TspFileAttr : std::uint8_t { spftReadOnly, spftHidden, spftSystem, spftVolumeID, spftDirectory, spftArchive, spftNormal };
ENUM_NAMES(TspFileAttr, spftReadOnly, spftHidden, spftSystem, spftVolumeID, spftDirectory, spftArchive, spftNormal)
using TspFileType = TSet<TspFileAttr>;

enum TTextCase : std::uint8_t { tcLowerCase, tcUpperCase };
ENUM_NAMES(TTextCase, tcLowerCase, tcUpperCase)

struct TMountedVolume;

// ---- path routines ----------------------------------------------------------------

bool IsDirectory(const std::string& Path);
// Dir + Name with one "/" between them.
std::string JoinPath(const std::string& Dir, const std::string& Name);
// The number of "/" in Path.
int CountBackslashes(const std::string& Path);
// FileName shortened to MaxWidth on Canvas: leading folders give way to
// ".../" one by one, at last to the bare name.
std::string ShortenPathToWidth(const std::string& FileName, TCanvas* Canvas, int MaxWidth);
// "[label]" of the volume mounted at MountPoint ("[]" when it has none or is
// not mounted).
std::string VolumeLabelText(const std::string& MountPoint);
// The source of a network volume, else VolumeLabelText.
std::string DriveDisplayName(const std::string& MountPoint);
// Splits an edit's text, resolved against Base, into the volume it lies on,
// an absolute folder and a file part (empty when the text names a folder; a
// mask is kept as the file part). A "[name]" text names the folder "name".
// Raises EInOutError when the folder part cannot be opened.
void SplitEditPath(const std::string& EditText, const std::string& Base, std::string& Drive, std::string& DirPart,
                   std::string& FilePart);
// Absolute Path with "." and ".." and repeated "/" resolved as text.
std::string NormalizePath(const std::string& Path);
// Item text with invalid UTF-8 bytes shown as U+FFFD (the item keeps its bytes).
std::string DisplayText(const std::string& Name);
// Loads the controls' named picture from the program's pictures/resources
// folder; an empty bitmap when it is missing or unreadable.
void LoadResourcePicture(TBitmap* Bitmap, const std::string& Name);

class TspSkinDirectoryListBox;
class TspSkinFileListBox;
class TspSkinFilterComboBox;

class TspSkinDriveComboBox : public TspSkinCustomComboBox {
public:
    explicit TspSkinDriveComboBox(TComponent* AOwner);
    ~TspSkinDriveComboBox() override;

    TspSkinDirectoryListBox* DirList() const { return FDirList; }
    void SetDirList(TspSkinDirectoryListBox* Value);
    const std::string& Drive() const { return FDrive; }
    void SetDrive(const std::string& Value);
    TTextCase TextCase() const { return FTextCase; }
    void SetTextCase(TTextCase Value);

    void FillDriveList();
    void Change() override;
    // The mount point of item Index ("" when none).
    std::string MountPointOf(int Index) const;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    std::unique_ptr<TBitmap> FloppyBMP, FixedBMP, NetworkBMP, CDROMBMP, RAMBMP;
    PUBLISHED(TspSkinDriveComboBox, TspSkinCustomComboBox);

protected:
    void CreateWnd() override;
    void Loaded() override;
    void DriveComboChange(TObject* Sender);
    void DrawDriveItem(TObject* Sender, TCanvas* Cnvs, int Index, int ItemWidth, int ItemHeight, TRect TextRect,
                       TOwnerDrawState State);

private:
    friend class TspSkinDirectoryListBox;
    TspSkinDirectoryListBox* FDirList = nullptr;
    std::string FDrive;
    TTextCase FTextCase = tcLowerCase;
    std::vector<std::string> FMountPoints;
};

class TspSkinDirectoryListBox : public TspSkinListBox {
public:
    explicit TspSkinDirectoryListBox(TComponent* AOwner);
    ~TspSkinDirectoryListBox() override;

    TspSkinFileListBox* FileList() const { return FFileList; }
    void SetFileList(TspSkinFileListBox* Value);
    TspSkinStdLabel* DirLabel() const { return FDirLabel; }
    void SetDirLabel(TspSkinStdLabel* Value);
    const std::string& Directory() const { return FDirectory; }
    void SetDirectory(const std::string& Value);
    // The mount point of the volume Directory lies on.
    std::string Drive() const;
    bool PreserveCase() const { return FPreserveCase; }
    bool CaseSensitive() const { return FCaseSensitive; }
    TNotifyEvent OnChange;

    void OpenCurrent();
    void Update();
    std::string GetItemPath(int Index);
    std::string DisplayCase(const std::string& S) const;
    int FileCompareText(const std::string& A, const std::string& B) const;
    void DriveChange(const std::string& NewDrive);
    void FillDirectoryList();
    int GetItemTextWidth(int Index, TCanvas* Canvas) override;
    void ListBoxDblClick() override;
    void ListBoxKeyPress(char& Key) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    std::unique_ptr<TBitmap> ClosedBMP, OpenedBMP, CurrentBMP;
    PUBLISHED(TspSkinDirectoryListBox, TspSkinListBox);

protected:
    void CreateWnd() override;
    void ChangeDirectory(const std::string& Dir);
    void DirectoryChanged();
    int ItemIndent(int Index);
    TBitmap* ItemBitmap(int Index);
    void DrawDirectoryItem(TObject* Sender, TCanvas* Cnvs, int Index, int ItemWidth, int ItemHeight, TRect TextRect,
                           TOwnerDrawState State);

private:
    friend class TspSkinDriveComboBox;
    friend class TspSkinFileListBox;
    TspSkinFileListBox* FFileList = nullptr;
    TspSkinDriveComboBox* FDriveCombo = nullptr;
    TspSkinStdLabel* FDirLabel = nullptr;
    bool FInSetDir = false;
    bool FPreserveCase = true, FCaseSensitive = true;
    std::string FDirectory;
    // Items before this index are the path's folders, the rest subfolders.
    int FFirstSubFolder = 0;
    bool FFilling = false;
};

class TspSkinFileListBox : public TspSkinListBox {
public:
    explicit TspSkinFileListBox(TComponent* AOwner);
    ~TspSkinFileListBox() override;

    const std::string& Directory() const { return FDirectory; }
    void SetDirectory(const std::string& Value) { ApplyFilePath(Value); }
    const std::string& Mask() const { return FMask; }
    void SetMask(const std::string& Value);
    TspFileType FileType() const { return FFileType; }
    void SetFileType(TspFileType Value);
    TEdit* FileEdit() const { return FFileEdit; }
    void SetFileEdit(TEdit* Value);
    std::string Drive() const;
    void SetDrive(const std::string& Value);
    std::string FileName();
    void SetFileName(const std::string& Value) { ApplyFilePath(Value); }
    TNotifyEvent OnChange;

    void Update();
    void ApplyFilePath(const std::string& EditText);
    void ChangeFileDirectory(const std::string& Dir);
    void SelectFileName(const std::string& Name);
    void FillFileList();
    void ListBoxClick() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    PUBLISHED(TspSkinFileListBox, TspSkinListBox);

protected:
    void CreateWnd() override;
    void FileSelectionChanged();

private:
    friend class TspSkinDirectoryListBox;
    friend class TspSkinFilterComboBox;
    std::string FDirectory;
    std::string FMask = "*.*";
    TspFileType FFileType{spftNormal};
    TEdit* FFileEdit = nullptr;
    TspSkinDirectoryListBox* FDirList = nullptr;
    TspSkinFilterComboBox* FFilterCombo = nullptr;
    int FLastSel = -1;
    bool FFilling = false;
};

class TspSkinFilterComboBox : public TspSkinCustomComboBox {
public:
    explicit TspSkinFilterComboBox(TComponent* AOwner);
    ~TspSkinFilterComboBox() override;

    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& Value);
    TspSkinFileListBox* FileList() const { return FFileList; }
    void SetFileList(TspSkinFileListBox* Value);
    std::string Mask();
    // The mask of each item.
    TStringList* MaskList() { return FMaskList.get(); }

    void FillFilterList();
    void Change() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    PUBLISHED(TspSkinFilterComboBox, TspSkinCustomComboBox);

protected:
    void CreateWnd() override;

private:
    friend class TspSkinFileListBox;
    std::string FFilter = "All files (*.*)|*.*";
    TspSkinFileListBox* FFileList = nullptr;
    std::unique_ptr<TStringList> FMaskList;
};

void RegisterSkinFileCtrlsClasses();
