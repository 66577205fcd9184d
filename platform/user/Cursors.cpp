#include "platform/user/Cursors.h"

#include <cstdio>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace {

struct TCursorRec {
    TCursorInfo Info;
};

struct TCursorState {
    std::mutex Lock;
    std::vector<std::unique_ptr<TCursorRec>> Standard;
    std::set<TCursorRec*> Live;
    HCURSOR Current = nullptr;
    int ShowCount = 0;
};

TCursorState& Cursors()
{
    static auto* s = new TCursorState;
    return *s;
}

HCURSOR ToHandle(TCursorRec* r)
{
    return reinterpret_cast<HCURSOR>(r);
}

TCursorRec* Lookup(HCURSOR h)
{
    auto* r = reinterpret_cast<TCursorRec*>(h);
    return Cursors().Live.count(r) ? r : nullptr;
}

bool IsStandard(TCursorRec* r)
{
    return r->Info.StandardId != 0;
}

} // namespace

HCURSOR LoadCursor(HINSTANCE, const char* name)
{
    auto id = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
    static const int known[] = {32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642, 32643,
                                32644, 32645, 32646, 32648, 32649, 32650, 32651};
    bool ok = false;
    for (int k : known)
        ok = ok || k == id;
    if (!ok)
        return nullptr;
    TCursorState& s = Cursors();
    std::lock_guard lock(s.Lock);
    for (auto& r : s.Standard)
        if (r->Info.StandardId == id)
            return ToHandle(r.get());
    auto r = std::make_unique<TCursorRec>();
    r->Info.StandardId = id;
    r->Info.Size = SIZE{32, 32};
    if (id == 32513)
        r->Info.HotSpot = POINT{16, 16};
    s.Live.insert(r.get());
    s.Standard.push_back(std::move(r));
    return ToHandle(s.Standard.back().get());
}

HCURSOR LoadCursorFromFile(const char* fileName, std::string* error)
{
    auto fail = [&](const char* why) -> HCURSOR {
        if (error)
            *error = why;
        return nullptr;
    };
    if (!fileName || !*fileName)
        return fail("no file name");
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(fileName, "rb"), &std::fclose);
    if (!f)
        return fail("the cursor file cannot be opened");
    std::vector<unsigned char> data;
    unsigned char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0 && data.size() < (64u << 20))
        data.insert(data.end(), buf, buf + n);
    auto word = [&](std::size_t at) { return static_cast<unsigned>(data[at] | (data[at + 1] << 8)); };
    auto dword = [&](std::size_t at) { return word(at) | (word(at + 2) << 16); };
    if (data.size() < 6 + 16 || word(0) != 0 || word(2) != 2 || word(4) == 0)
        return fail("not a cursor file");
    unsigned count = word(4);
    if (data.size() < 6 + 16ull * count)
        return fail("the cursor file is truncated");
    unsigned width = data[6] ? data[6] : 256;
    unsigned height = data[7] ? data[7] : 256;
    unsigned hotX = word(10), hotY = word(12);
    unsigned size = dword(14), offset = dword(18);
    if (size == 0 || offset > data.size() || size > data.size() - offset)
        return fail("the cursor file is truncated");
    if (hotX >= width || hotY >= height)
        return fail("the cursor's hot spot lies outside its picture");
    auto r = std::make_unique<TCursorRec>();
    r->Info.HotSpot = POINT{static_cast<LONG>(hotX), static_cast<LONG>(hotY)};
    r->Info.Size = SIZE{static_cast<LONG>(width), static_cast<LONG>(height)};
    r->Info.FileName = fileName;
    TCursorState& s = Cursors();
    std::lock_guard lock(s.Lock);
    TCursorRec* raw = r.release();
    s.Live.insert(raw);
    return ToHandle(raw);
}

BOOL DestroyCursor(HCURSOR cursor)
{
    TCursorState& s = Cursors();
    std::lock_guard lock(s.Lock);
    TCursorRec* r = Lookup(cursor);
    if (!r)
        return FALSE_;
    if (IsStandard(r))
        return TRUE_;
    s.Live.erase(r);
    if (s.Current == cursor)
        s.Current = nullptr;
    delete r;
    return TRUE_;
}

HCURSOR SetCursor(HCURSOR cursor)
{
    TCursorState& s = Cursors();
    std::lock_guard lock(s.Lock);
    HCURSOR old = s.Current;
    if (!cursor || Lookup(cursor))
        s.Current = cursor;
    return old;
}

HCURSOR GetCursor()
{
    TCursorState& s = Cursors();
    std::lock_guard lock(s.Lock);
    return s.Current;
}

int ShowCursor(BOOL show)
{
    TCursorState& s = Cursors();
    std::lock_guard lock(s.Lock);
    s.ShowCount += show ? 1 : -1;
    return s.ShowCount;
}

bool GetCursorDescription(HCURSOR cursor, TCursorInfo* info)
{
    TCursorState& s = Cursors();
    std::lock_guard lock(s.Lock);
    TCursorRec* r = Lookup(cursor);
    if (!r)
        return false;
    if (info)
        *info = r->Info;
    return true;
}
