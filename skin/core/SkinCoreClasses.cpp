#include "skin/core/SkinCoreClasses.h"

#include "platform/classes/ClassRegistry.h"
#include "skin/core/CompressedSkin.h"
#include "skin/core/PngImageList.h"
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinData.h"

void RegisterSkinCoreClasses() { RegisterClasses<TspSkinData, TspResourceStrData, TspCompressedStoredSkin, TspCompressedSkinList, TspPngImageList>(); }
