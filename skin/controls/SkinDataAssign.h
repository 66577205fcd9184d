#pragma once
// Hands one skin to every component a form owns that publishes SkinData
// (the way a form read from a description without its skinning component
// gets its look), each applying it through its own setter.
#include "platform/classes/Component.h"
#include "skin/core/SkinData.h"

// Returns how many components took the skin.
int AssignSkinData(TComponent* Owner, TspSkinData* Data);
