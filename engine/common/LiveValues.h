#pragma once
// Values that a running filter or capture source reads while the user moves a
// slider. An option text names a value by a handle from RegisterLiveValue, never
// by an address, so no text can make the engine read or write arbitrary memory.
// A stage keeps the cell it found alive through its shared pointer, so a value
// unregistered mid-run stays valid for that stage until it lets go.
#include <atomic>
#include <cstdint>
#include <memory>

using TLiveValueCell = std::atomic<int32_t>;

// A new cell holding AInitial; the handle is positive and never reused.
int32_t RegisterLiveValue(int32_t AInitial = 0);
// Forgets the handle; stages that hold the cell keep it. Unknown handles are ignored.
void UnregisterLiveValue(int32_t AHandle);
// The cell of a registered handle, or null.
std::shared_ptr<TLiveValueCell> FindLiveValue(int32_t AHandle);
