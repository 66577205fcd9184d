#pragma once
// What the skin data needs from the window system: the forms to tell about a
// skin change (with their classes, in screen order) and the screen's cursor
// table for the skin's cursors. The window system installs its own
// implementations; until one is installed, no message is sent and no cursor
// is loaded.
#include "platform/rtl/Types.h"

#include <string>
#include <vector>

class TComponent;

struct TspSkinFormEntry {
    HWND Handle = nullptr;
    std::string ClassName;
};

class TspSkinFormSystem {
public:
    virtual ~TspSkinFormSystem() = default;
    // Every form of the screen's form list, in list order.
    virtual std::vector<TspSkinFormEntry> Forms() = 0;
    // The window of Component when it is a form, else null.
    virtual HWND FormHandle(TComponent* Component) = 0;
    // Sends synchronously; returns when the form has handled the message.
    virtual LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) = 0;
};

class TspSkinCursorTable {
public:
    virtual ~TspSkinCursorTable() = default;
    // Loads a cursor file into slot Index; a file that cannot be loaded
    // leaves the slot without a cursor.
    virtual void LoadCursorFromFile(int Index, const std::string& FileName) = 0;
};

TspSkinFormSystem* SkinFormSystem();
// Installs the form system (null removes it); returns the previous one.
TspSkinFormSystem* SetSkinFormSystem(TspSkinFormSystem* System);
TspSkinCursorTable* SkinCursorTable();
TspSkinCursorTable* SetSkinCursorTable(TspSkinCursorTable* Table);
