#include "app/windows/QueueItemOps.h"

#include "app/core/AppData.h"
#include "app/core/MediaQueue.h"
#include "app/windows/QueueGridPaint.h"
#include "app/windows/SettingsForm.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/SysUtils.h"
#include "skin/controls/SkinButtons.h"
#include "skin/controls/SkinNotebook.h"
#include "skin/lists/SkinStringGrid.h"

#include <algorithm>

namespace {
constexpr WORD kDeleteKey = 46;
}

void EnableControls(const TQueueCommands& Commands, bool enableORdisable, bool AllControls)
{
    if (AllControls) {
        for (TControl* c : Commands.InputControls)
            if (c)
                c->SetEnabled(enableORdisable);
        for (TMenuItem* m : Commands.InputMenuItems)
            if (m)
                m->SetEnabled(enableORdisable);
    }
    for (TControl* c : Commands.ItemControls)
        if (c)
            c->SetEnabled(enableORdisable);
    for (TMenuItem* m : Commands.ItemMenuItems)
        if (m)
            m->SetEnabled(enableORdisable);
    if (Commands.Notebook && Commands.Notebook->PageIndex() != 1)
        Commands.Notebook->SetPageIndex(1);
    if (Commands.GettingStartedPanel)
        Commands.GettingStartedPanel->SetVisible(false);
}

void DisableButton(TspSkinSpeedButton* MyButton)
{
    if (!MyButton)
        return;
    MyButton->SetEnabled(false);
    MyButton->SetFlat(false);
    MyButton->Repaint();
    MyButton->SetFlat(true);
    MyButton->Repaint();
}

std::string MendTitle(const std::string& Typed, const std::string& Old)
{
    std::string text;
    text.reserve(Typed.size());
    for (char c : Typed)
        if (c != '\r' && c != '\n')
            text += c;
    text = Trim(text);
    if (text.empty())
        return Old;
    for (unsigned char c : text)
        if (c == '/' || c < 0x20 || c == 0x7F)
            return Old;
    return text;
}

TQueueItemOps::TQueueItemOps(TspSkinStringGrid* AGrid, TQueueGridPainter* APainter)
    : FGrid(AGrid), FPainter(APainter)
{
}

TQueueItemOps::~TQueueItemOps() = default;

void TQueueItemOps::Attach()
{
    FGrid->OnMouseDown = MakeEvent(this, &TQueueItemOps::sgListMouseDown);
    FGrid->OnKeyDown = MakeEvent(this, &TQueueItemOps::sgListKeyDown);
    FGrid->OnClick = MakeEvent(this, &TQueueItemOps::sgListClick);
    if (TitleMemo) {
        TitleMemo->OnExit = MakeEvent(this, &TQueueItemOps::TitleMemoExit);
        TitleMemo->OnKeyPress = MakeEvent(this, &TQueueItemOps::TitleMemoKeyPress);
    }
}

int TQueueItemOps::Count() const { return static_cast<int>(App().MediaFiles.size()); }

void TQueueItemOps::UpdateStartButton()
{
    if (!StartButton)
        return;
    const auto& files = App().MediaFiles;
    StartButton->SetEnabled(std::any_of(files.begin(), files.end(), [](const TMediaFile& f) { return f.Checked; }));
}

void TQueueItemOps::Refresh()
{
    FGrid->SetRowCount(Count() + 1);
    FGrid->Invalidate();
}

void TQueueItemOps::sgListClick(TObject*)
{
    auto& app = App();
    const int row = FGrid->Row();
    if (row < 1 || row > Count())
        return;
    const TMediaFile& item = app.MediaFiles[static_cast<std::size_t>(row - 1)];
    app.CurrentProfileIndex = item.ProfileInd;
    app.CurrentFormatIndex = item.FormatInd;
    // The category's icon, else the preset's; the last match wins, 0 without one.
    std::string categoryIcon, presetIcon;
    if (item.ProfileInd >= 0 && item.ProfileInd < static_cast<int>(app.Profiles.size())) {
        const TProfile& profile = app.Profiles[static_cast<std::size_t>(item.ProfileInd)];
        categoryIcon = LowerCase(profile.Icon);
        if (item.FormatInd >= 0 && item.FormatInd < static_cast<int>(profile.Formats.size()))
            presetIcon = LowerCase(profile.Formats[static_cast<std::size_t>(item.FormatInd)].Icon);
    }
    int category = 0, preset = 0;
    for (int i = 0; i < static_cast<int>(app.ProfileIcons.size()); ++i) {
        const std::string id = LowerCase(app.ProfileIcons[static_cast<std::size_t>(i)].ID);
        if (id == categoryIcon)
            category = i;
        else if (id == presetIcon)
            preset = i;
    }
    app.CurrentCategoryIcon = category;
    app.CurrentPresetIcon = preset;
    FillSettingsForm();
    if (OnItemSelected)
        OnItemSelected(row - 1);
}

void TQueueItemOps::sgListMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y)
{
    int col = -1, row = -1;
    FGrid->MouseToCell(X, Y, col, row);
    ClickCheckColumn(col, row);
}

void TQueueItemOps::ClickCheckColumn(int ACol, int ARow)
{
    auto& files = App().MediaFiles;
    if (ACol == 0) {
        if (ARow >= 1 && ARow <= Count()) {
            TMediaFile& item = files[static_cast<std::size_t>(ARow - 1)];
            item.Checked = !item.Checked;
            FPainter->AllItemsChecked =
                std::all_of(files.begin(), files.end(), [](const TMediaFile& f) { return f.Checked; });
        } else {
            FPainter->AllItemsChecked = !FPainter->AllItemsChecked;
            for (TMediaFile& f : files)
                f.Checked = FPainter->AllItemsChecked;
        }
        FGrid->Invalidate();
    }
    UpdateStartButton();
}

void TQueueItemOps::sgListKeyDown(TObject*, WORD& Key, TShiftState)
{
    if (Key == kDeleteKey)
        Remove1Click(this);
}

void TQueueItemOps::Rename1Click(TObject*)
{
    if (Count() == 0)
        return;
    BeginRenameTitle(FGrid->Row());
}

void TQueueItemOps::BeginRenameTitle(int ARow)
{
    if (!TitleMemo || ARow < 1 || ARow > Count())
        return;
    const TRect cell = FGrid->CellRect(2, ARow);
    // The memo lies on the grid's parent, over the cell.
    TitleMemo->SetBounds(FGrid->Left() + cell.left, FGrid->Top() + cell.top, FGrid->ColWidths(2),
                         FGrid->DefaultRowHeight());
    TitleMemo->SetVisible(true);
    TitleMemo->SetText(App().MediaFiles[static_cast<std::size_t>(ARow - 1)].DestinationTitle);
    TitleMemo->SetWordWrap(true);
    if (TitleMemo->CanFocus())
        TitleMemo->SetFocus();
}

void TQueueItemOps::TitleMemoExit(TObject*) { EndRenameTitle(); }

void TQueueItemOps::TitleMemoKeyPress(TObject*, char& Key)
{
    if (Key == 13) {
        Key = 0;
        EndRenameTitle();
    }
}

void TQueueItemOps::EndRenameTitle()
{
    // Hiding the memo moves the focus, which ends the rename a second time.
    if (!TitleMemo || FEndingRename || !TitleMemo->Visible())
        return;
    FEndingRename = true;
    const int row = FGrid->Row();
    if (row >= 1 && row <= Count()) {
        TMediaFile& item = App().MediaFiles[static_cast<std::size_t>(row - 1)];
        item.DestinationTitle = MendTitle(TitleMemo->Text(), item.DestinationTitle);
    }
    TitleMemo->SetVisible(false);
    FEndingRename = false;
    FGrid->Invalidate();
}

void TQueueItemOps::MoveUp1Click(TObject*)
{
    if (Count() < 2)
        return;
    const int row = FGrid->Row();
    if (row > 1 && row <= Count()) {
        SwapMediaFiles(row - 2, row - 1);
        FGrid->SetRow(row - 1);
    }
    FGrid->Invalidate();
}

void TQueueItemOps::MoveDown1Click(TObject*)
{
    if (Count() < 2)
        return;
    const int row = FGrid->Row();
    if (row >= 1 && row < Count()) {
        SwapMediaFiles(row - 1, row);
        FGrid->SetRow(row + 1);
    }
    FGrid->Invalidate();
}

void TQueueItemOps::Remove1Click(TObject*)
{
    if (Count() == 0)
        return;
    const int row = FGrid->Row();
    if (row < 1 || row > Count())
        return;
    if (Count() == 1) {
        ClearAll1Click(this);
        return;
    }
    RemoveMediaFile(row - 1);
    Refresh();
    if (Count() == 0)
        EnableControls(Commands, false, false);
}

void TQueueItemOps::ClearAll1Click(TObject*)
{
    ClearMediaFiles();
    FGrid->SetRowCount(1);
    EnableControls(Commands, false, false);
    FGrid->Invalidate();
}
