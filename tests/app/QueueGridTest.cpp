// The queue grid: its cells on the memory screen (with the generated skin
// and without one), the separator lines on the fake clock, and the item
// operations: check marks, removing, moving, renaming, enabling commands.
#include "app/core/MediaQueue.h"
#include "app/windows/QueueGridPaint.h"
#include "app/windows/QueueItemOps.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "skin/controls/SkinButtons.h"

#include "WindowsTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace windowstest;

int RoundHalfEven(double v) { return static_cast<int>(Round(v)); }

constexpr TColor kCheck = static_cast<TColor>(0x0000FF);      // red
constexpr TColor kUncheck = static_cast<TColor>(0xFF0000);    // blue
constexpr TColor kConverted = static_cast<TColor>(0x00C000);  // green
constexpr TColor kCancelled = static_cast<TColor>(0x00FFFF);  // yellow
constexpr TColor kBar = static_cast<TColor>(0x808080);
constexpr TColor kFill = static_cast<TColor>(0xFF00FF);
constexpr TColor kThumb = static_cast<TColor>(0x336699);
constexpr TColor kHeader = static_cast<TColor>(0xE0D0C0);
constexpr TColor kSelected = static_cast<TColor>(0xF0E0B0);

class QueueGrid : public TWindowsTest {
protected:
    void SetUp() override
    {
        TWindowsTest::SetUp();
        check = controlstest::Solid(13, 13, kCheck);
        uncheck = controlstest::Solid(13, 13, kUncheck);
        converted = controlstest::Solid(32, 32, kConverted);
        cancelled = controlstest::Solid(32, 32, kCancelled);
        bar = controlstest::Solid(20, 8, kBar);
        fill = controlstest::Solid(20, 8, kFill);
        header = controlstest::Solid(10, 10, kHeader);
        selected = controlstest::Solid(10, 10, kSelected);
        grid = Make<TspSkinStringGrid>(Form, 0, 0, 720, 300);
        painter = std::make_unique<TQueueGridPainter>(grid);
        painter->SetUpGrid();
        painter->Pictures.Check = check.get();
        painter->Pictures.Uncheck = uncheck.get();
        painter->Pictures.Converted = converted.get();
        painter->Pictures.Cancelled = cancelled.get();
        painter->Pictures.Progress = bar.get();
        painter->Pictures.ProgressFill = fill.get();
        painter->Pictures.ColumnCaptionBar = header.get();
        painter->Pictures.TableRow = selected.get();
        ops = std::make_unique<TQueueItemOps>(grid, painter.get());
        start = Make<TspSkinButton>(Form, 0, 320, 80, 25);
        ops->StartButton = start;
        Pump();
    }
    void TearDown() override
    {
        ops.reset();
        painter.reset();
        TWindowsTest::TearDown();
    }
    template <class... I>
    void Fill(I... items)
    {
        App().MediaFiles.clear();
        (App().MediaFiles.push_back(std::move(items)), ...);
        for (int i = 0; i < static_cast<int>(App().MediaFiles.size()); ++i)
            EstimateOutputSize(i);
        painter->SyncRowCount();
        grid->SetRow(1);
        Pump();
    }
    std::vector<std::string> Titles()
    {
        std::vector<std::string> t;
        for (const auto& f : App().MediaFiles)
            t.push_back(f.DestinationTitle);
        return t;
    }

    std::unique_ptr<TBitmap> check, uncheck, converted, cancelled, bar, fill, header, selected;
    TspSkinStringGrid* grid = nullptr;
    TspSkinButton* start = nullptr;
    std::unique_ptr<TQueueGridPainter> painter;
    std::unique_ptr<TQueueItemOps> ops;
};

TEST_F(QueueGrid, LayoutOfTheGrid)
{
    EXPECT_EQ(grid->ColCount(), 7);
    const int widths[] = {40, 60, 160, 90, 90, 130, 110};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(grid->ColWidths(i), widths[i]);
    EXPECT_EQ(grid->RowHeights(0), 26);
    EXPECT_EQ(grid->DefaultRowHeight(), 50);
    Fill(Item("a"), Item("b"));
    EXPECT_EQ(grid->RowCount(), 3);
}

TEST_F(QueueGrid, HeaderAndCheckBoxes)
{
    Fill(Item("a"), Item("b"));
    App().MediaFiles[1].Checked = false;
    // Header: the box at x + 8, centred on the header's height (26 / 2 - 6.5 = 6.5, to 6).
    const TRect h0 = grid->CellRect(0, 0);
    EXPECT_EQ(Pixel(grid, h0.left + 8, 6), ColorToRGB(kCheck));
    EXPECT_NE(PixelNow(grid, h0.left + 7, 6), ColorToRGB(kCheck));
    EXPECT_EQ(PixelNow(grid, h0.left + 8 + 12, 6 + 12), ColorToRGB(kCheck));
    EXPECT_EQ(PixelNow(grid, 50, 2), ColorToRGB(kHeader));  // caption bar
    // The header's column line at right - 1 of columns 1..5.
    const TRect h1 = grid->CellRect(1, 0);
    EXPECT_EQ(PixelNow(grid, h1.right - 1, 3), ColorToRGB(static_cast<TColor>(0xC0C0C0)));
    // Items: boxes at x + 8, y = round(top + 25 - 6.5) = top + 18 (18.5 to even).
    const TRect r1 = grid->CellRect(0, 1), r2 = grid->CellRect(0, 2);
    EXPECT_EQ(PixelNow(grid, r1.left + 8, r1.top + 18), ColorToRGB(kCheck));
    EXPECT_NE(PixelNow(grid, r1.left + 8, r1.top + 17), ColorToRGB(kCheck));
    EXPECT_EQ(PixelNow(grid, r2.left + 8, r2.top + 18), ColorToRGB(kUncheck));
    // The header box follows the check-all state.
    painter->AllItemsChecked = false;
    EXPECT_EQ(Pixel(grid, h0.left + 8, 6), ColorToRGB(kUncheck));
}

TEST_F(QueueGrid, ThumbnailMusicAndBackgrounds)
{
    auto music = controlstest::Solid(20, 20, kConverted);
    painter->Pictures.MusicIcon = music.get();
    TMediaFile audio = Item("song");
    audio.isSourceAudioFormat = true;
    Fill(Item("clip", Thumbnail(kThumb)), std::move(audio));
    grid->SetRow(2);
    const TRect t = grid->CellRect(1, 1);
    // 50 x 37 at left + 4, top + round(25) - 18.
    EXPECT_EQ(Pixel(grid, t.left + 4, t.top + 7), ColorToRGB(kThumb));
    EXPECT_EQ(PixelNow(grid, t.left + 53, t.top + 43), ColorToRGB(kThumb));
    EXPECT_EQ(PixelNow(grid, t.left + 54, t.top + 20), ColorToRGB(clWhite));  // unselected row: white
    const TRect m = grid->CellRect(1, 2);
    EXPECT_EQ(PixelNow(grid, m.left + 3, m.top + 2), ColorToRGB(kConverted));
    EXPECT_EQ(PixelNow(grid, m.left + 40, m.top + 30), ColorToRGB(kSelected));  // the selected row's picture
}

TEST_F(QueueGrid, WrappedTitleIsCentredOnTheRow)
{
    Fill(Item("Short"), Item("A much longer title that needs two lines at least"));
    const TRect a = grid->CellRect(2, 1), b = grid->CellRect(2, 2);
    auto inked = [&](const TRect& cell, int y0, int y1) {
        return CountOther(grid, TRect(cell.left + 5, cell.top + y0, cell.right, cell.top + y1), ColorToRGB(clWhite));
    };
    painter->Pictures.TableRow = nullptr;  // the selected row is white too
    grid->Invalidate();
    Pump();
    // One line sits around the middle; the top and bottom bands stay empty.
    EXPECT_GT(inked(a, 18, 32), 0);
    EXPECT_EQ(inked(a, 0, 14), 0);
    EXPECT_EQ(inked(a, 36, 50), 0);
    // Two lines reach further up than one.
    EXPECT_GT(inked(b, 10, 18), 0);
    EXPECT_EQ(CountOther(grid, TRect(a.left, a.top, a.left + 5, a.bottom), ColorToRGB(clWhite)), 0);  // margin
}

TEST_F(QueueGrid, SizeAndLengthTextsFollowTheLocale)
{
    TMediaFile item = Item("clip");
    Fill(std::move(item));
    const TMediaFile& f = App().MediaFiles[0];
    EXPECT_DOUBLE_EQ(f.EstimatedSize, 12.392578125);
    EXPECT_EQ(QueueLengthText(f), "00:01:30");
    FormatSettings.DecimalSeparator = '.';
    EXPECT_EQ(QueueSizeText(f), "12.39 MB");
    FormatSettings.DecimalSeparator = ',';
    EXPECT_EQ(QueueSizeText(f), "12,39 MB");
    EXPECT_EQ(QueuePresetTitle(f), "MP4 Video");
    TMediaFile lost = Item("x");
    lost.ProfileInd = 9;
    EXPECT_EQ(QueuePresetTitle(lost), "");
    // The cell shows it: ink in the middle of the size column.
    const TRect s = grid->CellRect(4, 1);
    painter->Pictures.TableRow = nullptr;
    EXPECT_EQ(Pixel(grid, s.left + 2, s.top + 2), ColorToRGB(clWhite));
    EXPECT_GT(CountOther(grid, TRect(s.left, s.top + 18, s.right, s.top + 32), ColorToRGB(clWhite)), 0);
}

TEST_F(QueueGrid, StatusCell)
{
    struct Case {
        float S;
        bool Bar, Converted, Cancelled;
    } cases[] = {{99.4f, true, false, false}, {50.0f, true, false, false}, {99.5f, false, true, false},
                 {100.0f, false, true, false}, {-2.0f, false, false, true}, {-1.0f, false, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.S);
        TMediaFile item = Item("clip");
        item.StatusS = c.S;
        item.Status = c.S == -1.0f ? "Ready" : "Working";
        Fill(std::move(item));
        painter->Pictures.TableRow = nullptr;
        const TRect cell = grid->CellRect(6, 1);
        const TRect b = QueueProgressBarRect(cell, grid->ColWidths(6));
        EXPECT_EQ(b, TRect(cell.left + 11, cell.top + 10, cell.right - 11, cell.bottom - 10));
        const TRect f = QueueProgressFillRect(b, c.S);
        const int w = b.right - b.left;
        EXPECT_EQ(f.right - f.left, static_cast<int>(RoundHalfEven(w / 100.0 * c.S)));
        const COLORREF barStart = Pixel(grid, b.left, b.top + 3);
        EXPECT_EQ(barStart == ColorToRGB(kBar), c.Bar);
        if (c.Bar) {
            EXPECT_EQ(PixelNow(grid, f.left, f.top), ColorToRGB(kFill));
            EXPECT_EQ(PixelNow(grid, f.right - 1, f.top), ColorToRGB(kFill));
            if (f.right < b.right - 1) {
                EXPECT_EQ(PixelNow(grid, f.right, f.top), ColorToRGB(kBar));
            }
        }
        const int pictureX = static_cast<int>(RoundHalfEven(cell.left + (cell.right - cell.left) / 2.0 - 16));
        EXPECT_EQ(PixelNow(grid, pictureX, cell.top + 10) == ColorToRGB(kConverted), c.Converted);
        EXPECT_EQ(PixelNow(grid, pictureX, cell.top + 10) == ColorToRGB(kCancelled), c.Cancelled);
        // The text: "Ready" for a new item, the status over the bar; none with a picture.
        const int ink = CountOther(grid, TRect(cell.left, cell.top, cell.right, cell.bottom), ColorToRGB(clWhite));
        if (c.S == -1.0f) {
            EXPECT_GT(ink, 0);
        }
    }
}

TEST_F(QueueGrid, PausedTextReplacesTheStatusOfWorkingItems)
{
    TMediaFile item = Item("clip");
    item.StatusS = 40;
    item.Status = "40 %";
    Fill(std::move(item));
    painter->Pictures.TableRow = nullptr;
    bool paused = false;
    painter->IsEncoderPaused = [&] { return paused; };
    const TRect cell = grid->CellRect(6, 1);
    auto textPixels = [&] {
        Pixel(grid, 0, 0);
        std::vector<COLORREF> px;
        for (int x = cell.left; x < cell.right; ++x)
            px.push_back(PixelNow(grid, x, cell.top + 25));
        return px;
    };
    const auto working = textPixels();
    paused = true;
    EXPECT_NE(textPixels(), working);
    App().PausedText = "40 %";
    EXPECT_EQ(textPixels(), working);
}

TEST_F(QueueGrid, NothingIsPaintedWhileTheLoadingDialogShows)
{
    Fill(Item("clip", Thumbnail(kThumb)));
    bool loading = true;
    painter->IsLoadingShown = [&] { return loading; };
    const TRect t = grid->CellRect(1, 1);
    HDC dc = GetDC(grid->Handle());
    SetPixel(dc, t.left + 4, t.top + 7, RGB(1, 2, 3));
    ReleaseDC(grid->Handle(), dc);
    EXPECT_EQ(Pixel(grid, t.left + 4, t.top + 7), RGB(1, 2, 3));
    loading = false;
    EXPECT_EQ(Pixel(grid, t.left + 4, t.top + 7), ColorToRGB(kThumb));
}

TEST_F(QueueGrid, SeparatorLinesDrawOnlyAfterAPaint)
{
    Fill(Item("a"), Item("b"));
    painter->Pictures.TableRow = nullptr;
    painter->LineTimer()->SetEnabled(true);
    EXPECT_EQ(painter->LineTimer()->Interval(), 10u);
    Pixel(grid, 0, 0);  // a full repaint
    const COLORREF line = ColorToRGB(static_cast<TColor>(0xEAEAEA));
    const int x0 = 40 - 1, rowLine = 26 + 50;
    EXPECT_NE(PixelNow(grid, x0, 60), line);
    EXPECT_TRUE(painter->PaintedSinceTick());
    Clock.Advance(10);
    Pump();
    EXPECT_FALSE(painter->PaintedSinceTick());
    EXPECT_EQ(PixelNow(grid, x0, 60), line);           // column line below the header
    EXPECT_EQ(PixelNow(grid, 40 + 60 - 1, 200), line);  // below the last row too
    EXPECT_EQ(PixelNow(grid, 300, rowLine), line);      // row line
    EXPECT_NE(PixelNow(grid, x0, 10), line);            // not over the header
    // Idle ticks draw nothing: a pixel changed behind the timer's back stays.
    HDC dc = GetDC(grid->Handle());
    SetPixel(dc, x0, 60, RGB(1, 2, 3));
    ReleaseDC(grid->Handle(), dc);
    Pump();
    Clock.Advance(10);
    Pump();
    EXPECT_EQ(PixelNow(grid, x0, 60), RGB(1, 2, 3));
    // A paint brings the lines back at the next tick.
    grid->Invalidate();
    Pump();
    Clock.Advance(10);
    Pump();
    EXPECT_EQ(PixelNow(grid, x0, 60), line);
}

TEST_F(QueueGrid, CheckAllOverThreeItems)
{
    Fill(Item("a"), Item("b"), Item("c"));
    // Unchecking one item clears the header box.
    ops->ClickCheckColumn(0, 2);
    EXPECT_FALSE(App().MediaFiles[1].Checked);
    EXPECT_FALSE(painter->AllItemsChecked);
    // A click on the header's box (through the grid's mouse handler) checks all three.
    ops->Attach();
    const TRect h = grid->CellRect(0, 0);
    MoveTo(grid, h.left + 10, h.top + 10);
    HeadlessMouseDown();
    HeadlessMouseUp();
    Pump();
    EXPECT_TRUE(painter->AllItemsChecked);
    for (const auto& f : App().MediaFiles)
        EXPECT_TRUE(f.Checked);
    // Again: all unchecked, Convert disabled.
    ops->ClickCheckColumn(0, 0);
    for (const auto& f : App().MediaFiles)
        EXPECT_FALSE(f.Checked);
    EXPECT_FALSE(start->Enabled());
    // Checking each one by one sets the box again.
    for (int r = 1; r <= 3; ++r)
        ops->ClickCheckColumn(0, r);
    EXPECT_TRUE(painter->AllItemsChecked);
    EXPECT_TRUE(start->Enabled());
    // Below the last row counts as the header.
    ops->ClickCheckColumn(0, 9);
    EXPECT_FALSE(painter->AllItemsChecked);
}

TEST_F(QueueGrid, SelectingARowMakesItsPresetCurrent)
{
    for (const char* id : {"Video", "mp4", "audio", "MP4"}) {
        TProfileIcon icon;
        icon.ID = id;
        App().ProfileIcons.push_back(std::move(icon));
    }
    TMediaFile b = Item("b");
    b.ProfileInd = 1;
    b.FormatInd = 0;
    Fill(Item("a"), std::move(b));
    int selected = -1;
    ops->OnItemSelected = [&](int i) { selected = i; };
    grid->SetRow(2);
    ops->sgListClick(nullptr);
    EXPECT_EQ(App().CurrentProfileIndex, 1);
    EXPECT_EQ(App().CurrentFormatIndex, 0);
    EXPECT_EQ(App().CurrentCategoryIcon, 2);  // "audio"
    EXPECT_EQ(App().CurrentPresetIcon, 3);    // "MP4": the last match, letter case aside
    EXPECT_EQ(selected, 1);
    grid->SetRow(1);
    ops->sgListClick(nullptr);
    EXPECT_EQ(App().CurrentProfileIndex, 0);
    EXPECT_EQ(App().CurrentCategoryIcon, 0);  // "Video"
    EXPECT_EQ(selected, 0);
}

TEST_F(QueueGrid, ConvertIsDisabledWithTheLastCheck)
{
    Fill(Item("a"), Item("b"));
    ops->ClickCheckColumn(0, 1);
    EXPECT_TRUE(start->Enabled());
    ops->ClickCheckColumn(0, 2);
    EXPECT_FALSE(start->Enabled());
    ops->ClickCheckColumn(3, 1);  // another column changes nothing but still sets the button
    EXPECT_FALSE(start->Enabled());
    ops->ClickCheckColumn(0, 1);
    EXPECT_TRUE(start->Enabled());
}

TEST_F(QueueGrid, RemovingTheMiddleOfThree)
{
    const int ta = Thumbnail(kThumb), tb = Thumbnail(kCheck), tc = Thumbnail(kUncheck);
    Fill(Item("a", ta), Item("b", tb), Item("c", tc));
    grid->SetRow(2);
    ops->Remove1Click(nullptr);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(App().MediaFiles[0].VideoThumbnailIndex, ta);
    EXPECT_EQ(App().MediaFiles[1].VideoThumbnailIndex, tc);
    EXPECT_TRUE(App().Thumbnails[static_cast<std::size_t>(tb)]->Empty());
    EXPECT_FALSE(App().Thumbnails[static_cast<std::size_t>(tc)]->Empty());
    EXPECT_EQ(grid->RowCount(), 3);
    // An audio item without a thumbnail leaves the middle too.
    TMediaFile song = Item("song");
    song.isSourceAudioFormat = true;
    App().MediaFiles.insert(App().MediaFiles.begin() + 1, std::move(song));
    painter->SyncRowCount();
    grid->SetRow(2);
    ops->Remove1Click(nullptr);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"a", "c"}));
    EXPECT_FALSE(App().Thumbnails[static_cast<std::size_t>(ta)]->Empty());
}

TEST_F(QueueGrid, RemovingTheOnlyItemClearsAndDisablesTheCommands)
{
    auto* edit = Make<TspSkinButton>(Form, 100, 320, 80, 25);
    auto* add = Make<TspSkinButton>(Form, 200, 320, 80, 25);
    ops->Commands.ItemControls = {edit, start};
    ops->Commands.InputControls = {add};
    EnableControls(ops->Commands, true, true);
    EXPECT_TRUE(edit->Enabled());
    Fill(Item("only"));
    ops->Attach();
    grid->SetFocus();
    Pump();
    HeadlessKeyPress(46);  // Delete
    Pump();
    EXPECT_TRUE(App().MediaFiles.empty());
    EXPECT_EQ(grid->RowCount(), 1);
    EXPECT_FALSE(edit->Enabled());
    EXPECT_FALSE(start->Enabled());
    EXPECT_TRUE(add->Enabled());  // adding stays possible
    // Commands on an empty queue do nothing.
    ops->Remove1Click(nullptr);
    ops->MoveUp1Click(nullptr);
    ops->Rename1Click(nullptr);
    EXPECT_TRUE(App().MediaFiles.empty());
}

TEST_F(QueueGrid, EnableControlsSwitchesByKind)
{
    auto* add = Make<TspSkinButton>(Form, 200, 320, 80, 25);
    auto* item = Make<TspSkinButton>(Form, 300, 320, 80, 25);
    auto* panel = Make<TspSkinButton>(Form, 400, 320, 80, 25);
    TQueueCommands cmds;
    cmds.InputControls = {add};
    cmds.ItemControls = {item};
    cmds.GettingStartedPanel = panel;
    EnableControls(cmds, false, true);
    EXPECT_FALSE(add->Enabled());
    EXPECT_FALSE(item->Enabled());
    EXPECT_FALSE(panel->Visible());
    EnableControls(cmds, true, false);
    EXPECT_FALSE(add->Enabled());
    EXPECT_TRUE(item->Enabled());
}

TEST_F(QueueGrid, DisableButtonShowsTheDisabledLook)
{
    auto* b = new TspSkinSpeedButton(Owner);
    b->SetParent(Form);
    b->SetBounds(10, 330, 25, 25);
    b->SetFlat(true);
    DisableButton(b);
    EXPECT_FALSE(b->Enabled());
    EXPECT_TRUE(b->Flat());
    DisableButton(nullptr);
}

TEST_F(QueueGrid, MovesCarryDVDChoices)
{
    Fill(Item("t1"), Item("t2"), Item("t3"));
    auto& second = App().MediaFiles[1];
    second.DVDTitleInfo = std::make_unique<TDVDTitleBlock>();
    second.DVDTitleInfo->Selection.FromChapter = 3;
    second.DVDTitleInfo->Selection.AudioID = 0x81;
    second.DVDTitleInfo->Selection.SubtitleID = 0x22;
    grid->SetRow(2);
    ops->MoveUp1Click(nullptr);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"t2", "t1", "t3"}));
    EXPECT_EQ(grid->Row(), 1);
    ASSERT_TRUE(App().MediaFiles[0].DVDTitleInfo);
    EXPECT_EQ(App().MediaFiles[0].DVDTitleInfo->Selection.AudioID, 0x81);
    EXPECT_FALSE(App().MediaFiles[1].DVDTitleInfo);
    ops->MoveUp1Click(nullptr);  // already first
    EXPECT_EQ(grid->Row(), 1);
    ops->MoveDown1Click(nullptr);
    ops->MoveDown1Click(nullptr);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"t1", "t3", "t2"}));
    EXPECT_EQ(grid->Row(), 3);
    ASSERT_TRUE(App().MediaFiles[2].DVDTitleInfo);
    EXPECT_EQ(App().MediaFiles[2].DVDTitleInfo->Selection.FromChapter, 3);
    EXPECT_EQ(App().MediaFiles[2].DVDTitleInfo->Selection.SubtitleID, 0x22);
    ops->MoveDown1Click(nullptr);  // already last
    EXPECT_EQ(grid->Row(), 3);
}

TEST(QueueTitle, MendTitle)
{
    struct Case {
        const char* Typed;
        const char* Result;
    } cases[] = {
        {"New name", "New name"},
        {"  padded  ", "padded"},
        {"two\r\nlines", "twolines"},
        {"\r\n", "old"},
        {"", "old"},
        {"   ", "old"},
        {"../escape", "old"},
        {"a/b", "old"},
        {"tab\there", "old"},
        {"be\x07ll", "old"},
        {"del\x7F", "old"},
        {"Ünïcode title", "Ünïcode title"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MendTitle(c.Typed, "old"), c.Result) << c.Typed;
}

TEST_F(QueueGrid, RenameInPlace)
{
    auto* memo = Make<TMemo>(Form, 0, 0, 10, 10);
    memo->SetVisible(false);
    ops->TitleMemo = memo;
    ops->Attach();
    Fill(Item("first"), Item("second"));
    grid->SetRow(2);
    ops->Rename1Click(nullptr);
    Pump();
    EXPECT_TRUE(memo->Visible());
    EXPECT_EQ(memo->Text(), "second");
    const TRect cell = grid->CellRect(2, 2);
    EXPECT_EQ(memo->Left(), grid->Left() + cell.left);
    EXPECT_EQ(memo->Top(), grid->Top() + cell.top);
    EXPECT_EQ(memo->Width(), 160);
    EXPECT_EQ(memo->Height(), 50);
    memo->SetText(" renamed ");
    char enter = 13;
    ops->TitleMemoKeyPress(memo, enter);
    EXPECT_FALSE(memo->Visible());
    EXPECT_EQ(App().MediaFiles[1].DestinationTitle, "renamed");
    // A title leading out of the folder keeps the old one; so does leaving the memo empty.
    ops->BeginRenameTitle(2);
    memo->SetText("../../etc");
    ops->TitleMemoExit(memo);
    EXPECT_EQ(App().MediaFiles[1].DestinationTitle, "renamed");
    ops->BeginRenameTitle(2);
    memo->SetText("");
    ops->EndRenameTitle();
    EXPECT_EQ(App().MediaFiles[1].DestinationTitle, "renamed");
    EXPECT_EQ(App().MediaFiles[0].DestinationTitle, "first");
}

TEST_F(QueueGrid, ClearingReleasesThumbnailsButKeepsTheirPlaces)
{
    Fill(Item("a", Thumbnail(kThumb)), Item("b", Thumbnail(kThumb)));
    ops->ClearAll1Click(nullptr);
    EXPECT_TRUE(App().MediaFiles.empty());
    EXPECT_EQ(App().Thumbnails.size(), 2u);
    EXPECT_TRUE(App().Thumbnails[0]->Empty());
    EXPECT_EQ(grid->RowCount(), 1);
}

TEST_F(QueueGrid, EmptyQueueShowsTheDesignRowAsHeader)
{
    grid->SetRowCount(2);  // the description's count before any item
    const TRect r = grid->CellRect(3, 1);
    EXPECT_EQ(Pixel(grid, r.left + 3, r.top + 3), ColorToRGB(kHeader));
}

TEST_F(QueueGrid, WithTheGeneratedSkinAndWithout)
{
    auto skin = LoadSkinNew();
    ASSERT_TRUE(skin) << controlstest::SkinNewIni();
    Fill(Item("clip", Thumbnail(kThumb)));
    painter->Pictures.TableRow = nullptr;
    const TRect t = grid->CellRect(1, 1);
    grid->SetSkinData(skin.get());
    Pump();
    EXPECT_EQ(Pixel(grid, t.left + 4, t.top + 7), ColorToRGB(kThumb));
    EXPECT_EQ(PixelNow(grid, grid->CellRect(0, 1).left + 8, grid->CellRect(0, 1).top + 18), ColorToRGB(kCheck));
    grid->SetSkinData(nullptr);
    grid->ChangeSkinData();
    EXPECT_EQ(Pixel(grid, t.left + 4, t.top + 7), ColorToRGB(kThumb));
}

}  // namespace

namespace {

std::unique_ptr<TBitmap> Box(bool Checked)
{
    auto b = controlstest::Solid(13, 13, clWhite);
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(static_cast<TColor>(0x806040));
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(0, 0, 13, 13);
    if (Checked) {
        c->Pen()->SetColor(static_cast<TColor>(0x206020));
        for (int d = 0; d < 2; ++d) {
            c->MoveTo(3, 6 + d);
            c->LineTo(5, 8 + d);
            c->LineTo(10, 3 + d);
        }
    }
    return b;
}

}  // namespace

// Three items, one of them converting, one converted: saved as
// queue-grid.png in the test folder to be looked at.
TEST_F(QueueGrid, ScreenshotOfThreeItems)
{
    auto on = Box(true), off = Box(false);
    painter->Pictures.Check = on.get();
    painter->Pictures.Uncheck = off.get();
    auto barPic = controlstest::Solid(20, 8, static_cast<TColor>(0xE8E8E8));
    auto fillPic = controlstest::Solid(20, 8, static_cast<TColor>(0xD08030));
    auto headerPic = controlstest::Solid(10, 10, static_cast<TColor>(0xF4ECE4));
    auto rowPic = controlstest::Solid(10, 10, static_cast<TColor>(0xFFE8CC));
    painter->Pictures.Progress = barPic.get();
    painter->Pictures.ProgressFill = fillPic.get();
    painter->Pictures.ColumnCaptionBar = headerPic.get();
    painter->Pictures.TableRow = rowPic.get();
    TMediaFile a = Item("Holiday at the sea, first day on the beach", Thumbnail(static_cast<TColor>(0xB07040)));
    a.StatusS = 100;
    a.Status = "Done";
    TMediaFile b = Item("Interview", Thumbnail(static_cast<TColor>(0x4080B0)));
    b.StatusS = 42.5f;
    b.Status = "42.5%";
    b.ProfileInd = 0;
    b.FormatInd = 1;
    TMediaFile c = Item("Song", Thumbnail(static_cast<TColor>(0x40A040)));
    c.Checked = false;
    Fill(std::move(a), std::move(b), std::move(c));
    grid->SetRow(2);
    painter->AllItemsChecked = false;
    painter->LineTimer()->SetEnabled(true);
    grid->Invalidate();
    Pump();
    Clock.Advance(10);
    Pump();
    const TPoint origin = grid->ClientToScreen(TPoint(0, 0));
    controlstest::ShootScreen(TRect(origin.x, origin.y, origin.x + 720, origin.y + 230), "queue-grid.png");
    EXPECT_EQ(PixelNow(grid, 39, 60), ColorToRGB(static_cast<TColor>(0xEAEAEA)));
}
