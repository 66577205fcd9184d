#include "app/windows/OutputPanel.h"

#include "app/core/AppData.h"
#include "app/core/MediaQueue.h"
#include "app/core/PresetFiles.h"
#include "app/core/Translation.h"

namespace {

TMediaFile* ItemOfRow(int Row)
{
    auto& files = App().MediaFiles;
    if (Row < 1 || Row > static_cast<int>(files.size()))
        return nullptr;
    return &files[static_cast<std::size_t>(Row - 1)];
}

TFormat* PresetAt(int P, int F)
{
    auto& profiles = App().Profiles;
    if (P < 0 || P >= static_cast<int>(profiles.size()))
        return nullptr;
    auto& formats = profiles[static_cast<std::size_t>(P)].Formats;
    if (F < 0 || F >= static_cast<int>(formats.size()))
        return nullptr;
    return &formats[static_cast<std::size_t>(F)];
}

}  // namespace

void EstimateAllOutputSizes()
{
    for (int i = 0; i < static_cast<int>(App().MediaFiles.size()); ++i)
        EstimateOutputSize(i);
}

void CopyFormatToCustom(int SourceProfile, int SourceFormat, int TargetProfile, int TargetFormat)
{
    const TFormat* source = PresetAt(SourceProfile, SourceFormat);
    TFormat* target = PresetAt(TargetProfile, TargetFormat);
    if (!source || !target || source == target)
        return;
    *target = *source;
    target->AreSettingsChanged = false;
}

int SaveCustomProfile(const TAskTitle& Ask, int SelectedRow)
{
    auto& app = App();
    const TFormat* current = PresetAt(app.CurrentProfileIndex, app.CurrentFormatIndex);
    if (!current || !Ask || app.CustomProfileIndex < 0 || app.CustomProfileIndex >= static_cast<int>(app.Profiles.size()))
        return -1;
    std::string title = current->Title;
    if (!Ask(TranslateText("Save custom profile"), TranslateText("Title") + ":", title) || title.empty())
        return -1;
    auto& custom = app.Profiles[static_cast<std::size_t>(app.CustomProfileIndex)];
    const TFormat copy = *current;  // the current preset may move when the list grows
    custom.Formats.push_back(copy);
    const int index = static_cast<int>(custom.Formats.size()) - 1;
    TFormat& added = custom.Formats.back();
    added.AreSettingsChanged = false;
    added.Category = "-1";
    added.Title = title;
    if (TMediaFile* item = ItemOfRow(SelectedRow)) {
        item->ProfileInd = app.CustomProfileIndex;
        item->FormatInd = index;
    }
    app.CurrentProfileIndex = app.RecentProfileIndex = app.CustomProfileIndex;
    app.CurrentFormatIndex = app.RecentFormatIndex = index;
    ChooseCurrentIcons(custom, added);
    app.LastEditedProfileIndex = -1;
    app.LastEditedFormatIndex = -1;
    return index;
}

void ApplyToAll()
{
    auto& app = App();
    for (TMediaFile& f : app.MediaFiles) {
        f.ProfileInd = app.CurrentProfileIndex;
        f.FormatInd = app.CurrentFormatIndex;
    }
    EstimateAllOutputSizes();
}

void ChooseAudio(int SelectedRow, int Index)
{
    TMediaFile* item = ItemOfRow(SelectedRow);
    if (!item)
        return;
    if (App().MediaMode == 1) {
        if (!item->DVDTitleInfo)
            return;
        const TDVDTitleInfo& info = item->DVDTitleInfo->Info;
        item->DVDTitleInfo->Selection.AudioID =
            Index >= 0 && Index < info.AudioStreamCount && Index < 8 ? info.AudioStreams[Index].StreamID : 0;
    } else {
        item->AudioTrackIndex = Index;
    }
}

void ChooseSubtitle(int SelectedRow, int Index)
{
    TMediaFile* item = ItemOfRow(SelectedRow);
    if (!item || App().MediaMode != 1 || !item->DVDTitleInfo)
        return;
    const TDVDTitleInfo& info = item->DVDTitleInfo->Info;
    item->DVDTitleInfo->Selection.SubtitleID =
        Index >= 0 && Index < info.SubtitleStreamCount && Index < 32 ? info.SubtitleStreams[Index].StreamID : 0;
}

void ChooseDeinterlace(int SelectedRow, bool Checked)
{
    TMediaFile* item = ItemOfRow(SelectedRow);
    if (!item)
        return;
    if (App().MediaMode == 1) {
        if (item->DVDTitleInfo)
            item->DVDTitleInfo->Selection.Deinterlace = Checked ? 1 : 0;
    } else {
        item->Deinterlace = Checked;
    }
}

TPoint PickerPosition(TPoint ControlScreenTopLeft, int PanelLeft, int PanelTop, int BottomPanelTop, int PickerHeight)
{
    return TPoint(ControlScreenTopLeft.x + PanelLeft, ControlScreenTopLeft.y + PanelTop + BottomPanelTop - PickerHeight);
}
