// The root window of an X display, read over a connection of the grabber's
// own. XFixes (for the pointer) is loaded at run time; without it a
// recording has no pointer.
#include "platform/media/ScreenGrab.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstring>

#include "platform/backend/X11.h"
#include "platform/rtl/DynLoad.h"

namespace {

// XFixes' public interface, as its documentation gives it.
struct TXFixesCursorImage {
    short x, y;
    unsigned short width, height;
    unsigned short xhot, yhot;
    unsigned long cursor_serial;
    unsigned long* pixels;
    Atom atom;
    const char* name;
};
using TXFixesQueryExtension = Bool (*)(Display*, int*, int*);
using TXFixesGetCursorImage = TXFixesCursorImage* (*)(Display*);

class TX11ScreenGrabber final : public TScreenGrabber {
public:
    ~TX11ScreenGrabber() override
    {
        DropShm();
        if (FDisplay)
            XCloseDisplay(FDisplay);
    }

    bool Open(const char* ADisplay, std::string& AError)
    {
        X11InstallErrorHandler();
        FDisplay = XOpenDisplay(ADisplay);
        if (!FDisplay) {
            AError = std::string("cannot open display ") + (ADisplay ? ADisplay : (getenv("DISPLAY") ? getenv("DISPLAY") : ""));
            return false;
        }
        FRoot = DefaultRootWindow(FDisplay);
        XWindowAttributes a{};
        if (!XGetWindowAttributes(FDisplay, FRoot, &a)) {
            AError = "cannot read the root window";
            return false;
        }
        FVisual = a.visual;
        FDepth = a.depth;
        FSize = SIZE{a.width, a.height};
        // The picture's depth is the pixmap format's bits per pixel.
        int count = 0;
        if (XPixmapFormatValues* f = XListPixmapFormats(FDisplay, &count)) {
            for (int i = 0; i < count; ++i)
                if (f[i].depth == FDepth)
                    FBits = f[i].bits_per_pixel;
            XFree(f);
        }
        if (FBits == 16)
            FPixels = FVisual->green_mask == 0x7E0 ? TGrabPixels::Rgb565 : TGrabPixels::Rgb555;
        else if (FBits == 24)
            FPixels = TGrabPixels::Bgr24;
        else if (FBits == 32)
            FPixels = TGrabPixels::Bgr0;
        FShmOk = XShmQueryExtension(FDisplay) != False;
        FFixes = TDynLibrary("libXfixes.so.3");
        if (FFixes.Handle()) {
            auto query = reinterpret_cast<TXFixesQueryExtension>(GetProcAddress(FFixes.Handle(), "XFixesQueryExtension"));
            FGetCursor = reinterpret_cast<TXFixesGetCursorImage>(GetProcAddress(FFixes.Handle(), "XFixesGetCursorImage"));
            int ev = 0, err = 0;
            if (!query || !query(FDisplay, &ev, &err))
                FGetCursor = nullptr;
        }
        return true;
    }

    const char* Name() const override { return "x11"; }
    SIZE ScreenSize() const override { return FSize; }
    int BitsPerPixel() const override { return FBits; }
    TGrabPixels Pixels() const override { return FPixels; }

    bool Grab(const RECT& AArea, uint8_t* ADst, int AStride, std::string& AError) override
    {
        const int w = AArea.right - AArea.left, h = AArea.bottom - AArea.top;
        if (w <= 0 || h <= 0) {
            AError = "empty area";
            return false;
        }
        XImage* img = nullptr;
        bool shm = false;
        if (FShmOk && (FShm.Img && FShmSize.cx == w && FShmSize.cy == h ? true : MakeShm(w, h))) {
            const int errors = X11ErrorCount();
            if (XShmGetImage(FDisplay, FRoot, FShm.Img, AArea.left, AArea.top, AllPlanes) && X11ErrorCount() == errors) {
                img = FShm.Img;
                shm = true;
            }
        }
        if (!img)
            img = XGetImage(FDisplay, FRoot, AArea.left, AArea.top, unsigned(w), unsigned(h), AllPlanes, ZPixmap);
        if (!img) {
            AError = "XGetImage failed";
            return false;
        }
        const size_t packed = size_t(w) * size_t(FBits / 8);
        for (int y = 0; y < h; ++y)
            std::memcpy(ADst + size_t(y) * size_t(AStride), img->data + size_t(y) * size_t(img->bytes_per_line), packed);
        if (!shm)
            XDestroyImage(img);
        return true;
    }

    bool Cursor(TGrabCursor& ACursor) override
    {
        if (!FGetCursor)
            return false;
        TXFixesCursorImage* c = FGetCursor(FDisplay);
        if (!c)
            return false;
        ACursor.Width = c->width;
        ACursor.Height = c->height;
        ACursor.Position = POINT{c->x - c->xhot, c->y - c->yhot};
        ACursor.Argb.resize(size_t(c->width) * size_t(c->height));
        // The pixels are premultiplied A, R, G, B in longs.
        for (size_t i = 0; i < ACursor.Argb.size(); ++i) {
            uint32_t p = uint32_t(c->pixels[i]);
            const uint32_t a = p >> 24;
            if (a && a < 255) {
                auto un = [a](uint32_t v) { return std::min<uint32_t>(255, (v * 255 + a / 2) / a); };
                p = (a << 24) | (un((p >> 16) & 255) << 16) | (un((p >> 8) & 255) << 8) | un(p & 255);
            }
            ACursor.Argb[i] = p;
        }
        XFree(c);
        return true;
    }

    bool FindForeignWindow(const std::string& ATitle, RECT& ARect) override
    {
        // Top-level windows and, under a window manager, the clients inside
        // its frames.
        return Search(FRoot, ATitle, ARect, 2);
    }

private:
    struct TShm {
        XImage* Img = nullptr;
        XShmSegmentInfo Info{};
        bool Attached = false;
    };

    bool MakeShm(int w, int h)
    {
        DropShm();
        FShm.Img = XShmCreateImage(FDisplay, FVisual, unsigned(FDepth), ZPixmap, nullptr, &FShm.Info, unsigned(w),
                                   unsigned(h));
        if (!FShm.Img)
            return FShmOk = false;
        FShm.Info.shmid = shmget(IPC_PRIVATE, size_t(FShm.Img->bytes_per_line) * size_t(h), IPC_CREAT | 0600);
        if (FShm.Info.shmid < 0) {
            DropShm();
            return FShmOk = false;
        }
        FShm.Info.shmaddr = static_cast<char*>(shmat(FShm.Info.shmid, nullptr, 0));
        if (FShm.Info.shmaddr == reinterpret_cast<char*>(-1)) {
            shmctl(FShm.Info.shmid, IPC_RMID, nullptr);
            FShm.Info.shmaddr = nullptr;
            DropShm();
            return FShmOk = false;
        }
        FShm.Img->data = FShm.Info.shmaddr;
        FShm.Info.readOnly = False;
        // A server on another machine refuses the segment with an X error.
        const int errors = X11ErrorCount();
        XShmAttach(FDisplay, &FShm.Info);
        XSync(FDisplay, False);
        shmctl(FShm.Info.shmid, IPC_RMID, nullptr);
        if (X11ErrorCount() != errors) {
            DropShm();
            return FShmOk = false;
        }
        FShm.Attached = true;
        FShmSize = SIZE{w, h};
        return true;
    }

    void DropShm()
    {
        if (FShm.Attached)
            XShmDetach(FDisplay, &FShm.Info);
        if (FShm.Img) {
            FShm.Img->data = nullptr;
            XDestroyImage(FShm.Img);
        }
        if (FShm.Info.shmaddr)
            shmdt(FShm.Info.shmaddr);
        FShm = TShm{};
    }

    std::string Title(Window w)
    {
        Atom utf8 = XInternAtom(FDisplay, "UTF8_STRING", False);
        Atom netName = XInternAtom(FDisplay, "_NET_WM_NAME", False);
        Atom type = 0;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        std::string title;
        if (XGetWindowProperty(FDisplay, w, netName, 0, 1024, False, utf8, &type, &format, &n, &after, &data) ==
                Success &&
            data && type == utf8)
            title.assign(reinterpret_cast<char*>(data), n);
        if (data)
            XFree(data);
        if (!title.empty())
            return title;
        char* name = nullptr;
        if (XFetchName(FDisplay, w, &name) && name) {
            title = name;
            XFree(name);
        }
        return title;
    }

    bool Search(Window AParent, const std::string& ATitle, RECT& ARect, int ADepth)
    {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned n = 0;
        if (!XQueryTree(FDisplay, AParent, &root, &parent, &children, &n))
            return false;
        bool found = false;
        for (unsigned i = n; i-- > 0 && !found;) {  // front to back
            XWindowAttributes a{};
            if (!XGetWindowAttributes(FDisplay, children[i], &a) || a.map_state != IsViewable)
                continue;
            if (Title(children[i]) == ATitle) {
                int x = 0, y = 0;
                Window child = 0;
                XTranslateCoordinates(FDisplay, children[i], FRoot, 0, 0, &x, &y, &child);
                ARect = RECT{x, y, x + a.width, y + a.height};
                found = true;
            } else if (ADepth > 1) {
                found = Search(children[i], ATitle, ARect, ADepth - 1);
            }
        }
        if (children)
            XFree(children);
        return found;
    }

    Display* FDisplay = nullptr;
    Window FRoot = 0;
    Visual* FVisual = nullptr;
    int FDepth = 0;
    int FBits = 0;
    SIZE FSize{};
    TGrabPixels FPixels = TGrabPixels::Palette8;
    bool FShmOk = false;
    TShm FShm;
    SIZE FShmSize{};
    TDynLibrary FFixes;
    TXFixesGetCursorImage FGetCursor = nullptr;
};

}  // namespace

std::unique_ptr<TScreenGrabber> OpenX11ScreenGrabber(const char* ADisplay, std::string& AError)
{
    auto g = std::make_unique<TX11ScreenGrabber>();
    if (!g->Open(ADisplay, AError))
        return nullptr;
    return g;
}
