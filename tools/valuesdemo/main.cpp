// valuesdemo: shows the form described in a text file with the value and
// layout controls (gauges, track and scroll bars, labels, expandable panels,
// splitters, an animation, a link label and a notebook), optionally skinned, and saves
// what the screen shows of it as a PNG.
//   valuesdemo DESCRIPTION.txt OUT.png [SKIN.ini]
// The back-end follows TARNELLO_BACKEND (headless or x11); under x11 the
// picture is read back from the X server itself.
#include "platform/backend/BackendSelect.h"
#include "platform/backend/Headless.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FileIO.h"
#include "platform/classes/FormReader.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/PngImage.h"
#include "platform/rtl/Exceptions.h"
#include "skin/controls/SkinCtrls.h"
#include "skin/controls/SkinDataAssign.h"

#include "XGrab.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

namespace {

// The form's area as the X server shows it.
bool GrabFromX(const TRect& R, TBitmap& Out)
{
    const int w = R.right - R.left, h = R.bottom - R.top;
    std::vector<std::uint32_t> pixels;
    if (!GrabRootArea(R.left, R.top, w, h, pixels))
        return false;
    Out.SetPixelFormat(pf24bit);
    Out.SetSize(w, h);
    for (int y = 0; y < h; ++y) {
        auto* row = static_cast<unsigned char*>(Out.ScanLine(y));
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * w + x];
            row[3 * x] = p & 0xFF;
            row[3 * x + 1] = (p >> 8) & 0xFF;
            row[3 * x + 2] = (p >> 16) & 0xFF;
        }
    }
    return true;
}

int Run(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: valuesdemo DESCRIPTION.txt OUT.png [SKIN.ini]\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "valuesdemo: cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    if (!SelectWindowBackend(&error)) {
        std::fprintf(stderr, "valuesdemo: %s\n", error.c_str());
        return 1;
    }
    RegisterSkinControlsClasses();
    RegisterClasses<TPanel>();
    int code = 0;
    try {
        Application->Initialize();
        auto skin = std::make_unique<TspSkinData>(nullptr);
        if (argc > 3) {
            skin->BuildMode = true;
            if (!skin->LoadFromFile(argv[3]))
                throw Exception("the skin " + std::string(argv[3]) + " cannot be read: " + skin->LastError());
        }
        auto* form = new TForm(nullptr);
        ReadComponentText(form, text.str());
        if (argc > 3)
            AssignSkinData(form, skin.get());
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, form->Width(), form->Height());
        form->SetColor(static_cast<TColor>(RGB(236, 238, 242)));
        form->Show();
        // Let the window reach the screen and the animation step a few times.
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(600);
        while (std::chrono::steady_clock::now() < until) {
            Application->ProcessMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        const TPoint o = form->ClientToScreen(TPoint(0, 0));
        const TRect r(o.x, o.y, o.x + form->ClientWidth(), o.y + form->ClientHeight());
        TBitmap shot;
        const char* backend = std::getenv("TARNELLO_BACKEND");
        if (backend && std::strcmp(backend, "x11") == 0) {
            if (!GrabFromX(r, shot))
                throw Exception("the X screen cannot be read");
        } else {
            HeadlessProcessMessages();
            shot.SetPixelFormat(pf24bit);
            shot.SetSize(r.right - r.left, r.bottom - r.top);
            for (int y = 0; y < shot.Height(); ++y) {
                auto* row = static_cast<unsigned char*>(shot.ScanLine(y));
                for (int x = 0; x < shot.Width(); ++x) {
                    const COLORREF c = HeadlessBackend().Pixel(r.left + x, r.top + y);
                    row[3 * x] = GetBValue(c);
                    row[3 * x + 1] = GetGValue(c);
                    row[3 * x + 2] = GetRValue(c);
                }
            }
        }
        TPngImage png;
        png.Assign(&shot);
        png.SaveToFile(argv[2]);
        delete form;
    } catch (const Exception& e) {
        std::fprintf(stderr, "valuesdemo: %s\n", e.Message().c_str());
        code = 1;
    }
    ShutdownWindowBackend();
    return code;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "valuesdemo: %s\n", e.what());
        return 1;
    }
}
