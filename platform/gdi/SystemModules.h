#pragma once
// The platform libraries that callers bind by name at run time ("msimg32.dll"
// for TransparentBlt and AlphaBlend, "user32.dll" for the optional window
// functions) exist here as tables of our own functions. The graphics unit
// fills "msimg32.dll"; the window system registers its entries when it
// starts, so a lookup before then finds nothing, as on an older platform.
// Names compare without regard to case.
#include <string>

// True when the module has at least one registered entry.
bool SystemModuleExists(const std::string& module);
// The registered function, or null when the module or the name is unknown.
void* SystemModuleProc(const std::string& module, const std::string& name);
void RegisterSystemModuleProc(const std::string& module, const std::string& name, void* proc);
