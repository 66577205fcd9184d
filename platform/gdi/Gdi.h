#pragma once
// The graphics interface in one include: device contexts, bitmaps, blits,
// regions, pens and brushes, fonts and text, shapes, system colours and metrics, rectangles.
#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/Blit.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/PensBrushes.h"
#include "platform/gdi/RectUtils.h"
#include "platform/gdi/Regions.h"
#include "platform/gdi/Shapes.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/SystemModules.h"
#include "platform/gdi/Text.h"
