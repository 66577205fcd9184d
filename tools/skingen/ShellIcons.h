#pragma once
// The shell's item pictures: the strips platform/shell reads for its 16- and
// 32-pixel image lists, one picture per kind in TShellIconKind's order.
#include <string>

namespace skingen {

// Writes "shellicons16.png" and "shellicons32.png" into Folder.
void WriteShellIcons(const std::string& Folder);

}  // namespace skingen
