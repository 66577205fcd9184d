#include "platform/user/Cursors.h"

#include "platform/gdi/IconFormat.h"
#include "platform/rtl/Exceptions.h"

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
    auto fail = [&](const std::string& why) -> HCURSOR {
        if (error)
            *error = why;
        return nullptr;
    };
    if (!fileName || !*fileName)
        return fail("no file name");
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(fileName, "rb"), &std::fclose);
    if (!f)
        return fail("the cursor file cannot be opened");
    std::vector<std::uint8_t> data;
    unsigned char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) {
        if (data.size() + n > (16u << 20))
            return fail("the cursor file is too large");
        data.insert(data.end(), buf, buf + n);
    }
    auto r = std::make_unique<TCursorRec>();
    try {
        TIconDirectory dir = ReadIconDirectory(data);
        if (!dir.IsCursor || dir.Entries.empty())
            return fail("not a cursor file");
        const TIconEntry& e = dir.Entries[BestIconEntry(dir, 32, 32)];
        r->Info.Image = DecodeIconEntry(data, e);
        r->Info.HotSpot = POINT{e.HotSpot.x, e.HotSpot.y};
        r->Info.Size = SIZE{r->Info.Image.Width, r->Info.Image.Height};
    } catch (const Exception& ex) {
        return fail(ex.Message());
    }
    if (r->Info.HotSpot.x < 0 || r->Info.HotSpot.y < 0 || r->Info.HotSpot.x >= r->Info.Size.cx ||
        r->Info.HotSpot.y >= r->Info.Size.cy)
        return fail("the cursor's hot spot lies outside its picture");
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

bool CursorShowing()
{
    TCursorState& s = Cursors();
    std::lock_guard lock(s.Lock);
    return s.ShowCount >= 0 && s.Current;
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
