#pragma once
// The skinned edits, lists, grids, page controls and dialogs of skin/lists.

// Registers every class of skin/lists (and the layers below) for stored
// descriptions. Each unit of the layer adds its own registration call here.
void RegisterSkinListsClasses();
