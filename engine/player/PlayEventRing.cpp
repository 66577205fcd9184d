#include "engine/player/PlayEventRing.h"

#include <chrono>

void TPlayEvent::Push(int AKind, int64_t AValue)
{
    {
        std::lock_guard<std::mutex> g(Lock);
        int newest = (Tailer + Slots - 1) % Slots;
        if (Header == Tailer || Events[newest].Kind != AKind) {
            Tailer = (Tailer + 1) % Slots;
            if (Tailer == Header) Header = (Header + 1) % Slots;
        }
        Events[(Tailer + Slots - 1) % Slots] = {AKind, AValue};
    }
    Event.notify_all();
}

TPlayEventItem TPlayEvent::Pop()
{
    std::lock_guard<std::mutex> g(Lock);
    if (Header == Tailer) return {};
    TPlayEventItem item = Events[Header];
    Header = (Header + 1) % Slots;
    return item;
}

bool TPlayEvent::Wait(int AMilliseconds)
{
    std::unique_lock<std::mutex> g(Lock);
    return Event.wait_for(g, std::chrono::milliseconds(AMilliseconds), [this] { return Header != Tailer; });
}

int TPlayEvent::Pending()
{
    std::lock_guard<std::mutex> g(Lock);
    return (Tailer - Header + Slots) % Slots;
}

void TPlayEvent::Clear()
{
    std::lock_guard<std::mutex> g(Lock);
    Header = Tailer = 0;
}
