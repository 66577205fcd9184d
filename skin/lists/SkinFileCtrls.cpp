#include "skin/lists/SkinFileCtrls.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/shell/Volumes.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>

namespace {

std::string Lower(std::string S)
{
    for (char& c : S)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return S;
}

std::string Upper(std::string S)
{
    for (char& c : S)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return S;
}

bool SameTextAscii(const std::string& A, const std::string& B) { return Lower(A) == Lower(B); }

bool HasWildcards(const std::string& S) { return S.find_first_of("*?") != std::string::npos; }

// File systems that compare names without regard to case (and keep it).
bool CaseInsensitiveFs(const std::string& Type)
{
    static const char* const kTypes[] = {"vfat", "exfat", "ntfs", "ntfs3", "cifs", "msdos", "fat"};
    return std::any_of(std::begin(kTypes), std::end(kTypes), [&](const char* t) { return Type == t; });
}

bool FolderOpens(const std::string& Path)
{
    DIR* d = opendir(Path.c_str());
    if (!d)
        return false;
    closedir(d);
    return true;
}

void RaiseFolder(const std::string& Path)
{
    throw EInOutError("The folder \"" + DisplayText(Path) + "\" cannot be opened: " + std::strerror(errno));
}

std::vector<std::string> PathComponents(const std::string& AbsPath)
{
    std::vector<std::string> parts;
    size_t i = 0;
    while (i < AbsPath.size()) {
        while (i < AbsPath.size() && AbsPath[i] == '/')
            ++i;
        size_t j = AbsPath.find('/', i);
        if (j == std::string::npos)
            j = AbsPath.size();
        if (j > i)
            parts.push_back(AbsPath.substr(i, j - i));
        i = j;
    }
    return parts;
}

bool IsRegularFile(const std::string& Path)
{
    struct stat st {};
    return stat(Path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Marks a running fill: the list's window may be re-created meanwhile.
struct TFillGuard {
    bool& Flag;
    explicit TFillGuard(bool& F) : Flag(F) { Flag = true; }
    ~TFillGuard() { Flag = false; }
};

void DrawTransparent(TCanvas* C, int X, int Y, TBitmap* B)
{
    if (!B || B->Empty())
        return;
    B->SetTransparent(true);
    C->Draw(X, Y, B);
}

}  // namespace

// ---- path routines ----------------------------------------------------------------

bool IsDirectory(const std::string& Path)
{
    struct stat st {};
    return !Path.empty() && stat(Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string JoinPath(const std::string& Dir, const std::string& Name)
{
    if (!Dir.empty() && Dir.back() == '/')
        return Dir + Name;
    return Dir + "/" + Name;
}

int CountBackslashes(const std::string& Path) { return static_cast<int>(std::count(Path.begin(), Path.end(), '/')); }

std::string NormalizePath(const std::string& Path)
{
    std::vector<std::string> out;
    for (const std::string& c : PathComponents(Path)) {
        if (c == ".")
            continue;
        if (c == "..") {
            if (!out.empty())
                out.pop_back();
            continue;
        }
        out.push_back(c);
    }
    std::string r;
    for (const std::string& c : out)
        r += "/" + c;
    return r.empty() ? "/" : r;
}

namespace {

std::string DropFirstFolder(std::string S)
{
    if (S == "/")
        return "";
    const bool lead = !S.empty() && S[0] == '/';
    if (lead)
        S.erase(0, 1);
    if (S.rfind(".../", 0) == 0)
        S.erase(0, 4);
    const size_t p = S.find('/');
    S = p == std::string::npos ? std::string() : ".../" + S.substr(p + 1);
    return lead ? "/" + S : S;
}

}  // namespace

std::string ShortenPathToWidth(const std::string& FileName, TCanvas* Canvas, int MaxWidth)
{
    std::string result = FileName;
    const size_t slash = FileName.rfind('/');
    std::string dir = slash == std::string::npos ? std::string() : FileName.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? FileName : FileName.substr(slash + 1);
    while (!dir.empty() && Canvas->TextWidth(DisplayText(result)) > MaxWidth) {
        if (dir == "/.../")
            dir = ".../";
        else
            dir = DropFirstFolder(dir);
        result = dir + name;
    }
    return result;
}

namespace {

const TMountedVolume* FindVolume(const std::vector<TMountedVolume>& Volumes, const std::string& MountPoint)
{
    for (const TMountedVolume& v : Volumes)
        if (v.MountPoint == MountPoint)
            return &v;
    return nullptr;
}

}  // namespace

std::string VolumeLabelText(const std::string& MountPoint)
{
    const auto volumes = GetMountedVolumes();
    const TMountedVolume* v = FindVolume(volumes, MountPoint);
    return "[" + (v ? v->Label : std::string()) + "]";
}

std::string DriveDisplayName(const std::string& MountPoint)
{
    const auto volumes = GetMountedVolumes();
    const TMountedVolume* v = FindVolume(volumes, MountPoint);
    if (v && v->Kind == TVolumeKind::Network)
        return v->Device;
    return "[" + (v ? v->Label : std::string()) + "]";
}

void SplitEditPath(const std::string& EditText, const std::string& Base, std::string& Drive, std::string& DirPart,
                   std::string& FilePart)
{
    std::string text = EditText;
    bool folder = false;
    // The file list shows folders as "[name]".
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
        text = text.substr(1, text.size() - 2);
        folder = true;
    }
    const std::string abs = !text.empty() && text[0] == '/' ? text : JoinPath(Base.empty() ? "/" : Base, text);
    // The last name of the text as typed ("." and ".." are folders).
    const bool trailingSlash = !abs.empty() && abs.back() == '/';
    const size_t slash = abs.rfind('/');
    FilePart = trailingSlash || folder ? std::string() : abs.substr(slash + 1);
    if (FilePart == "." || FilePart == "..")
        FilePart.clear();
    DirPart = NormalizePath(FilePart.empty() ? abs : abs.substr(0, slash + 1));
    if (!FolderOpens(DirPart))
        RaiseFolder(DirPart);
    if (!FilePart.empty() && !HasWildcards(FilePart) && !IsRegularFile(JoinPath(DirPart, FilePart))) {
        const std::string sub = JoinPath(DirPart, FilePart);
        if (!FolderOpens(sub))
            RaiseFolder(sub);
        DirPart = sub;
        FilePart.clear();
    }
    Drive = VolumeOfPath(GetMountedVolumes(), DirPart).MountPoint;
}

std::string DisplayText(const std::string& Name)
{
    std::string out;
    out.reserve(Name.size());
    const auto* s = reinterpret_cast<const unsigned char*>(Name.data());
    const size_t n = Name.size();
    for (size_t i = 0; i < n;) {
        const unsigned char c = s[i];
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        bool ok = len > 0 && i + len <= n;
        for (size_t k = 1; ok && k < len; ++k)
            ok = (s[i + k] & 0xC0) == 0x80;
        if (ok && len == 2 && c < 0xC2)
            ok = false;  // overlong
        if (ok && len == 3) {
            const unsigned cp = ((c & 0x0Fu) << 12) | ((s[i + 1] & 0x3Fu) << 6) | (s[i + 2] & 0x3Fu);
            ok = cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF);
        }
        if (ok && len == 4) {
            const unsigned cp = ((c & 0x07u) << 18) | ((s[i + 1] & 0x3Fu) << 12);
            ok = cp >= 0x10000 && cp <= 0x10FFFF;
        }
        if (ok) {
            out.append(Name, i, len);
            i += len;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

void LoadResourcePicture(TBitmap* Bitmap, const std::string& Name)
{
    const std::string folder = FormPictureFolder();
    if (folder.empty())
        return;
    const std::string file = IncludeTrailingPathDelimiter(folder) + "resources/" + Name + ".bmp";
    if (!FileExists(file))
        return;
    try {
        Bitmap->LoadFromFile(file);
    } catch (const Exception&) {
        // A damaged picture draws nothing, as a missing one does.
        Bitmap->SetHandle(nullptr);
    }
}

// ---- volume box ---------------------------------------------------------------------

TspSkinDriveComboBox::TspSkinDriveComboBox(TComponent* AOwner)
    : TspSkinCustomComboBox(AOwner),
      FloppyBMP(std::make_unique<TBitmap>()),
      FixedBMP(std::make_unique<TBitmap>()),
      NetworkBMP(std::make_unique<TBitmap>()),
      CDROMBMP(std::make_unique<TBitmap>()),
      RAMBMP(std::make_unique<TBitmap>())
{
    SetOnListBoxDrawItem(MakeEvent(this, &TspSkinDriveComboBox::DrawDriveItem));
    OnComboBoxDrawItem = MakeEvent(this, &TspSkinDriveComboBox::DrawDriveItem);
    LoadResourcePicture(FloppyBMP.get(), "SP_FLOPPY");
    LoadResourcePicture(FixedBMP.get(), "SP_HARD");
    LoadResourcePicture(NetworkBMP.get(), "SP_NETWORK");
    LoadResourcePicture(CDROMBMP.get(), "SP_CDROM");
    LoadResourcePicture(RAMBMP.get(), "SP_RAM");
    FDrive = VolumeOfPath(GetMountedVolumes(), GetCurrentDir()).MountPoint;
}

TspSkinDriveComboBox::~TspSkinDriveComboBox()
{
    if (FDirList)
        FDirList->FDriveCombo = nullptr;
}

void TspSkinDriveComboBox::FillDriveList()
{
    Items()->BeginUpdate();
    Items()->Clear();
    FMountPoints.clear();
    for (const TMountedVolume& v : GetMountedVolumes()) {
        TBitmap* bmp = nullptr;
        std::string label;
        switch (v.Kind) {
        case TVolumeKind::Removable:
            bmp = FloppyBMP.get();  // no volume is read for removable media
            break;
        case TVolumeKind::Optical:
            bmp = CDROMBMP.get();
            label = "[" + v.Label + "]";
            break;
        case TVolumeKind::Network:
            bmp = NetworkBMP.get();
            label = v.Device;
            break;
        default:
            bmp = FixedBMP.get();
            label = "[" + v.Label + "]";
            break;
        }
        // The mount point is a path and keeps its case; the label follows TextCase.
        if (v.Kind != TVolumeKind::Network)
            label = FTextCase == tcUpperCase ? Upper(label) : Lower(label);
        Items()->AddObject(label.empty() ? v.MountPoint : v.MountPoint + " " + label, bmp);
        FMountPoints.push_back(v.MountPoint);
    }
    Items()->EndUpdate();
}

std::string TspSkinDriveComboBox::MountPointOf(int Index) const
{
    return Index >= 0 && Index < static_cast<int>(FMountPoints.size()) ? FMountPoints[static_cast<size_t>(Index)]
                                                                        : std::string();
}

void TspSkinDriveComboBox::CreateWnd()
{
    TspSkinCustomComboBox::CreateWnd();
    FillDriveList();
    const std::string d = FDrive;
    FDrive.clear();
    SetDrive(d);
}

void TspSkinDriveComboBox::Loaded()
{
    TspSkinCustomComboBox::Loaded();
    if (HandleAllocated()) {
        FillDriveList();
        const std::string d = FDrive;
        FDrive.clear();
        SetDrive(d);
    }
}

void TspSkinDriveComboBox::SetDrive(const std::string& Value)
{
    if (ItemIndex() != -1 && Value == FDrive)
        return;
    if (Value.empty()) {
        FDrive.clear();
        SetItemIndex(-1);
        return;
    }
    FDrive = Value;
    const auto it = std::find(FMountPoints.begin(), FMountPoints.end(), Value);
    if (it != FMountPoints.end() && ItemIndex() != it - FMountPoints.begin())
        SetItemIndex(static_cast<int>(it - FMountPoints.begin()));
    if (FDirList)
        FDirList->DriveChange(FDrive);
    TspSkinCustomComboBox::Change();
}

void TspSkinDriveComboBox::Change()
{
    DriveComboChange(this);
    TspSkinCustomComboBox::Change();
}

void TspSkinDriveComboBox::DriveComboChange(TObject*)
{
    const std::string mp = MountPointOf(ItemIndex());
    if (!mp.empty() && mp != FDrive)
        SetDrive(mp);
}

void TspSkinDriveComboBox::SetTextCase(TTextCase Value)
{
    if (FTextCase == Value)
        return;
    FTextCase = Value;
    if (HandleAllocated()) {
        FillDriveList();
        const std::string d = FDrive;
        FDrive.clear();
        SetDrive(d);
    }
}

void TspSkinDriveComboBox::SetDirList(TspSkinDirectoryListBox* Value)
{
    if (FDirList == Value)
        return;
    if (FDirList) {
        FDirList->FDriveCombo = nullptr;
        FDirList->RemoveFreeNotification(this);
    }
    FDirList = Value;
    if (FDirList) {
        FDirList->FDriveCombo = this;
        FDirList->FreeNotification(this);
    }
}

void TspSkinDriveComboBox::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinCustomComboBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDirList)
        FDirList = nullptr;
}

void TspSkinDriveComboBox::DrawDriveItem(TObject*, TCanvas* Cnvs, int Index, int, int, TRect R, TOwnerDrawState)
{
    if (Index < 0 || Index >= Items()->Count())
        return;
    auto* bmp = reinterpret_cast<TBitmap*>(Items()->Objects(Index));
    int w = 0;
    if (bmp && !bmp->Empty()) {
        DrawTransparent(Cnvs, R.left, (R.top + R.bottom) / 2 - bmp->Height() / 2, bmp);
        w = bmp->Width();
    }
    Cnvs->Brush()->SetStyle(bsClear);
    Cnvs->TextOut(R.left + w + 6, (R.top + R.bottom) / 2 - Cnvs->TextHeight("Wg") / 2,
                  DisplayText(Items()->Get(Index)));
}

// ---- folder list ---------------------------------------------------------------------

TspSkinDirectoryListBox::TspSkinDirectoryListBox(TComponent* AOwner)
    : TspSkinListBox(AOwner),
      ClosedBMP(std::make_unique<TBitmap>()),
      OpenedBMP(std::make_unique<TBitmap>()),
      CurrentBMP(std::make_unique<TBitmap>())
{
    SetWidth(145);
    SetSorted(false);
    LoadResourcePicture(ClosedBMP.get(), "SP_CLOSEDFOLDER");
    LoadResourcePicture(OpenedBMP.get(), "SP_OPENFOLDER");
    LoadResourcePicture(CurrentBMP.get(), "SP_CURRENTFOLDER");
    OnDrawItem = MakeEvent(this, &TspSkinDirectoryListBox::DrawDirectoryItem);
    FDirectory = NormalizePath(GetCurrentDir());
}

TspSkinDirectoryListBox::~TspSkinDirectoryListBox()
{
    if (FFileList)
        FFileList->FDirList = nullptr;
    if (FDriveCombo)
        FDriveCombo->FDirList = nullptr;
}

std::string TspSkinDirectoryListBox::Drive() const { return VolumeOfPath(GetMountedVolumes(), FDirectory).MountPoint; }

std::string TspSkinDirectoryListBox::DisplayCase(const std::string& S) const
{
    return FPreserveCase || FCaseSensitive ? S : Lower(S);
}

int TspSkinDirectoryListBox::FileCompareText(const std::string& A, const std::string& B) const
{
    const std::string a = FCaseSensitive ? A : Lower(A), b = FCaseSensitive ? B : Lower(B);
    return a < b ? -1 : a > b ? 1 : 0;
}

void TspSkinDirectoryListBox::FillDirectoryList()
{
    if (FFilling)
        return;
    const TMountedVolume vol = VolumeOfPath(GetMountedVolumes(), FDirectory);
    FCaseSensitive = !CaseInsensitiveFs(vol.FileSystem);
    FPreserveCase = true;
    std::vector<std::string> subs;
    if (DIR* d = opendir(FDirectory.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name == "." || name == "..")
                continue;
            // A link to a folder lists as a folder; it is entered only when chosen.
            if (IsDirectory(JoinPath(FDirectory, name)))
                subs.push_back(name);
        }
        closedir(d);
    }
    std::sort(subs.begin(), subs.end(), [](const std::string& a, const std::string& b) {
        const std::string la = Lower(a), lb = Lower(b);
        return la != lb ? la < lb : a < b;
    });
    const TFillGuard guard(FFilling);
    Items()->BeginUpdate();
    Items()->Clear();
    Items()->Add("/");
    for (const std::string& c : PathComponents(FDirectory))
        Items()->Add(c);
    FFirstSubFolder = Items()->Count();
    for (const std::string& s : subs)
        Items()->Add(s);
    Items()->EndUpdate();
    SetItemIndex(FFirstSubFolder - 1);
    UpDateScrollBar();
}

void TspSkinDirectoryListBox::CreateWnd()
{
    TspSkinListBox::CreateWnd();
    // The window is re-created while bars come and go during a fill.
    if (!FFilling)
        FillDirectoryList();
}

int TspSkinDirectoryListBox::ItemIndent(int Index)
{
    return Index >= FFirstSubFolder ? 4 * CountBackslashes(FDirectory) + 6 : 4 * Index + 2;
}

TBitmap* TspSkinDirectoryListBox::ItemBitmap(int Index)
{
    if (Index >= FFirstSubFolder)
        return ClosedBMP.get();
    return Index == FFirstSubFolder - 1 ? CurrentBMP.get() : OpenedBMP.get();
}

std::string TspSkinDirectoryListBox::GetItemPath(int Index)
{
    if (Index < 0 || Index >= Items()->Count())
        return FDirectory;
    if (Index == 0)
        return "/";
    if (Index >= FFirstSubFolder)
        return JoinPath(FDirectory, Items()->Get(Index));
    if (Index == FFirstSubFolder - 1)
        return FDirectory;
    // The path up to, not including, its (Index + 1)-th "/".
    int seen = 0;
    for (size_t i = 0; i < FDirectory.size(); ++i)
        if (FDirectory[i] == '/' && ++seen == Index + 1)
            return FDirectory.substr(0, i);
    return FDirectory;
}

void TspSkinDirectoryListBox::SetDirectory(const std::string& Value)
{
    if (Value.empty() || (Value == FDirectory))
        return;
    std::string drive, dir, file;
    SplitEditPath(Value, FDirectory, drive, dir, file);
    if (drive != Drive()) {
        FInSetDir = true;
        try {
            if (FDriveCombo)
                FDriveCombo->SetDrive(drive);
            else
                DriveChange(drive);
        } catch (...) {
            FInSetDir = false;
            throw;
        }
        FInSetDir = false;
    }
    ChangeDirectory(dir);
}

void TspSkinDirectoryListBox::ChangeDirectory(const std::string& Dir)
{
    const std::string target = NormalizePath(Dir[0] == '/' ? Dir : JoinPath(FDirectory, Dir));
    if (!FolderOpens(target))
        RaiseFolder(target);
    FDirectory = target;
    FillDirectoryList();
    DirectoryChanged();
}

void TspSkinDirectoryListBox::DriveChange(const std::string& NewDrive)
{
    if (NewDrive.empty() || NewDrive == Drive())
        return;
    // Volumes keep no current folder of their own: a change starts at the root.
    if (!FolderOpens(NewDrive))
        return;
    FDirectory = NormalizePath(NewDrive);
    if (!FInSetDir) {
        FillDirectoryList();
        DirectoryChanged();
    }
}

void TspSkinDirectoryListBox::DirectoryChanged()
{
    if (FFileList)
        FFileList->ChangeFileDirectory(FDirectory);
    if (FDirLabel) {
        const int w = FDirLabel->AutoSize() ? Width() : FDirLabel->Width();
        // Measured on a bitmap: the label's own canvas draws only while it paints.
        TBitmap measure;
        measure.SetSize(1, 1);
        measure.Canvas()->Font()->Assign(FDirLabel->Font());
        FDirLabel->SetCaption(DisplayText(ShortenPathToWidth(FDirectory, measure.Canvas(), w)));
    }
    if (OnChange)
        OnChange(this);
}

void TspSkinDirectoryListBox::OpenCurrent()
{
    const int i = ItemIndex();
    if (i >= 0)
        SetDirectory(GetItemPath(i));
}

void TspSkinDirectoryListBox::Update()
{
    FillDirectoryList();
    DirectoryChanged();
}

void TspSkinDirectoryListBox::ListBoxDblClick()
{
    TspSkinListBox::ListBoxDblClick();
    OpenCurrent();
}

void TspSkinDirectoryListBox::ListBoxKeyPress(char& Key)
{
    TspSkinListBox::ListBoxKeyPress(Key);
    if (Key == '\r')
        OpenCurrent();
}

int TspSkinDirectoryListBox::GetItemTextWidth(int Index, TCanvas* Canvas)
{
    TBitmap* b = ItemBitmap(Index);
    const int w = b && !b->Empty() ? b->Width() : 16;
    return TspSkinListBox::GetItemTextWidth(Index, Canvas) + ItemIndent(Index) + w + 4;
}

void TspSkinDirectoryListBox::DrawDirectoryItem(TObject*, TCanvas* Cnvs, int Index, int, int, TRect R,
                                                TOwnerDrawState)
{
    if (Index < 0 || Index >= Items()->Count())
        return;
    const int indent = ItemIndent(Index);
    const int scroll = ListBox->HorizontalExtentValue();
    TBitmap* b = ItemBitmap(Index);
    int w = 16;
    if (b && !b->Empty()) {
        w = b->Width();
        DrawTransparent(Cnvs, R.left + indent - scroll, (R.top + R.bottom) / 2 - b->Height() / 2, b);
    }
    Cnvs->Brush()->SetStyle(bsClear);
    const std::string text = DisplayText(DisplayCase(Items()->Get(Index)));
    Cnvs->TextOut(R.left + w + indent - scroll + 4, (R.top + R.bottom) / 2 - Cnvs->TextHeight("Wg") / 2, text);
}

void TspSkinDirectoryListBox::SetFileList(TspSkinFileListBox* Value)
{
    if (FFileList == Value)
        return;
    if (FFileList) {
        FFileList->FDirList = nullptr;
        FFileList->RemoveFreeNotification(this);
    }
    FFileList = Value;
    if (FFileList) {
        FFileList->FDirList = this;
        FFileList->FreeNotification(this);
    }
}

void TspSkinDirectoryListBox::SetDirLabel(TspSkinStdLabel* Value)
{
    if (FDirLabel == Value)
        return;
    if (FDirLabel)
        FDirLabel->RemoveFreeNotification(this);
    FDirLabel = Value;
    if (FDirLabel) {
        FDirLabel->FreeNotification(this);
        DirectoryChanged();
    }
}

void TspSkinDirectoryListBox::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinListBox::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FFileList)
        FFileList = nullptr;
    if (AComponent == FDriveCombo)
        FDriveCombo = nullptr;
    if (AComponent == FDirLabel)
        FDirLabel = nullptr;
}

// ---- file list ------------------------------------------------------------------------

TspSkinFileListBox::TspSkinFileListBox(TComponent* AOwner) : TspSkinListBox(AOwner)
{
    SetWidth(145);
    SetSorted(true);
    SetMultiSelect(false);
    FDirectory = NormalizePath(GetCurrentDir());
}

TspSkinFileListBox::~TspSkinFileListBox()
{
    if (FDirList)
        FDirList->FFileList = nullptr;
    if (FFilterCombo)
        FFilterCombo->FFileList = nullptr;
}

std::string TspSkinFileListBox::Drive() const { return VolumeOfPath(GetMountedVolumes(), FDirectory).MountPoint; }

void TspSkinFileListBox::SetDrive(const std::string& Value)
{
    if (!Value.empty() && Value != Drive())
        ApplyFilePath(Value);
}

std::string TspSkinFileListBox::FileName()
{
    const int i = ItemIndex();
    if (i < 0 || i >= Items()->Count())
        return "";
    return JoinPath(FDirectory, Items()->Get(i));
}

void TspSkinFileListBox::CreateWnd()
{
    TspSkinListBox::CreateWnd();
    if (!FFilling)
        FillFileList();
}

void TspSkinFileListBox::FillFileList()
{
    if (!HandleAllocated() || FFilling)
        return;
    DIR* d = opendir(FDirectory.c_str());
    if (!d)
        RaiseFolder(FDirectory);
    struct TEntry {
        std::string Name;
        bool Dir, Hidden, System, ReadOnly;
    };
    std::vector<TEntry> entries;
    while (dirent* e = readdir(d)) {
        TEntry t{e->d_name, false, false, false, false};
        const std::string path = JoinPath(FDirectory, t.Name);
        struct stat st {};
        // Entries are only looked at, never opened (FIFOs would block).
        if (stat(path.c_str(), &st) != 0 && lstat(path.c_str(), &st) != 0)
            continue;
        t.Dir = S_ISDIR(st.st_mode);
        t.System = !t.Dir && !S_ISREG(st.st_mode);
        t.Hidden = t.Name[0] == '.' && t.Name != "." && t.Name != "..";
        t.ReadOnly = access(path.c_str(), W_OK) != 0;
        entries.push_back(std::move(t));
    }
    closedir(d);

    const TFillGuard guard(FFilling);
    Items()->BeginUpdate();
    Items()->Clear();
    const TCursor oldCursor = Screen ? Screen->Cursor() : crDefault;
    std::set<std::string> listed;
    size_t start = 0;
    const auto want = [&](TspFileAttr a) { return FFileType.Contains(a); };
    while (start <= FMask.size()) {
        size_t end = FMask.find(';', start);
        if (end == std::string::npos)
            end = FMask.size();
        const std::string mask = FMask.substr(start, end - start);
        start = end + 1;
        if (mask.empty())
            continue;
        for (const TEntry& e : entries) {
            // Regular files are always found; the other kinds only when asked for.
            if ((e.Dir && !want(spftDirectory)) || (e.Hidden && !want(spftHidden)) ||
                (e.System && !want(spftSystem)))
                continue;
            const bool asked = (e.Dir && want(spftDirectory)) || (e.Hidden && want(spftHidden)) ||
                               (e.System && want(spftSystem)) || (e.ReadOnly && want(spftReadOnly));
            if (!want(spftNormal) && !asked)
                continue;
            if (!MatchesMask(e.Name, mask) || !listed.insert(e.Name).second)
                continue;
            Items()->Add(e.Dir ? "[" + e.Name + "]" : e.Name);
            if (listed.size() == 100 && Screen)
                Screen->SetCursor(crHourGlass);
        }
    }
    if (Screen)
        Screen->SetCursor(oldCursor);
    Items()->EndUpdate();
    UpDateScrollBar();
    FileSelectionChanged();
}

void TspSkinFileListBox::FileSelectionChanged()
{
    FLastSel = ItemIndex();
    if (FFileEdit) {
        FFileEdit->SetText(FLastSel != -1 ? DisplayText(Items()->Get(FLastSel)) : FMask);
        FFileEdit->SelectAll();
    }
    if (OnChange)
        OnChange(this);
}

void TspSkinFileListBox::ListBoxClick()
{
    TspSkinListBox::ListBoxClick();
    if (ItemIndex() != FLastSel)
        FileSelectionChanged();
}

void TspSkinFileListBox::ChangeFileDirectory(const std::string& Dir)
{
    const std::string target = NormalizePath(!Dir.empty() && Dir[0] == '/' ? Dir : JoinPath(FDirectory, Dir));
    if (target == FDirectory)
        return;
    if (!FolderOpens(target))
        RaiseFolder(target);
    FDirectory = target;
    FillFileList();
}

void TspSkinFileListBox::SelectFileName(const std::string& Name)
{
    const int sel = ItemIndex();
    if (sel != -1 && Items()->Get(sel) == Name)
        return;
    // The exact name first: on most volumes "a" and "A" are two files.
    int found = Items()->IndexOf(Name);
    if (found == -1 || Items()->Get(found) != Name) {
        found = -1;
        for (int i = 0; i < Items()->Count(); ++i)
            if (Items()->Get(i) == Name) {
                found = i;
                break;
            }
        for (int i = 0; found == -1 && i < Items()->Count(); ++i)
            if (SameTextAscii(Items()->Get(i), Name))
                found = i;
    }
    SetItemIndex(found);
    FileSelectionChanged();
}

void TspSkinFileListBox::ApplyFilePath(const std::string& EditText)
{
    if (EditText.empty() || EditText == FileName())
        return;
    std::string drive, dir, file;
    SplitEditPath(EditText, FDirectory, drive, dir, file);
    if (FDirList)
        FDirList->SetDirectory(dir);
    else
        ChangeFileDirectory(dir);
    if (HasWildcards(file)) {
        SetMask(file);
    } else if (!file.empty()) {
        SelectFileName(file);
        if (ItemIndex() == -1 && IsRegularFile(JoinPath(FDirectory, file))) {
            SetMask(file);
            SelectFileName(file);
        }
    }
}

void TspSkinFileListBox::Update() { FillFileList(); }

void TspSkinFileListBox::SetMask(const std::string& Value)
{
    if (FMask == Value)
        return;
    FMask = Value;
    FillFileList();
}

void TspSkinFileListBox::SetFileType(TspFileType Value)
{
    if (FFileType == Value)
        return;
    FFileType = Value;
    FillFileList();
}

void TspSkinFileListBox::SetFileEdit(TEdit* Value)
{
    if (FFileEdit == Value)
        return;
    if (FFileEdit)
        FFileEdit->RemoveFreeNotification(this);
    FFileEdit = Value;
    if (FFileEdit) {
        FFileEdit->FreeNotification(this);
        const int i = ItemIndex();
        FFileEdit->SetText(i != -1 ? DisplayText(Items()->Get(i)) : FMask);
        FFileEdit->SelectAll();
    }
}

void TspSkinFileListBox::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinListBox::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FFileEdit)
        FFileEdit = nullptr;
    if (AComponent == FDirList)
        FDirList = nullptr;
    if (AComponent == FFilterCombo)
        FFilterCombo = nullptr;
}

// ---- filter box ---------------------------------------------------------------------------

TspSkinFilterComboBox::TspSkinFilterComboBox(TComponent* AOwner)
    : TspSkinCustomComboBox(AOwner), FMaskList(std::make_unique<TStringList>())
{
}

TspSkinFilterComboBox::~TspSkinFilterComboBox()
{
    if (FFileList)
        FFileList->FFilterCombo = nullptr;
}

void TspSkinFilterComboBox::CreateWnd()
{
    TspSkinCustomComboBox::CreateWnd();
    FillFilterList();
}

void TspSkinFilterComboBox::FillFilterList()
{
    Items()->BeginUpdate();
    Items()->Clear();
    FMaskList->Clear();
    size_t pos = 0;
    while (pos < FFilter.size()) {
        const size_t bar = FFilter.find('|', pos);
        if (bar == std::string::npos)
            break;  // a description without a mask is dropped
        const std::string desc = FFilter.substr(pos, bar - pos);
        size_t end = FFilter.find('|', bar + 1);
        if (end == std::string::npos)
            end = FFilter.size();
        Items()->Add(desc);
        FMaskList->Add(FFilter.substr(bar + 1, end - bar - 1));
        pos = end + 1;
    }
    Items()->EndUpdate();
    if (Items()->Count() > 0)
        SetItemIndex(0);
}

void TspSkinFilterComboBox::SetFilter(const std::string& Value)
{
    if (SameTextAscii(Value, FFilter))
        return;
    FFilter = Value;
    if (HandleAllocated())
        FillFilterList();
    Change();
}

std::string TspSkinFilterComboBox::Mask()
{
    if (ItemIndex() == -1 && Items()->Count() > 0)
        SetItemIndex(Items()->Count() - 1);
    const int i = ItemIndex();
    if (i < 0 || i >= FMaskList->Count())
        return "*.*";
    return FMaskList->Get(i);
}

void TspSkinFilterComboBox::Change()
{
    if (FFileList && HandleAllocated())
        FFileList->SetMask(Mask());
    TspSkinCustomComboBox::Change();
}

void TspSkinFilterComboBox::SetFileList(TspSkinFileListBox* Value)
{
    if (FFileList == Value)
        return;
    if (FFileList) {
        FFileList->FFilterCombo = nullptr;
        FFileList->RemoveFreeNotification(this);
    }
    FFileList = Value;
    if (FFileList) {
        FFileList->FFilterCombo = this;
        FFileList->FreeNotification(this);
    }
}

void TspSkinFilterComboBox::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinCustomComboBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFileList)
        FFileList = nullptr;
}

// ---- descriptions -------------------------------------------------------------------------

void TspSkinDriveComboBox::DeclarePublished(TPublisher<TspSkinDriveComboBox>& P)
{
    using C = TspSkinDriveComboBox;
    P.Property("SkinData", &C::SkinData, &C::SetSkinData);
    P.Property("SkinDataName", &C::SkinDataName, &C::SetSkinDataName, std::string("combobox"));
    P.Property("DirList", &C::DirList, &C::SetDirList);
    P.Property("TextCase", &C::TextCase, &C::SetTextCase, tcLowerCase);
    P.Property("DropDownCount", &C::DropDownCount, &C::SetDropDownCount, 8);
    P.Property("OnChange", &C::OnChange);
    P.Property("OnClick", &C::OnClick);
}

void TspSkinDirectoryListBox::DeclarePublished(TPublisher<TspSkinDirectoryListBox>& P)
{
    using C = TspSkinDirectoryListBox;
    P.Property("Directory", &C::Directory, &C::SetDirectory);
    P.Property("FileList", &C::FileList, &C::SetFileList);
    P.Property("DirLabel", &C::DirLabel, &C::SetDirLabel);
    P.Property("OnChange", &C::OnChange);
}

void TspSkinFileListBox::DeclarePublished(TPublisher<TspSkinFileListBox>& P)
{
    using C = TspSkinFileListBox;
    P.Property("Directory", &C::Directory, &C::SetDirectory);
    P.Property("Mask", &C::Mask, &C::SetMask, std::string("*.*"));
    P.Property("FileType", &C::FileType, &C::SetFileType, TspFileType{spftNormal});
    P.Property("FileEdit", &C::FileEdit, &C::SetFileEdit);
    P.Property("OnChange", &C::OnChange);
}

void TspSkinFilterComboBox::DeclarePublished(TPublisher<TspSkinFilterComboBox>& P)
{
    using C = TspSkinFilterComboBox;
    P.Property("SkinData", &C::SkinData, &C::SetSkinData);
    P.Property("SkinDataName", &C::SkinDataName, &C::SetSkinDataName, std::string("combobox"));
    P.Property("Filter", &C::Filter, &C::SetFilter, std::string("All files (*.*)|*.*"));
    P.Property("FileList", &C::FileList, &C::SetFileList);
    P.Property("DropDownCount", &C::DropDownCount, &C::SetDropDownCount, 8);
    P.Property("OnChange", &C::OnChange);
    P.Property("OnClick", &C::OnClick);
}

void RegisterSkinFileCtrlsClasses()
{
    RegisterClasses<TspSkinDriveComboBox, TspSkinDirectoryListBox, TspSkinFileListBox, TspSkinFilterComboBox>();
}
