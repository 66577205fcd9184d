#pragma once

// The class library's drawing objects in one include: colours, fonts, pens
// and brushes (GraphicsObjects), the canvas (Canvas), pictures (Pictures) and
// the bitmap (Bitmap).

#include "platform/gui/Bitmap.h"
#include "platform/gui/Canvas.h"
#include "platform/gui/GraphicsObjects.h"
#include "platform/gui/Pictures.h"
