// Events are header-only templates; this unit keeps the one-source-per-unit
// shape and checks that an event stays as cheap as two pointers and a word.
#include "platform/classes/Events.h"

static_assert(sizeof(TNotifyEvent) <= 4 * sizeof(void*), "events must stay small");
static_assert(std::is_trivially_copyable_v<TNotifyEvent>, "events must copy without allocation");
