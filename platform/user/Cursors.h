#pragma once
// Cursors: the standard shapes by resource number, cursors read from .cur
// files, and the current cursor. Headless, a cursor is its shape's identity
// and hot spot; a back-end that shows a pointer maps them to its own.
#include "platform/gdi/ImageFormats.h"
#include "platform/user/UserTypes.h"

#include <string>

inline const char* MakeIntResource(int id) { return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(id)); }
#define IDC_ARROW MakeIntResource(32512)
#define IDC_IBEAM MakeIntResource(32513)
#define IDC_WAIT MakeIntResource(32514)
#define IDC_CROSS MakeIntResource(32515)
#define IDC_UPARROW MakeIntResource(32516)
#define IDC_SIZE MakeIntResource(32640)
#define IDC_ICON MakeIntResource(32641)
#define IDC_SIZENWSE MakeIntResource(32642)
#define IDC_SIZENESW MakeIntResource(32643)
#define IDC_SIZEWE MakeIntResource(32644)
#define IDC_SIZENS MakeIntResource(32645)
#define IDC_SIZEALL MakeIntResource(32646)
#define IDC_NO MakeIntResource(32648)
#define IDC_HAND MakeIntResource(32649)
#define IDC_APPSTARTING MakeIntResource(32650)
#define IDC_HELP MakeIntResource(32651)

struct TCursorInfo {
    int StandardId = 0;       // 32512.. for the standard shapes, 0 for file cursors
    POINT HotSpot{};
    SIZE Size{};
    std::string FileName;
    TDibImage Image;          // file cursors: the picture (32-bit with alpha)
};

// Standard cursors by number (instance ignored); null for unknown names.
HCURSOR LoadCursor(HINSTANCE instance, const char* name);
// Reads a .cur file (the entry nearest 32 x 32); null, with the reason in
// *error, when the file is missing, not a cursor or damaged.
HCURSOR LoadCursorFromFile(const char* fileName, std::string* error = nullptr);
BOOL DestroyCursor(HCURSOR cursor);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
int ShowCursor(BOOL show);
// Whether a pointer shows: a current cursor and a show count of 0 or more.
bool CursorShowing();
// Describes a cursor handle; false for anything that is not one.
bool GetCursorDescription(HCURSOR cursor, TCursorInfo* info);
