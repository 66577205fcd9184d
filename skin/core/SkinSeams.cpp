#include "skin/core/SkinSeams.h"

#include <utility>

namespace {
TspSkinFormSystem* gFormSystem = nullptr;
TspSkinCursorTable* gCursorTable = nullptr;
}  // namespace

TspSkinFormSystem* SkinFormSystem() { return gFormSystem; }
TspSkinFormSystem* SetSkinFormSystem(TspSkinFormSystem* System) { return std::exchange(gFormSystem, System); }
TspSkinCursorTable* SkinCursorTable() { return gCursorTable; }
TspSkinCursorTable* SetSkinCursorTable(TspSkinCursorTable* Table) { return std::exchange(gCursorTable, Table); }
