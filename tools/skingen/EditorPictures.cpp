// The editor windows' own pictures: the trim window's two handles and the
// recorder's blinking camera (two frames side by side, shown in turn).
#include "SkinArt.h"
#include "SkinGen.h"

#include "platform/gui/Graphics.h"
#include "platform/rtl/Files.h"

#include <memory>
#include <stdexcept>

namespace skingen {

namespace {

void Save(TspBitmap& picture, const std::string& file)
{
    std::unique_ptr<TBitmap> bmp(SheetPicture(picture));
    bmp->SaveToFile(file);
    if (!FileExists(file))
        throw std::runtime_error("cannot write " + file);
}

// A trim handle: a bracket that opens towards the trimmed part, with a
// small tip pointing at the bar above it. Left = true opens to the right.
void PaintTrimHandle(TspBitmap& b, bool left)
{
    const TTheme& t = Theme();
    b.SetSize(12, 12);
    b.Clear(t.Face);
    const double stem = left ? 3.5 : 8.5;
    const double arm = left ? 9.5 : 2.5;
    StrokeLine(b, stem, 1, stem, 11, 2, t.Accent);
    StrokeLine(b, stem, 10.5, arm, 10.5, 2, t.Accent);
    // The tip under the bar marks the exact position.
    StrokeLine(b, stem - 2, 3, stem, 0.5, 1.5, t.AccentHot);
    StrokeLine(b, stem + 2, 3, stem, 0.5, 1.5, t.AccentHot);
}

// One 80 x 80 frame of the camera: a body, a lens and a recording light
// that is lit in the second frame.
void PaintCamera(TspBitmap& b, int x0, bool lit)
{
    const TTheme& t = Theme();
    const TRect frame{x0, 0, x0 + 80, 80};
    PaintFlat(b, frame, t.Face);
    PaintBox(b, TRect{x0 + 12, 24, x0 + 56, 60}, ButtonStyle(TState::Normal));
    // The viewfinder wedge on the body's right.
    for (int i = 0; i < 10; ++i)
        StrokeLine(b, x0 + 57, 36 - i * 0.8, x0 + 57 + i * 1.6, 30 - i * 0.2, 1.2, t.BorderHot);
    StrokeLine(b, x0 + 58, 42, x0 + 72, 50, 2, t.BorderHot);
    StrokeLine(b, x0 + 58, 36, x0 + 72, 28, 2, t.BorderHot);
    StrokeLine(b, x0 + 72, 28, x0 + 72, 50, 2, t.BorderHot);
    FillDisc(b, x0 + 34, 42, 11, t.FaceDark);
    FillDisc(b, x0 + 34, 42, 8, t.Accent);
    FillDisc(b, x0 + 31, 39, 2.5, t.Text);
    FillDisc(b, x0 + 20, 19, 5, lit ? t.Danger : t.TextDisabled);
}

}  // namespace

void WriteEditorPictures(const std::string& Folder)
{
    const std::string base = IncludeTrailingPathDelimiter(Folder);
    TspBitmap picture;
    PaintTrimHandle(picture, true);
    Save(picture, base + "trim_left.bmp");
    PaintTrimHandle(picture, false);
    Save(picture, base + "trim_right.bmp");
    picture.SetSize(160, 80);
    picture.Clear(Theme().Face);
    PaintCamera(picture, 0, false);
    PaintCamera(picture, 80, true);
    Save(picture, base + "webcam.bmp");
}

}  // namespace skingen
