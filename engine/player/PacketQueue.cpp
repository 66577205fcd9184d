#include "engine/player/PacketQueue.h"

#include "engine/bindings/AVCodecStubs.h"

TPacketQueue::~TPacketQueue()
{
    Flush();
    for (AVPacket* p : Free) ff::av_packet_free(&p);
}

AVPacket* TPacketQueue::TakeRecord()
{
    if (!Free.empty()) {
        AVPacket* p = Free.back();
        Free.pop_back();
        return p;
    }
    return ff::av_packet_alloc();
}

void TPacketQueue::Recycle(AVPacket* APacket)
{
    ff::av_packet_unref(APacket);
    Free.push_back(APacket);
}

int TPacketQueue::Put(AVPacket* APacket)
{
    {
        std::lock_guard<std::mutex> g(Mutex);
        if (FAbort) {
            ff::av_packet_unref(APacket);
            return -1;
        }
        AVPacket* rec = TakeRecord();
        if (!rec) {
            ff::av_packet_unref(APacket);
            return -1;
        }
        ff::av_packet_move_ref(rec, APacket);
        Nodes.push_back({rec});
        ++FCount;
        FSize += rec->size + int(sizeof(TNode) + sizeof(AVPacket));
    }
    Cond.notify_all();
    return 0;
}

int TPacketQueue::PutEmpty()
{
    std::lock_guard<std::mutex> g(Mutex);
    if (FAbort) return -1;
    AVPacket* rec = TakeRecord();
    if (!rec) return -1;
    Nodes.push_back({rec});
    ++FCount;
    FSize += int(sizeof(TNode) + sizeof(AVPacket));
    Cond.notify_all();
    return 0;
}

int TPacketQueue::PutFlush(int ASerial)
{
    std::lock_guard<std::mutex> g(Mutex);
    if (FAbort) return -1;
    Nodes.push_back({nullptr, ASerial});
    ++FCount;
    FSize += int(sizeof(TNode));
    Cond.notify_all();
    return 0;
}

int TPacketQueue::Get(AVPacket* APacket, bool ABlock, bool& AFlush, int* ASerial)
{
    std::unique_lock<std::mutex> g(Mutex);
    for (;;) {
        if (FAbort) return -1;
        if (!Nodes.empty()) {
            TNode n = Nodes.front();
            Nodes.pop_front();
            --FCount;
            AFlush = n.Packet == nullptr;
            if (AFlush && ASerial) *ASerial = n.Serial;
            if (n.Packet) {
                FSize -= n.Packet->size + int(sizeof(TNode) + sizeof(AVPacket));
                ff::av_packet_move_ref(APacket, n.Packet);
                Free.push_back(n.Packet);
            } else {
                FSize -= int(sizeof(TNode));
            }
            return 1;
        }
        if (!ABlock) return 0;
        Cond.wait(g);
    }
}

void TPacketQueue::Flush()
{
    std::lock_guard<std::mutex> g(Mutex);
    for (TNode& n : Nodes)
        if (n.Packet) Recycle(n.Packet);
    Nodes.clear();
    FCount = 0;
    FSize = 0;
}

void TPacketQueue::Abort()
{
    {
        std::lock_guard<std::mutex> g(Mutex);
        FAbort = true;
    }
    Cond.notify_all();
}

void TPacketQueue::Start()
{
    std::lock_guard<std::mutex> g(Mutex);
    FAbort = false;
}

bool TPacketQueue::Aborted()
{
    std::lock_guard<std::mutex> g(Mutex);
    return FAbort;
}

int TPacketQueue::Count()
{
    std::lock_guard<std::mutex> g(Mutex);
    return FCount;
}

int TPacketQueue::Size()
{
    std::lock_guard<std::mutex> g(Mutex);
    return FSize;
}
