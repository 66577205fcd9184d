#pragma once
// Where dropped files would go: shared by the drop delivery and the window
// back-ends that answer drags from other programs.
#include "platform/user/Desktop.h"

// The window a drop at the screen point would reach (the window there or its
// nearest ancestor that accepts files); null when none takes files.
HWND FileDropTargetAt(POINT screen);
