#include "app/windows/ProfilePicker.h"

#include "app/core/AppData.h"
#include "app/core/ErrorReport.h"
#include "app/core/MediaQueue.h"
#include "app/core/Translation.h"
#include "app/windows/OutputPanel.h"
#include "app/windows/SettingsForm.h"
#include "platform/gdi/Text.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/Checked.h"
#include "platform/rtl/SysUtils.h"

namespace {

int RoundEven(double v) { return static_cast<int>(Round(v)); }

bool Drawable(TGraphic* g) { return g && !g->Empty(); }

TGraphic* IconPicture(int Index)
{
    const auto& icons = App().ProfileIcons;
    if (Index < 0 || Index >= static_cast<int>(icons.size()) || !icons[static_cast<std::size_t>(Index)].Picture)
        return nullptr;
    return icons[static_cast<std::size_t>(Index)].Picture->Graphic();
}

// The first icon whose ID matches (exactly or letter case aside); 0 when none.
int FirstIcon(const std::string& Name, bool IgnoreCase)
{
    const auto& icons = App().ProfileIcons;
    for (int i = 0; i < static_cast<int>(icons.size()); ++i) {
        const std::string& id = icons[static_cast<std::size_t>(i)].ID;
        if (IgnoreCase ? SameText(id, Name) : id == Name)
            return i;
    }
    return 0;
}

void DrawCentred(TCanvas* C, int x, int y, TGraphic* g)
{
    if (Drawable(g))
        C->Draw(x - RoundEven(g->Width() / 2.0), y - RoundEven(g->Height() / 2.0), g);
}

void TextIn(TCanvas* C, const std::string& s, TRect r, UINT format)
{
    C->Refresh();
    HDC dc = C->Handle();
    SetBkMode(dc, TRANSPARENT);
    DrawText(dc, s, -1, &r, format | DT_NOPREFIX);
}

}  // namespace

TProfilePicker::TProfilePicker(TspSkinStringGrid* AProfiles, TspSkinStringGrid* AFormats, TTimer* ADelayTimer)
    : FProfiles(AProfiles), FFormats(AFormats), FTimer(ADelayTimer)
{
}

TProfilePicker::~TProfilePicker()
{
    if (FTimer && FTimer->OnTimer() == MakeEvent(this, &TProfilePicker::ProfileChangeDelayTimerTimer)) {
        FTimer->SetEnabled(false);
        FTimer->SetOnTimer({});
    }
}

void TProfilePicker::SetUpGrids()
{
    struct Setup {
        TspSkinStringGrid* Grid;
        int Width, Height;
    } grids[] = {{FProfiles, 146, 27}, {FFormats, 350, 57}};
    for (const Setup& s : grids) {
        s.Grid->SetColCount(1);
        s.Grid->SetFixedCols(0);
        s.Grid->SetFixedRows(0);
        s.Grid->SetColWidths(0, s.Width);
        s.Grid->SetDefaultRowHeight(s.Height);
        s.Grid->SetOptions(TGridOptions{goRowSelect});
        s.Grid->SetDefaultDrawing(false);
        s.Grid->SetUseSkinCellHeight(false);
    }
    FFormats->SetUseSkinFont(false);
    FProfiles->OnDrawCell = MakeEvent(this, &TProfilePicker::sgProfilesDrawCell);
    FProfiles->OnMouseMove = MakeEvent(this, &TProfilePicker::sgProfilesMouseMove);
    FFormats->OnDrawCell = MakeEvent(this, &TProfilePicker::sgFormatsDrawCell);
    FFormats->OnMouseMove = MakeEvent(this, &TProfilePicker::sgFormatsMouseMove);
    FFormats->OnClick = MakeEvent(this, &TProfilePicker::sgFormatsClick);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(kDelay);
    FTimer->SetOnTimer(MakeEvent(this, &TProfilePicker::ProfileChangeDelayTimerTimer));
}

int TProfilePicker::FormatCount(int Profile) const
{
    const auto& profiles = App().Profiles;
    if (Profile < 0 || Profile >= static_cast<int>(profiles.size()))
        return 0;
    return static_cast<int>(profiles[static_cast<std::size_t>(Profile)].Formats.size());
}

void TProfilePicker::FormShow(TObject*)
{
    const auto& app = App();
    FProfiles->SetRowCount(std::max<int>(1, static_cast<int>(app.Profiles.size())));
    FFormats->SetRowCount(std::max(1, FormatCount(app.CurrentProfileIndex)));
    PickerHotFormat = app.CurrentFormatIndex;
    PickerShownProfile = app.CurrentProfileIndex;
    if (app.CurrentFormatIndex >= 0 && app.CurrentFormatIndex < FFormats->RowCount())
        FFormats->SetTopRow(std::min(app.CurrentFormatIndex, std::max(0, FFormats->RowCount() - FFormats->VisibleRowCount())));
    FProfiles->Invalidate();
    FFormats->Invalidate();
}

void TProfilePicker::FormHide(TObject*) { FTimer->SetEnabled(false); }

void TProfilePicker::sgProfilesMouseMove(TObject*, TShiftState, int X, int Y)
{
    int col = -1, row = -1;
    FProfiles->MouseToCell(X, Y, col, row);
    if (row < 0 || row >= static_cast<int>(App().Profiles.size())) {
        FTimer->SetEnabled(false);
        return;
    }
    PickerPendingProfile = row;
    if (row != PickerShownProfile) {
        PickerShownProfile = row;
        FProfiles->Invalidate();
        FTimer->SetEnabled(false);
        FTimer->SetEnabled(true);
    }
}

void TProfilePicker::ProfileChangeDelayTimerTimer(TObject*)
{
    PickerListedProfile = PickerPendingProfile;
    PickerShownProfile = PickerPendingProfile;
    // A grid keeps at least one row; an empty category shows it blank.
    FFormats->SetRowCount(std::max(1, FormatCount(PickerListedProfile)));
    PickerHotFormat = -1;
    FProfiles->Invalidate();
    FFormats->Invalidate();
}

void TProfilePicker::sgFormatsMouseMove(TObject*, TShiftState, int X, int Y)
{
    PickerMouseX = X;
    PickerMouseY = Y;
    if (FTimer->Enabled()) {
        PickerShownProfile = PickerListedProfile;
        FProfiles->Invalidate();
        FTimer->SetEnabled(false);
    }
    int col = -1, row = -1;
    FFormats->MouseToCell(X, Y, col, row);
    const int count = FormatCount(PickerShownProfile);
    if (row >= count)
        row = -1;
    if (PickerShownProfile == App().CustomProfileIndex && row >= 0 && row == PickerHotFormat)
        FFormats->Invalidate();  // the buttons follow the pointer
    if (row != PickerHotFormat) {
        PickerHotFormat = count == 0 ? -1 : row;
        FFormats->Invalidate();
    }
}

bool TProfilePicker::InsideButton(int X, int Y) const
{
    return PickerMouseX > X && PickerMouseX < X + PickerButtonWidth && PickerMouseY > Y &&
           PickerMouseY < Y + PickerButtonWidth;
}

bool TProfilePicker::InEditButton() const
{
    return PickerButtonWidth > 0 && InsideButton(PickerEditButtonX, PickerEditButtonY);
}

bool TProfilePicker::InRemoveButton() const
{
    return PickerButtonWidth > 0 && InsideButton(PickerRemoveButtonX, PickerRemoveButtonY);
}

void TProfilePicker::sgFormatsClick(TObject*)
{
    if (PickerShownProfile < 0 || PickerHotFormat < 0 || PickerHotFormat >= FormatCount(PickerShownProfile))
        return;
    try {
        if (PickerShownProfile == App().CustomProfileIndex) {
            if (InEditButton()) {
                RenameCustomPreset(PickerHotFormat);
                return;
            }
            if (InRemoveButton()) {
                RemoveCustomPreset(PickerHotFormat);
                return;
            }
        }
    } catch (const Exception&) {
        SendErrorReport("Error on profile " + std::to_string(App().CurrentProfileIndex) + ", format " +
                            std::to_string(App().RecentFormatIndex) + " choosing",
                        "CLM_ProfileChoosing");
        return;
    }
    ChooseHotPreset();
}

void TProfilePicker::RenameCustomPreset(int Index)
{
    auto& preset = App().Profiles[static_cast<std::size_t>(PickerShownProfile)].Formats[static_cast<std::size_t>(Index)];
    std::string title = preset.Title;
    if (AskTitle && AskTitle(TranslateText("Rename profile"), TranslateText("New title:"), title) && !title.empty())
        preset.Title = title;
    FFormats->Invalidate();
    if (OnPresetsChanged)
        OnPresetsChanged();
}

void TProfilePicker::RemoveCustomPreset(int Index)
{
    auto& app = App();
    const int custom = app.CustomProfileIndex;
    auto& formats = app.Profiles[static_cast<std::size_t>(custom)].Formats;
    if (!ConfirmYes || !ConfirmYes(TranslateText("Remove profile " + formats[static_cast<std::size_t>(Index)].Title)))
        return;
    for (int j = Index + 1; j < static_cast<int>(formats.size()); ++j)
        CopyFormatToCustom(custom, j, custom, j - 1);
    formats.pop_back();
    for (TMediaFile& f : app.MediaFiles) {
        if (f.ProfileInd != custom)
            continue;
        if (f.FormatInd == Index) {
            f.ProfileInd = 0;
            f.FormatInd = 0;
        } else if (f.FormatInd > Index) {
            --f.FormatInd;
        }
    }
    bool chooseFirst = false;
    if (app.CurrentProfileIndex == custom && app.CurrentFormatIndex == Index) {
        app.CurrentProfileIndex = app.CurrentFormatIndex = 0;
        PickerHotFormat = PickerShownProfile = 0;
        chooseFirst = true;
    } else if (app.CurrentProfileIndex == custom && app.CurrentFormatIndex > Index) {
        --PickerHotFormat;
        --app.CurrentFormatIndex;
        app.RecentFormatIndex = app.CurrentFormatIndex;
    }
    app.LastEditedProfileIndex = app.LastEditedFormatIndex = -1;
    FFormats->SetRowCount(std::max(1, static_cast<int>(formats.size())));
    EstimateAllOutputSizes();
    FFormats->Invalidate();
    if (OnPresetsChanged)
        OnPresetsChanged();
    if (chooseFirst)
        ChooseHotPreset();
}

void TProfilePicker::ChooseHotPreset()
{
    auto& app = App();
    const int p = PickerShownProfile, f = PickerHotFormat;
    if (p < 0 || p >= static_cast<int>(app.Profiles.size()) || f < 0 || f >= FormatCount(p))
        return;
    const int row = SelectedRow ? SelectedRow() : 0;
    if (!app.MediaFiles.empty() && row >= 1 && row <= static_cast<int>(app.MediaFiles.size())) {
        TMediaFile& item = app.MediaFiles[static_cast<std::size_t>(row - 1)];
        item.Status = TranslateText("Ready");
        item.ProfileInd = p;
        item.FormatInd = f;
    }
    app.CurrentProfileIndex = app.RecentProfileIndex = p;
    app.CurrentFormatIndex = app.RecentFormatIndex = f;
    if (JoinAllVideos && JoinAllVideos())
        for (TMediaFile& item : app.MediaFiles) {
            item.ProfileInd = p;
            item.FormatInd = f;
        }
    EstimateAllOutputSizes();
    FillSettingsForm();
    if (OnChosen)
        OnChosen();
}

void TProfilePicker::sgProfilesDrawCell(TObject*, int, int ARow, TRect Rect, TGridDrawState)
{
    const auto& profiles = App().Profiles;
    TCanvas* C = FProfiles->Canvas();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clWhite);
    C->FillRect(Rect);
    if (ARow < 0 || ARow >= static_cast<int>(profiles.size()))
        return;
    const TProfile& profile = profiles[static_cast<std::size_t>(ARow)];
    const bool shown = ARow == PickerShownProfile;
    C->Pen()->SetColor(static_cast<TColor>(0xBBBBBB));
    C->Brush()->SetColor(shown ? static_cast<TColor>(0xDDDDDD) : clWhite);
    if (shown)
        C->Rectangle(Rect.left + 5, Rect.top, Rect.right - 5, Rect.bottom);
    else
        C->FillRect(TRect(Rect.left + 5, Rect.top, Rect.right - 5, Rect.bottom));
    DrawCentred(C, Rect.left + 15, Rect.top + 12, IconPicture(FirstIcon(profile.Icon, false)));
    C->Font()->SetColor(clBlack);
    TextIn(C, profile.Title, TRect(Rect.left + 32, Rect.top + 5, Rect.right - 10, Rect.bottom),
           DT_SINGLELINE | DT_END_ELLIPSIS);
    TGraphic* arrow = shown ? imgArrowOver : imgArrow;
    if (Drawable(arrow))
        C->Draw(Rect.right - 17, Rect.top + 5, arrow);
}

void TProfilePicker::sgFormatsDrawCell(TObject*, int, int ARow, TRect Rect, TGridDrawState)
{
    TCanvas* C = FFormats->Canvas();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clWhite);
    C->FillRect(Rect);
    const bool hot = ARow == PickerHotFormat;
    if (hot) {
        C->Brush()->SetColor(static_cast<TColor>(0xEFE3C9));
        C->Pen()->SetColor(static_cast<TColor>(0xFFD4B9));
        C->Rectangle(Rect.left + 5, Rect.top, Rect.right - 5, Rect.bottom);
    }
    if (PickerShownProfile < 0 || ARow < 0 || ARow >= FormatCount(PickerShownProfile))
        return;
    const TFormat& f =
        App().Profiles[static_cast<std::size_t>(PickerShownProfile)].Formats[static_cast<std::size_t>(ARow)];
    DrawCentred(C, Rect.left + 28, Rect.top + 20, IconPicture(FirstIcon(f.Icon, true)));
    C->Font()->SetColor(clBlack);
    C->Font()->SetStyle({fsBold});
    TextIn(C, f.Title, TRect(Rect.left + 50, Rect.top + 2, Rect.right, Rect.top + 20), DT_SINGLELINE | DT_END_ELLIPSIS);
    C->Font()->SetStyle({});
    C->Font()->SetColor(static_cast<TColor>(hot ? 0x222222 : 0x444444));
    TextIn(C, f.Description, TRect(Rect.left + 50, Rect.top + 20, Rect.right - 20, Rect.bottom - 2), DT_WORDBREAK);
    if (hot && PickerShownProfile == App().CustomProfileIndex) {
        const int w = Drawable(EditRemoveImages[0]) ? EditRemoveImages[0]->Width() : 16;
        PickerRemoveButtonX = Rect.right - 10 - w;
        PickerEditButtonX = PickerRemoveButtonX - 7 - w;
        PickerEditButtonY = PickerRemoveButtonY = Rect.top + 5;
        PickerButtonWidth = w;
        TGraphic* edit = EditRemoveImages[InEditButton() ? 2 : 0];
        TGraphic* remove = EditRemoveImages[InRemoveButton() ? 3 : 1];
        if (Drawable(edit))
            C->Draw(PickerEditButtonX, PickerEditButtonY, edit);
        if (Drawable(remove))
            C->Draw(PickerRemoveButtonX, PickerRemoveButtonY, remove);
    }
}
