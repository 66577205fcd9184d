#include "skin/core/SkinCoreClasses.h"

#include "platform/classes/ClassRegistry.h"
#include "skin/core/PngImageList.h"

void RegisterSkinCoreClasses() { RegisterClasses<TspPngImageList>(); }
