#pragma once
// Shared libraries opened and their entry points bound by name, for the
// library loader (FFLoad).
#include <string>

#include "engine/common/FFBaseComponent.h"

// Opens a shared library: from AFolder when the file exists there, else by its
// bare name through the system's search order. Null on failure, with the
// system's error text in AError.
void* LoadLibraryFromPath(const TPathFileName& AFolder, const TPathFileName& AFileName, std::string& AError);
void FreeLibraryHandle(void* AHandle);
// Looks AName up in the library; a missing name raises
// "Load function %s@%s error: %s" unless AOptional.
void* BindFunction(const TPathFileName& ALibName, void* AHandle, const char* AName, bool AOptional);
