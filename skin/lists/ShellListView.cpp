#include "skin/lists/ShellListView.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/gui/Bitmap.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"
#include "platform/shell/ShellIcons.h"
#include "skin/lists/ShellComboBox.h"
#include "platform/user/Input.h"
#include "skin/lists/SkinDialogForms.h"

#include <algorithm>
#include <memory>
#include <sys/stat.h>

namespace {

// What the column orders compare, read once per entry before sorting, so
// an entry that vanishes meanwhile cannot break the order or the sort.
struct TSortKey {
    TspShellFolder* Folder = nullptr;
    bool IsFolder = false;
    int Kind = 0;
    std::string Raw;  // the identifier's name, for the folder's own order
    long long Size = 0;
    long long Time = 0;
    std::string Type, Name;
};

}  // namespace

bool ShellMaskAccepts(const std::string& Mask, const std::string& FileName)
{
    std::size_t start = 0;
    while (start <= Mask.size()) {
        std::size_t end = Mask.find_first_of(";|", start);
        if (end == std::string::npos)
            end = Mask.size();
        const std::string piece = Mask.substr(start, end - start);
        if (piece == "*" || (piece.find('.') != std::string::npos && MatchesMask(FileName, piece)))
            return true;
        start = end + 1;
    }
    return false;
}

TspCustomShellListView::TspCustomShellListView(TComponent* AOwner) : TspSkinCustomListView(AOwner)
{
    SetOwnerData(true);
    SetHideSelection(false);
    SetSmallImages(ShellImageList(false));
    SetLargeImages(ShellImageList(true));
}

TspCustomShellListView::~TspCustomShellListView()
{
    SetShellTreeView(nullptr);
    delete FNotifier;
    FNotifier = nullptr;
    ClearFolders();
    delete FRootFolder;
}

void TspCustomShellListView::DeclarePublished(TPublisher<TspCustomShellListView>& P)
{
    using C = TspCustomShellListView;
    P.Property("AutoRefresh", &C::AutoRefresh, &C::SetAutoRefresh, false);
    P.Property("AutoNavigate", &C::AutoNavigate, &C::SetAutoNavigate, true);
    P.Property("Mask", &C::Mask, &C::SetMask, "*.*|*.*");
    P.Property("Root", &C::Root, &C::SetRoot, "rfDesktop");
    P.Property("Sorted", &C::Sorted, &C::SetSorted, true);
    P.Property("ShellTreeView", &C::ShellTreeView, &C::SetShellTreeView);
    P.Property("OnAddFolder", &C::OnAddFolder);
    P.Property("OnPathChanged", &C::OnPathChanged);
}

void TspCustomShellListView::SetRoot(const std::string& Value)
{
    if (SameText(Value, FRoot))
        return;
    FOldRoot = FRoot;
    FRoot = Value;
    ClearFolders();
    FRootFolder = ResolveRootFolder(FRootFolder, FOldRoot, FRoot);
    FSettingRoot = true;
    RebuildList();
}

std::string TspCustomShellListView::Path() const { return FRootFolder ? FRootFolder->PathName() : std::string(); }

void TspCustomShellListView::SetPath(const std::string& Value)
{
    TItemIdHolder hold{ParseDesktopName(Value)};
    if (!hold.List)
        throw EInvalidPath(Format("Error setting path: \"%s\"", {Value}));
    OpenFolderID(hold.List);
}

void TspCustomShellListView::SetMask(const std::string& Value)
{
    if (Value == FMask)
        return;
    FMask = Value;
    RebuildList();
}

void TspCustomShellListView::SetObjectTypes(TShellObjectTypes Value)
{
    FObjectTypes = Value;
    if (!ComponentState().Contains(csLoading))
        RebuildList();
}

void TspCustomShellListView::SetSorted(bool Value)
{
    if (FSorted == Value)
        return;
    FSorted = Value;
    Populate();
}

void TspCustomShellListView::SetViewStyle(TViewStyle Value)
{
    TspSkinCustomListView::SetViewStyle(Value);
    if (Value == vsReport)
        LoadColumns();
}

void TspCustomShellListView::SetAutoRefresh(bool Value)
{
    FAutoRefresh = Value;
    if (ComponentState().Contains(csLoading))
        return;
    delete FNotifier;
    FNotifier = nullptr;
    if (!Value)
        return;
    FNotifier = NewFolderWatcher(this, Path(), [this] { Refresh(); });
}

void TspCustomShellListView::SetShellTreeView(TspCustomShellTreeView* Value)
{
    LinkShellPartner(this, FTreeView, Value, &TspCustomShellTreeView::FListView, FRoot);
}

void TspCustomShellListView::Notification(TComponent* AComponent, TOperation Operation)
{
    TspSkinCustomListView::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FTreeView)
        FTreeView = nullptr;
}

TspShellFolder* TspCustomShellListView::FolderAt(int Index) const
{
    return Index >= 0 && Index < FolderCount() ? FFolders[static_cast<size_t>(Index)] : nullptr;
}

TspShellFolder* TspCustomShellListView::SelectedFolder()
{
    return FRootFolder ? FolderAt(ItemIndex()) : nullptr;
}

std::string TspCustomShellListView::GetSelectedFile()
{
    TspShellFolder* folder = SelectedFolder();
    return folder && !folder->IsFolder() ? folder->FullObjectName() : std::string();
}

void TspCustomShellListView::GetSelectedFiles(TStrings* AFiles)
{
    AFiles->Clear();
    if (!FRootFolder)
        return;
    for (int i = 0; i < FolderCount(); ++i)
        if (Items()->Item(i)->Selected() && !FFolders[static_cast<size_t>(i)]->IsFolder())
            AFiles->Add(FFolders[static_cast<size_t>(i)]->FullObjectName());
}

void TspCustomShellListView::ClearFolders()
{
    if (!ComponentState().Contains(csDestroying) && OwnerData())
        Items()->SetCount(0);
    for (TspShellFolder* f : FFolders)
        delete f;
    FFolders.clear();
}

void TspCustomShellListView::Back()
{
    if (!FRootFolder)
        return;
    TItemIdHolder parent{CopyItemIdList(FRootFolder->AbsoluteID())};
    RemoveLastItemId(parent.List);
    OpenFolderID(parent.List);
}

void TspCustomShellListView::Refresh()
{
    if (!FRootFolder)
        return;
    const int selected = ItemIndex();
    ClearSelection();
    TItemIdHolder copy{CopyItemIdList(FRootFolder->AbsoluteID())};
    // The shown folder goes once, after its entries and before the copy opens.
    ClearFolders();
    delete FRootFolder;
    FRootFolder = nullptr;
    OpenFolderID(copy.List);
    if (selected >= 0 && selected < FolderCount())
        SetItemIndex(selected);
}

void TspCustomShellListView::FollowFolder(LPCITEMIDLIST AbsoluteID)
{
    if (FUpdating || (FRootFolder && SameItemIdList(FRootFolder->AbsoluteID(), AbsoluteID)))
        return;
    OpenFolderID(AbsoluteID);
}

void TspCustomShellListView::OpenFolderID(LPCITEMIDLIST AbsoluteID)
{
    if (FUpdating)
        return;
    if (FRootFolder && SameItemIdList(FRootFolder->AbsoluteID(), AbsoluteID))
        return;
    // The list may be an entry's own, which goes with the entries.
    TItemIdHolder copy{CopyItemIdList(AbsoluteID)};
    ClearFolders();
    delete FRootFolder;
    FRootFolder = nullptr;
    FSettingRoot = false;
    FRootFolder = CreateFolderFromAbsoluteID(copy.List);
    RebuildList();
    if (OnPathChanged)
        OnPathChanged(this);
}

void TspCustomShellListView::RebuildList()
{
    if (FUpdating)
        return;
    FUpdating = true;
    try {
        SyncLinkedControls();
        Populate();
        if (ViewStyle() == vsReport)
            LoadColumns();
        // A running watcher is re-pointed, never freed here: a rebuild may
        // come from its own change handler.
        if (FNotifier)
            FNotifier->SetRoot(Path());
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}

void TspCustomShellListView::SyncLinkedControls()
{
    if (FTreeView) {
        if (FSettingRoot)
            FTreeView->SetRoot(FRoot);
        else if (FRootFolder)
            FTreeView->SelectID(FRootFolder->AbsoluteID());
    }
    if (FComboBox && !FSettingRoot && FRootFolder)
        FComboBox->SelectID(FRootFolder->AbsoluteID());
    FSettingRoot = false;
}

bool TspCustomShellListView::IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage)
{
    if (Target == dtControl && Stage == cdPrePaint && Color() != clWindow)
        return true;
    return TspSkinCustomListView::IsCustomDrawn(Target, Stage);
}

bool TspCustomShellListView::CustomDraw(const TRect& ARect, TCustomDrawStage Stage)
{
    if (Stage == cdPrePaint && Color() != clWindow) {
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(ARect);
    }
    return TspSkinCustomListView::CustomDraw(ARect, Stage);
}

bool TspCustomShellListView::PassesMask(const std::string& FileName) const { return ShellMaskAccepts(FMask, FileName); }

void TspCustomShellListView::Populate()
{
    if ((ComponentState().Contains(csLoading) && !HandleAllocated()) || !FRootFolder)
        return;
    Items()->BeginUpdate();
    ClearFolders();
    IShellFolder* shown = FRootFolder->ShellFolder().get();
    std::unique_ptr<IEnumIDList> items;
    try {
        if (shown && SUCCEEDED(shown->EnumObjects(nullptr, EnumFlagsFor(FObjectTypes), items)) && items) {
            LPITEMIDLIST id = nullptr;
            ULONG got = 0;
            while (items->Next(1, &id, &got) == S_OK && got == 1) {
                TItemIdHolder hold{id};
                // Only folders are bound to a folder object of their own; a
                // file's name for the mask is its identifier's.
                auto folder = std::make_unique<TspShellFolder>(FRootFolder, id, nullptr);
                bool accept = folder->IsFolder();
                if (accept)
                    folder = std::make_unique<TspShellFolder>(FRootFolder, id, BindFolder(shown, id, nullptr));
                else {
                    TItemKind kind;
                    std::string name;
                    accept = ReadItemId(id, kind, name) && PassesMask(name);
                }
                if (OnAddFolder)
                    OnAddFolder(this, folder.get(), accept);
                if (accept)
                    FFolders.push_back(folder.release());
            }
        }
        if (FSorted)
            SortFolders();
    } catch (...) {
        Items()->EndUpdate();
        throw;
    }
    Items()->SetCount(FolderCount());
    Items()->EndUpdate();
    Invalidate();
}

void TspCustomShellListView::SortFolders()
{
    IShellFolder* shown = FRootFolder && FRootFolder->ShellFolder() ? FRootFolder->ShellFolder().get() : nullptr;
    std::vector<TSortKey> keys(FFolders.size());
    const bool byColumn = FSortColumn >= 0;
    // Size, type and date apply to a file-system folder; elsewhere those
    // columns keep the basic order. The rule never depends on an entry.
    const bool fileSystem = FRootFolder && !FRootFolder->FullObjectName().empty();
    for (size_t i = 0; i < FFolders.size(); ++i) {
        TSortKey& k = keys[i];
        k.Folder = FFolders[i];
        k.IsFolder = k.Folder->IsFolder();
        // Read once here rather than in each of the sort's comparisons.
        TItemKind kind = TItemKind::Entry;
        ReadItemId(k.Folder->RelativeID(), kind, k.Raw);
        k.Kind = static_cast<int>(kind);
        if (!byColumn)
            continue;
        if (FSortColumn == 0)
            k.Name = AnsiLowerCase(k.Folder->DisplayName());
        else if (fileSystem) {
            const std::string path = k.Folder->FullObjectName();
            struct stat st {};
            if (!k.IsFolder && ::stat(path.c_str(), &st) == 0) {
                k.Size = static_cast<long long>(st.st_size);
                k.Time = static_cast<long long>(st.st_mtime);
            }
            k.Type = AnsiLowerCase(ExtractFileExt(path));
        }
    }
    auto basic = [shown](const TSortKey& a, const TSortKey& b) {
        if (a.IsFolder != b.IsFolder)
            return a.IsFolder ? -1 : 1;
        // The folder's own order (CompareIDs on one identifier each).
        if (!shown)
            return 0;
        if (a.Kind != b.Kind)
            return a.Kind < b.Kind ? -1 : 1;
        return CompareItemNames(a.Raw, b.Raw);
    };
    const int column = FSortColumn;
    auto ruled = [&](const TSortKey& a, const TSortKey& b) {
        if (column < 0 || (column > 0 && !fileSystem) || a.IsFolder != b.IsFolder)
            return basic(a, b);
        int r = 0;
        if (!a.IsFolder) {
            if (column == 0)
                r = a.Name.compare(b.Name);
            else if (column == 1)
                r = a.Size < b.Size ? -1 : a.Size > b.Size;
            else if (column == 2)
                r = a.Type.compare(b.Type);
            else if (column == 3)
                r = a.Time < b.Time ? -1 : a.Time > b.Time;
        } else if (column == 0)
            r = a.Name.compare(b.Name);
        return r ? r : basic(a, b);
    };
    const bool descending = byColumn && FSortDirection;
    std::stable_sort(keys.begin(), keys.end(), [&](const TSortKey& a, const TSortKey& b) {
        const int r = ruled(a, b);
        return descending ? r > 0 : r < 0;
    });
    for (size_t i = 0; i < keys.size(); ++i)
        FFolders[i] = keys[i].Folder;
}

void TspCustomShellListView::SortByColumn(int Column)
{
    if (Column != 0 && Columns()->Count() < 4)
        return;
    FOldSortColumn = FSortColumn;
    FSortDirection = Column == FSortColumn && Column != -1 ? !FSortDirection : false;
    FSortColumn = Column;
    SortFolders();
    Items()->SetCount(FolderCount());
    Invalidate();
}

void TspCustomShellListView::ColClick(TListColumn* Column)
{
    TspSkinCustomListView::ColClick(Column);
    SortByColumn(Column->Index());
}

void TspCustomShellListView::LoadColumns()
{
    if (!FRootFolder)
        return;
    Columns()->BeginUpdate();
    Columns()->Clear();
    FRootFolder->SetViewHandle(HandleAllocated() ? Handle() : nullptr);
    struct TColumnText {
        const char* Key;
        const char* BuiltIn;
        TAlignment Align;
        int Chars;
    };
    static const TColumnText texts[] = {{"FLV_NAME", "Name", taLeftJustify, 25},
                                        {"FLV_SIZE", "Size", taRightJustify, 10},
                                        {"FLV_TYPE", "Type", taLeftJustify, 10},
                                        {"FLV_MODIFIED", "Modified", taLeftJustify, 14}};
    const int count = FRootFolder->FullObjectName().empty() ? 1 : 4;
    // The list's own canvas draws only inside a paint pass: measure on a bitmap.
    TBitmap measure;
    measure.Canvas()->Font()->Assign(Font());
    const int x = std::max(1, measure.Canvas()->TextWidth("X"));
    for (int i = 0; i < count; ++i) {
        TListColumn* column = Columns()->Add();
        column->SetCaption(SkinDialogText(SkinData(), texts[i].Key, texts[i].BuiltIn));
        column->SetAlignment(texts[i].Align);
        column->SetWidth(x * texts[i].Chars);
    }
    Columns()->EndUpdate();
}

bool TspCustomShellListView::OwnerDataFetch(TListItem* Item, TItemRequest Request)
{
    TspShellFolder* folder = FolderAt(Item->Index());
    if (!folder)
        return TspSkinCustomListView::OwnerDataFetch(Item, Request);
    if (Request.Contains(irText) || DrawSkin())
        Item->SetCaption(folder->DisplayName());
    if (Request.Contains(irImage) || DrawSkin())
        Item->SetImageIndex(folder->ImageIndex(ViewStyle() == vsIcon));
    if (ViewStyle() == vsReport && Columns()->Count() > 1) {
        try {
            folder->LoadColumnDetails(FRootFolder, HandleAllocated() ? Handle() : nullptr, Columns()->Count());
        } catch (const EInvalidPath&) {
            // Vanished since listing: the row shows its name only.
        }
        Item->SubItems()->Clear();
        for (int c = 1; c < Columns()->Count(); ++c)
            Item->SubItems()->Add(folder->DetailText(c));
    }
    return TspSkinCustomListView::OwnerDataFetch(Item, Request);
}

int TspCustomShellListView::OwnerDataFind(TItemFind Find, const std::string& FindString, const TPoint&, void*,
                                          int StartIndex, TSearchDirection, bool Wrap)
{
    if ((Find != ifPartialString && Find != ifExactString) || StartIndex == -1 || FFolders.empty())
        return -1;
    const std::string wanted = AnsiLowerCase(FindString);
    const int n = FolderCount();
    int i = std::clamp(StartIndex, 0, n - 1);
    for (int steps = 0; steps < n; ++steps) {
        const std::string name = AnsiLowerCase(FFolders[static_cast<size_t>(i)]->DisplayName());
        if (name.compare(0, wanted.size(), wanted) == 0)
            return i;
        if (++i >= n) {
            if (!Wrap)
                return -1;
            i = 0;
        }
    }
    return -1;
}

void TspCustomShellListView::Edit(TListItem* Item, std::string S)
{
    if (OnEdited)
        OnEdited(this, Item, S);
    TspShellFolder* folder = FolderAt(Item->Index());
    if (!folder || !folder->Rename(UTF8ToUTF16(S)))
        return;
    UpdateItems(Item->Index(), Item->Index());
    if (FTreeView && FTreeView->Selected())
        FTreeView->Refresh(FTreeView->Selected());
}

void TspCustomShellListView::DblClick()
{
    if (FAutoNavigate)
        if (TspShellFolder* folder = SelectedFolder(); folder && folder->IsFolder())
            OpenFolderID(folder->AbsoluteID());
    TspSkinCustomListView::DblClick();
}

void TspCustomShellListView::KeyDown(WORD& Key, TShiftState Shift)
{
    if (FAutoNavigate && !IsEditing()) {
        if (Key == VK_BACK) {
            Back();
            Key = 0;
        } else if (Key == VK_RETURN && !Shift.Contains(ssAlt)) {
            if (TspShellFolder* folder = SelectedFolder(); folder && folder->IsFolder()) {
                OpenFolderID(folder->AbsoluteID());
                Key = 0;
            }
        } else if (Key == VK_F5) {
            Refresh();
            Key = 0;
        }
    }
    if (Key)
        TspSkinCustomListView::KeyDown(Key, Shift);
}

void TspCustomShellListView::CreateWnd()
{
    TspSkinCustomListView::CreateWnd();
    if (!FRootFolder && !ComponentState().Contains(csLoading)) {
        FRootFolder = ResolveRootFolder(nullptr, FOldRoot, FRoot);
        RebuildList();
    } else if (FRootFolder) {
        Items()->SetCount(FolderCount());
    }
}

void TspCustomShellListView::Loaded()
{
    TspSkinCustomListView::Loaded();
    if (HandleAllocated())
        Populate();
    SetAutoRefresh(FAutoRefresh);
}

void RegisterShellListViewClasses() { RegisterClasses<TspSkinFileListView>(); }
