#pragma once
// Chooses where the program's windows live: TARNELLO_BACKEND=headless or
// x11 forces one; otherwise the x11 back-end when an X display can be
// opened ($DISPLAY set and the connection made), the headless one when not.
#include "platform/user/Backend.h"

#include <string>

enum class TBackendChoice { Headless, X11, Invalid };
// The choice for a TARNELLO_BACKEND value (null or empty: none) and whether
// a display is reachable; Invalid for an unknown value.
TBackendChoice ChooseBackend(const char* forced, bool displayReachable);

// Makes and installs the chosen back-end (once; later calls return it).
// Returns null with a message in error when TARNELLO_BACKEND names an
// unknown back-end or x11 is forced and no display can be opened.
IWindowBackend* SelectWindowBackend(std::string* error);
// Ends the x11 back-end made by SelectWindowBackend (its event thread and
// connection), after the program's windows are gone; headless is then in use.
void ShutdownWindowBackend();
