#include "platform/user/WindowClass.h"

#include "platform/rtl/Exceptions.h"
#include "platform/user/Window.h"
#include "platform/user/WindowObject.h"

#include <array>
#include <cctype>
#include <string>
#include <cstring>
#include <mutex>
#include <utility>

namespace {

TWndClassRec* Find(const char* name)
{
    if (!name)
        return nullptr;
    auto atom = reinterpret_cast<std::uintptr_t>(name);
    for (auto& c : User().Classes) {
        if (atom < 0x10000 ? c->Atom == atom : strcasecmp(c->Name.c_str(), name) == 0)
            return c.get();
    }
    return nullptr;
}

TWndClassRec* ClassOf(HWND wnd)
{
    TWnd* w = WndFromHandle(wnd);
    return w ? w->Class : nullptr;
}

} // namespace

ATOM RegisterClassEx(const WNDCLASSEX* wc)
{
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc || wc->cbClsExtra < 0 || wc->cbWndExtra < 0 ||
        wc->cbClsExtra > 40000 || wc->cbWndExtra > 40000)
        return 0;
    if (reinterpret_cast<std::uintptr_t>(wc->lpszClassName) < 0x10000 || !*wc->lpszClassName)
        return 0;
    TUserState& u = User();
    std::lock_guard lock(u.Lock);
    if (Find(wc->lpszClassName))
        return 0;
    auto c = std::make_unique<TWndClassRec>();
    c->Name = wc->lpszClassName;
    c->Atom = u.NextAtom++;
    c->Style = wc->style;
    c->Proc = wc->lpfnWndProc;
    c->ClsExtra = wc->cbClsExtra;
    c->WndExtra = wc->cbWndExtra;
    c->Instance = wc->hInstance;
    c->Icon = wc->hIcon;
    c->IconSm = wc->hIconSm;
    c->Cursor = wc->hCursor;
    c->Background = wc->hbrBackground;
    if (wc->lpszMenuName && reinterpret_cast<std::uintptr_t>(wc->lpszMenuName) >= 0x10000)
        c->MenuName = wc->lpszMenuName;
    c->Extra.assign(static_cast<std::size_t>(wc->cbClsExtra), 0);
    ATOM atom = c->Atom;
    u.Classes.push_back(std::move(c));
    return atom;
}

ATOM RegisterClass(const WNDCLASS* wc)
{
    if (!wc)
        return 0;
    WNDCLASSEX ex;
    ex.style = wc->style;
    ex.lpfnWndProc = wc->lpfnWndProc;
    ex.cbClsExtra = wc->cbClsExtra;
    ex.cbWndExtra = wc->cbWndExtra;
    ex.hInstance = wc->hInstance;
    ex.hIcon = wc->hIcon;
    ex.hCursor = wc->hCursor;
    ex.hbrBackground = wc->hbrBackground;
    ex.lpszMenuName = wc->lpszMenuName;
    ex.lpszClassName = wc->lpszClassName;
    return RegisterClassEx(&ex);
}

BOOL UnregisterClass(const char* className, HINSTANCE)
{
    TUserState& u = User();
    std::lock_guard lock(u.Lock);
    TWndClassRec* c = Find(className);
    if (!c || c->Windows > 0)
        return FALSE_;
    for (auto it = u.Classes.begin(); it != u.Classes.end(); ++it)
        if (it->get() == c) {
            u.Classes.erase(it);
            break;
        }
    return TRUE_;
}

namespace {
bool GetClassInfoFound(const char* className)
{
    std::lock_guard lock(User().Lock);
    return Find(className) != nullptr;
}
} // namespace

BOOL GetClassInfoEx(HINSTANCE, const char* className, WNDCLASSEX* wc)
{
    // The native control classes register on first use.
    if (reinterpret_cast<std::uintptr_t>(className) >= 0x10000 && !GetClassInfoFound(className))
        InitCommonControls();
    std::lock_guard lock(User().Lock);
    TWndClassRec* c = Find(className);
    if (!c || !wc)
        return FALSE_;
    wc->style = c->Style;
    wc->lpfnWndProc = c->Proc;
    wc->cbClsExtra = c->ClsExtra;
    wc->cbWndExtra = c->WndExtra;
    wc->hInstance = c->Instance;
    wc->hIcon = c->Icon;
    wc->hIconSm = c->IconSm;
    wc->hCursor = c->Cursor;
    wc->hbrBackground = c->Background;
    wc->lpszMenuName = c->MenuName.empty() ? nullptr : c->MenuName.c_str();
    wc->lpszClassName = c->Name.c_str();
    return TRUE_;
}

BOOL GetClassInfo(HINSTANCE instance, const char* className, WNDCLASS* wc)
{
    WNDCLASSEX ex;
    if (!wc || !GetClassInfoEx(instance, className, &ex))
        return FALSE_;
    wc->style = ex.style;
    wc->lpfnWndProc = ex.lpfnWndProc;
    wc->cbClsExtra = ex.cbClsExtra;
    wc->cbWndExtra = ex.cbWndExtra;
    wc->hInstance = ex.hInstance;
    wc->hIcon = ex.hIcon;
    wc->hCursor = ex.hCursor;
    wc->hbrBackground = ex.hbrBackground;
    wc->lpszMenuName = ex.lpszMenuName;
    wc->lpszClassName = ex.lpszClassName;
    return TRUE_;
}

DWORD_PTR GetClassLongPtr(HWND wnd, int index)
{
    TWndClassRec* c = ClassOf(wnd);
    if (!c)
        return 0;
    switch (index) {
    case GCL_STYLE: return c->Style;
    case GCL_WNDPROC: return reinterpret_cast<DWORD_PTR>(c->Proc);
    case GCL_HBRBACKGROUND: return reinterpret_cast<DWORD_PTR>(c->Background);
    case GCL_HCURSOR: return reinterpret_cast<DWORD_PTR>(c->Cursor);
    case GCL_HICON: return reinterpret_cast<DWORD_PTR>(c->Icon);
    case GCL_HICONSM: return reinterpret_cast<DWORD_PTR>(c->IconSm);
    case GCL_HMODULE: return reinterpret_cast<DWORD_PTR>(c->Instance);
    case GCL_CBWNDEXTRA: return static_cast<DWORD_PTR>(c->WndExtra);
    case GCL_CBCLSEXTRA: return static_cast<DWORD_PTR>(c->ClsExtra);
    case GCW_ATOM: return c->Atom;
    default:
        if (index >= 0 && static_cast<std::size_t>(index) + sizeof(DWORD_PTR) <= c->Extra.size()) {
            DWORD_PTR v;
            std::memcpy(&v, c->Extra.data() + index, sizeof v);
            return v;
        }
        return 0;
    }
}

DWORD_PTR SetClassLongPtr(HWND wnd, int index, LONG_PTR value)
{
    TWndClassRec* c = ClassOf(wnd);
    if (!c)
        return 0;
    DWORD_PTR old = GetClassLongPtr(wnd, index);
    switch (index) {
    case GCL_STYLE: c->Style = static_cast<UINT>(value); break;
    case GCL_WNDPROC: if (value) c->Proc = reinterpret_cast<WNDPROC>(value); break;
    case GCL_HBRBACKGROUND: c->Background = reinterpret_cast<HBRUSH>(value); break;
    case GCL_HCURSOR: c->Cursor = reinterpret_cast<HICON>(value); break;
    case GCL_HICON: c->Icon = reinterpret_cast<HICON>(value); break;
    case GCL_HICONSM: c->IconSm = reinterpret_cast<HICON>(value); break;
    default:
        if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= c->Extra.size())
            std::memcpy(c->Extra.data() + index, &value, sizeof value);
        else
            return 0;
    }
    return old;
}

DWORD GetClassLong(HWND wnd, int index)
{
    return static_cast<DWORD>(GetClassLongPtr(wnd, index));
}

DWORD SetClassLong(HWND wnd, int index, LONG value)
{
    LONG_PTR v = (index == GCL_STYLE) ? static_cast<LONG_PTR>(static_cast<DWORD>(value)) : value;
    return static_cast<DWORD>(SetClassLongPtr(wnd, index, v));
}

int GetClassName(HWND wnd, char* buffer, int maxCount)
{
    TWndClassRec* c = ClassOf(wnd);
    if (!c || !buffer || maxCount <= 0)
        return 0;
    std::size_t n = std::min<std::size_t>(c->Name.size(), static_cast<std::size_t>(maxCount - 1));
    std::memcpy(buffer, c->Name.data(), n);
    buffer[n] = 0;
    return static_cast<int>(n);
}

std::string GetClassNameString(HWND wnd)
{
    TWndClassRec* c = ClassOf(wnd);
    return c ? c->Name : std::string();
}

LRESULT CallWindowProc(WNDPROC proc, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!proc)
        return 0;
    return proc(wnd, msg, wParam, lParam);
}

// Object instances: a fixed pool of real functions, each forwarding to the
// method stored in its slot.
namespace {

constexpr std::size_t kInstanceCount = 4096;

struct TInstancePool {
    std::mutex Lock;
    std::array<TWndMethod, kInstanceCount> Methods;
    std::array<bool, kInstanceCount> Used{};
    std::size_t Next = 0;
};

TInstancePool& Pool()
{
    static auto* p = new TInstancePool;
    return *p;
}

template <std::size_t I>
LRESULT InstanceProc(HWND, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TWndMethod method = Pool().Methods[I];
    TMessage m{msg, wParam, lParam, 0};
    if (method)
        method(m);
    return m.Result;
}

template <std::size_t... I>
constexpr std::array<WNDPROC, sizeof...(I)> MakeTable(std::index_sequence<I...>)
{
    return {&InstanceProc<I>...};
}

const std::array<WNDPROC, kInstanceCount>& Table()
{
    static const auto table = MakeTable(std::make_index_sequence<kInstanceCount>{});
    return table;
}

LRESULT UtilWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProc(wnd, msg, wParam, lParam);
}

} // namespace

WNDPROC MakeObjectInstance(TWndMethod method)
{
    TInstancePool& p = Pool();
    std::lock_guard lock(p.Lock);
    for (std::size_t k = 0; k < kInstanceCount; ++k) {
        std::size_t i = (p.Next + k) % kInstanceCount;
        if (!p.Used[i]) {
            p.Used[i] = true;
            p.Methods[i] = method;
            p.Next = i + 1;
            return Table()[i];
        }
    }
    throw EOutOfResources("No more window procedures for objects are available");
}

void FreeObjectInstance(WNDPROC instance)
{
    if (!instance)
        return;
    TInstancePool& p = Pool();
    std::lock_guard lock(p.Lock);
    const auto& t = Table();
    for (std::size_t i = 0; i < kInstanceCount; ++i)
        if (t[i] == instance) {
            p.Used[i] = false;
            p.Methods[i] = TWndMethod();
            return;
        }
}

HWND AllocateHWnd(TWndMethod method)
{
    static const char* kClass = "TPUtilWindow";
    {
        std::lock_guard lock(User().Lock);
        if (!Find(kClass)) {
            WNDCLASS wc;
            wc.lpfnWndProc = &UtilWindowProc;
            wc.lpszClassName = kClass;
            wc.hInstance = HInstance();
            RegisterClass(&wc);
        }
    }
    HWND wnd = CreateWindowEx(WS_EX_TOOLWINDOW, kClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, HInstance(), nullptr);
    if (wnd && method)
        SetWindowLongPtr(wnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(MakeObjectInstance(method)));
    return wnd;
}

void DeallocateHWnd(HWND wnd)
{
    if (!IsWindow(wnd))
        return;
    auto proc = reinterpret_cast<WNDPROC>(GetWindowLongPtr(wnd, GWL_WNDPROC));
    DestroyWindow(wnd);
    if (proc != &UtilWindowProc)
        FreeObjectInstance(proc);
}

namespace {

struct TAtomRec {
    std::string Name;
    std::string Key;
    int Count = 0;
};

struct TAtomTable {
    std::mutex Lock;
    std::vector<TAtomRec> Atoms;  // index + 0xC000
};

TAtomTable& Atoms()
{
    static auto* t = new TAtomTable;
    return *t;
}

std::string AtomKey(const char* name)
{
    std::string k(name);
    for (char& c : k)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return k;
}

} // namespace

ATOM GlobalAddAtom(const char* name)
{
    auto v = reinterpret_cast<std::uintptr_t>(name);
    if (v < 0xC000)
        return static_cast<ATOM>(v);  // integer atoms stand for themselves
    if (!*name || std::strlen(name) > 255)
        return 0;
    TAtomTable& t = Atoms();
    std::lock_guard lock(t.Lock);
    std::string key = AtomKey(name);
    for (std::size_t i = 0; i < t.Atoms.size(); ++i)
        if (t.Atoms[i].Count > 0 && t.Atoms[i].Key == key) {
            ++t.Atoms[i].Count;
            return static_cast<ATOM>(0xC000 + i);
        }
    for (std::size_t i = 0; i < t.Atoms.size(); ++i)
        if (t.Atoms[i].Count == 0) {
            t.Atoms[i] = TAtomRec{name, key, 1};
            return static_cast<ATOM>(0xC000 + i);
        }
    if (t.Atoms.size() >= 0x3FFF)
        return 0;
    t.Atoms.push_back(TAtomRec{name, key, 1});
    return static_cast<ATOM>(0xC000 + t.Atoms.size() - 1);
}

ATOM GlobalFindAtom(const char* name)
{
    auto v = reinterpret_cast<std::uintptr_t>(name);
    if (v < 0xC000)
        return static_cast<ATOM>(v);
    TAtomTable& t = Atoms();
    std::lock_guard lock(t.Lock);
    std::string key = AtomKey(name);
    for (std::size_t i = 0; i < t.Atoms.size(); ++i)
        if (t.Atoms[i].Count > 0 && t.Atoms[i].Key == key)
            return static_cast<ATOM>(0xC000 + i);
    return 0;
}

ATOM GlobalDeleteAtom(ATOM atom)
{
    if (atom < 0xC000)
        return 0;
    TAtomTable& t = Atoms();
    std::lock_guard lock(t.Lock);
    std::size_t i = atom - 0xC000u;
    if (i >= t.Atoms.size() || t.Atoms[i].Count == 0)
        return atom;
    --t.Atoms[i].Count;
    return 0;
}

UINT GlobalGetAtomName(ATOM atom, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    std::string name;
    if (atom < 0xC000) {
        if (atom == 0)
            return 0;
        name = "#" + std::to_string(atom);
    } else {
        TAtomTable& t = Atoms();
        std::lock_guard lock(t.Lock);
        std::size_t i = atom - 0xC000u;
        if (i >= t.Atoms.size() || t.Atoms[i].Count == 0)
            return 0;
        name = t.Atoms[i].Name;
    }
    std::size_t n = std::min<std::size_t>(name.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, name.data(), n);
    buffer[n] = 0;
    return static_cast<UINT>(n);
}
