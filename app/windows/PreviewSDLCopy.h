#pragma once
// Private copies of the SDL library, one per player (0 the main window's, 1
// and 2 the edit window's, 3 the trim window's), for a player that loads SDL
// itself: a library file can be loaded by one player only. The copies live
// in a folder only the user may enter ($XDG_RUNTIME_DIR/tarnello-sdl, else
// the cache folder's tarnello/sdl, mode 0700) and are written afresh on
// every call, so a file planted under that name is never loaded.
#include <string>

// The folder, made when missing; "" when no private folder can be had (one
// that exists must be a real folder of ours, and is set to mode 0700).
std::string SDLCopyFolder();

// Copies Library (by default the system's libSDL-1.2.so.0, or the one in
// the program's LibAV folder) to SDLCopyFolder() + "/SDL_<Number>.so" and
// returns that path; "" on failure, with the reason in Error.
std::string PrepareSDLLibrary(int Number, std::string& Error, const std::string& Library = {});
