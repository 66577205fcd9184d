#include "app/windows/ParamGrid.h"

#include "app/core/AppData.h"
#include "app/core/OptionLists.h"
#include "app/core/Translation.h"
#include "app/windows/OutputPanel.h"
#include "app/windows/SettingsForm.h"
#include "platform/gui/Graphics.h"
#include "skin/lists/SkinComboBox.h"

namespace {

constexpr int kRowHeight = 26;

bool AudioOnly(const TFormat* f) { return f && f->IsAudioFormat != "0"; }

const char* RowName(TParamRow Kind)
{
    switch (Kind) {
    case TParamRow::VideoHeader: return "Video";
    case TParamRow::Resolution: return "Video Resolution:";
    case TParamRow::VideoEncoder: return "Video Encoder:";
    case TParamRow::VideoBitRate: return "Video Bit Rate:";
    case TParamRow::FrameRate: return "Video Frame Rate:";
    case TParamRow::AudioHeader: return "Audio";
    case TParamRow::SampleRate: return "Audio Sample Rate:";
    case TParamRow::AudioEncoder: return "Audio Encoder:";
    case TParamRow::AudioBitRate: return "Audio Bitrate:";
    case TParamRow::Channels: return "Audio Channels:";
    case TParamRow::None: break;
    }
    return "";
}

bool IsVideoRow(TParamRow k) { return k >= TParamRow::Resolution && k <= TParamRow::FrameRate; }
bool IsAudioRow(TParamRow k) { return k >= TParamRow::SampleRate && k <= TParamRow::Channels; }

}  // namespace

TFormat* CurrentPreset()
{
    auto& app = App();
    const int p = app.CurrentProfileIndex, f = app.CurrentFormatIndex;
    if (p < 0 || p >= static_cast<int>(app.Profiles.size()))
        return nullptr;
    auto& formats = app.Profiles[static_cast<std::size_t>(p)].Formats;
    if (f < 0 || f >= static_cast<int>(formats.size()))
        return nullptr;
    return &formats[static_cast<std::size_t>(f)];
}

TParamGrid::TParamGrid(TspSkinStringGrid* AGrid, Tsettingsform* ASettings) : FGrid(AGrid), FSettings(ASettings) {}

TParamGrid::~TParamGrid()
{
    if (FGrid && FGrid->OnDrawCell == MakeEvent(this, &TParamGrid::ParamGridDrawCell))
        FGrid->OnDrawCell = {};
    if (FGrid && FGrid->OnMouseDown == MakeEvent(this, &TParamGrid::ParamGridMouseDown))
        FGrid->OnMouseDown = {};
}

void TParamGrid::SetUpGrid(int ScrollBarWidth)
{
    FGrid->SetColCount(3);
    FGrid->SetFixedCols(0);
    FGrid->SetFixedRows(0);
    FGrid->SetDefaultRowHeight(kRowHeight);
    FGrid->SetGridLineWidth(0);
    FGrid->SetDefaultDrawing(false);
    FGrid->SetUseSkinFont(false);
    FGrid->SetUseSkinCellHeight(false);
    const int rest = FGrid->ClientWidth() - 20 - ScrollBarWidth;
    FGrid->SetColWidths(0, 20);
    FGrid->SetColWidths(1, rest / 2);
    FGrid->SetColWidths(2, rest / 2);
    FGrid->OnDrawCell = MakeEvent(this, &TParamGrid::ParamGridDrawCell);
    FGrid->OnMouseDown = MakeEvent(this, &TParamGrid::ParamGridMouseDown);
    RecomputeRows();
}

void TParamGrid::RecomputeRows()
{
    const TFormat* preset = CurrentPreset();
    ParamVideoRows = VideoParametersCollapsed || AudioOnly(preset) ? 0 : 4;
    ParamAudioRows = AudioParametersCollapsed ? 0 : 4;
    ParamVideoHeaderRow = 0;
    ParamAudioHeaderRow = ParamVideoHeaderRow + ParamVideoRows + 1;
    const int rows = ParamVideoRows + ParamAudioRows + 2;
    if (FGrid->RowCount() != rows)
        FGrid->SetRowCount(rows);
}

TParamRow TParamGrid::RowKind(int ARow) const
{
    const int v = ParamVideoHeaderRow, a = ParamAudioHeaderRow;
    if (ARow == v)
        return TParamRow::VideoHeader;
    if (ARow == a)
        return TParamRow::AudioHeader;
    if (ARow > v && ARow <= v + ParamVideoRows)
        return static_cast<TParamRow>(static_cast<int>(TParamRow::VideoHeader) + (ARow - v));
    if (ARow > a && ARow <= a + ParamAudioRows)
        return static_cast<TParamRow>(static_cast<int>(TParamRow::AudioHeader) + (ARow - a));
    return TParamRow::None;
}

TspSkinComboBox* TParamGrid::BoxOf(TParamRow Kind) const
{
    // Without a form of its own the grid reads the program's settings form,
    // which is made after the main window.
    Tsettingsform* s = FSettings ? FSettings : settingsform;
    if (!s)
        return nullptr;
    switch (Kind) {
    case TParamRow::Resolution: return s->cmbVideoResolution;
    case TParamRow::VideoEncoder: return s->cmbVideoEncoder;
    case TParamRow::VideoBitRate: return s->cmbVideoBitRate;
    case TParamRow::FrameRate: return s->cmbVideoFrameRate;
    case TParamRow::SampleRate: return s->cmbSampleRate;
    case TParamRow::AudioEncoder: return s->cmbAudioEncoder;
    case TParamRow::AudioBitRate: return s->cmbAudioBitRate;
    case TParamRow::Channels: return s->cmbChannel;
    default: return nullptr;
    }
}

void TParamGrid::ParamGridDrawCell(TObject*, int ACol, int ARow, TRect Rect, TGridDrawState)
{
    RecomputeRows();
    TCanvas* C = FGrid->Canvas();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(ARow % 2 == 1 ? static_cast<TColor>(0xF6F6F6) : clWhite);
    C->FillRect(Rect);
    C->Pen()->SetColor(static_cast<TColor>(0xEAEAEA));
    C->Font()->SetColor(clBlack);
    C->Font()->SetName("Microsoft Sans Serif");
    C->Font()->SetSize(8);
    C->Font()->SetStyle({});
    C->Brush()->SetStyle(bsClear);
    const TParamRow kind = RowKind(ARow);
    const bool header = kind == TParamRow::VideoHeader || kind == TParamRow::AudioHeader;
    if (ACol == 0 && header) {
        TGraphic* g = nullptr;
        if (kind == TParamRow::VideoHeader)
            g = AudioOnly(CurrentPreset()) ? imgnone : VideoParametersCollapsed ? imgPlus : imgMinus;
        else
            g = AudioParametersCollapsed ? imgPlus : imgMinus;
        if (g && !g->Empty())
            C->Draw(Rect.left + 2, Rect.top + 8, g);
    } else if (ACol == 1 && kind != TParamRow::None) {
        if (header)
            C->Font()->SetStyle({fsBold});
        C->TextOut(Rect.left + 5, Rect.top + 5, TranslateText(RowName(kind)));
    } else if (ACol == 2) {
        if (TspSkinComboBox* box = BoxOf(kind))
            C->TextOut(Rect.left + 5, Rect.top + 5, box->Text());
    }
    // The separator between names and values, broken at the two first rows
    // below the headers.
    const int x = FGrid->ColWidths(0) + FGrid->ColWidths(1);
    const int h = FGrid->DefaultRowHeight();
    for (int r = 1; r <= FGrid->RowCount(); ++r) {
        if (r == ParamVideoHeaderRow + 1 || r == ParamAudioHeaderRow + 1)
            continue;
        C->MoveTo(x, (r - 1) * h);
        C->LineTo(x, r * h);
    }
}

void TParamGrid::ParamGridMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y)
{
    int col = -1, row = -1;
    FGrid->MouseToCell(X, Y, col, row);
    ClickFoldColumn(col, row);
}

void TParamGrid::ClickFoldColumn(int ACol, int ARow)
{
    if (ACol == 0) {
        const TParamRow kind = RowKind(ARow);
        if (kind == TParamRow::VideoHeader && !AudioOnly(CurrentPreset()))
            VideoParametersCollapsed = !VideoParametersCollapsed;
        else if (kind == TParamRow::AudioHeader)
            AudioParametersCollapsed = !AudioParametersCollapsed;
    }
    RecomputeRows();
    FGrid->Invalidate();
}

std::optional<TParamDropDown> TParamGrid::ParamGridSelectCell(int ACol, int ARow)
{
    const TParamRow kind = RowKind(ARow);
    TspSkinComboBox* box = BoxOf(kind);
    if (ACol == 0 || !box)
        return std::nullopt;
    const TRect cell = FGrid->CellRect(2, ARow);
    TParamDropDown d;
    d.Bounds = TRect(FGrid->Left() + cell.left + 1, FGrid->Top() + cell.top + 1, 0, 0);
    d.Bounds.right = d.Bounds.left + (cell.right - cell.left) + 1;
    d.Bounds.bottom = d.Bounds.top + (cell.bottom - cell.top) + 1;
    for (int i = 0; i < box->Items()->Count(); ++i)
        d.Items.push_back(box->Items()->Get(i));
    if (kind == TParamRow::Resolution) {
        d.Editable = true;
        d.Text = box->Text();
    } else {
        d.ItemIndex = box->ItemIndex();
    }
    return d;
}

bool TParamGrid::cmbParamsCloseUp(int ARow, const std::string& Text, int ItemIndex)
{
    TFormat* preset = CurrentPreset();
    const TParamRow kind = RowKind(ARow);
    if (!preset)
        return false;
    if (IsVideoRow(kind) && (AudioOnly(preset) || ParamVideoRows == 0))
        return false;
    if (IsAudioRow(kind) && ParamAudioRows == 0)
        return false;
    if (kind == TParamRow::Resolution) {
        // Stored as typed: the conversion refuses a size that is no number.
        preset->Width = GetResolutionWidth(Text);
        preset->Height = GetResolutionHeight(Text);
    } else {
        struct Field {
            const std::string* List;
            std::string* Value;
        } field{nullptr, nullptr};
        switch (kind) {
        case TParamRow::VideoEncoder: field = {&preset->VideoCodecs, &preset->VideoCodecName}; break;
        case TParamRow::VideoBitRate: field = {&preset->VideoBitRates, &preset->VideoBitRate}; break;
        case TParamRow::FrameRate: field = {&preset->FrameRates, &preset->FrameRate}; break;
        case TParamRow::SampleRate: field = {&preset->SampleRates, &preset->SampleRate}; break;
        case TParamRow::AudioEncoder: field = {&preset->AudioCodecs, &preset->AudioCodecName}; break;
        case TParamRow::AudioBitRate: field = {&preset->AudioBitRates, &preset->AudioBitRate}; break;
        case TParamRow::Channels: field = {&preset->Channels, &preset->Channel}; break;
        default: return false;
        }
        // No entry chosen (the preset's value was not among the offered
        // ones): the preset keeps its value.
        const auto values = SplitOptionList(*field.List, true);
        if (ItemIndex < 0 || ItemIndex >= values->Count())
            return false;
        *field.Value = values->Get(ItemIndex);
    }
    auto& app = App();
    app.LastEditedProfileIndex = app.CurrentProfileIndex;
    app.LastEditedFormatIndex = app.CurrentFormatIndex;
    FillSettingsForm();
    if (FSettings && FSettings != settingsform)
        FillSettingsForm(*FSettings);
    EstimateAllOutputSizes();
    FGrid->Invalidate();
    if (OnValueApplied)
        OnValueApplied();
    return true;
}
