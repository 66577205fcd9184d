#pragma once
// The small modal box a component's ShowAbout shows: the library's name and
// its version, closed by its OK button, Enter or Escape.
#include <string>

class TCustomForm;
class TComponent;

// The library's name as the box shows it.
extern const char* const EngineLibraryName;

// A new, hidden box for the given version (the caller frees it); ShowAbout
// shows it modally and frees it.
TCustomForm* CreateAboutBox(TComponent* AOwner, const std::string& AVersion);
