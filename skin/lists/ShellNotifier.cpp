#include "skin/lists/ShellNotifier.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/rtl/SysUtils.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace {

constexpr DWORD kFileName = 0x1, kDirName = 0x2, kAttributes = 0x4, kSize = 0x8, kWrite = 0x10, kSecurity = 0x100;
constexpr uint32_t kNameEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
// One notifier watches at most this many folders; past it (or past the
// system's limit) the watches made are kept.
constexpr std::size_t kMaxWatches = 8192;

uint32_t InotifyMask(DWORD Flags, bool SubTree)
{
    uint32_t mask = IN_DELETE_SELF | IN_MOVE_SELF;
    if (Flags & (kFileName | kDirName))
        mask |= kNameEvents;
    if (Flags & (kAttributes | kSecurity))
        mask |= IN_ATTRIB;
    if (Flags & (kSize | kWrite))
        mask |= IN_MODIFY | IN_CLOSE_WRITE;
    if (SubTree)
        mask |= IN_CREATE | IN_MOVED_TO;  // to follow new folders
    return mask | IN_ONLYDIR;
}

// Whether an event is a change the filters ask for.
bool Reported(const inotify_event& E, DWORD Flags)
{
    const bool dir = (E.mask & IN_ISDIR) != 0;
    if (E.mask & kNameEvents)
        return (Flags & (dir ? kDirName : kFileName)) != 0;
    if (E.mask & (IN_DELETE_SELF | IN_MOVE_SELF))
        return (Flags & kDirName) != 0;
    if (E.mask & IN_ATTRIB)
        return (Flags & (kAttributes | kSecurity)) != 0;
    if (E.mask & (IN_MODIFY | IN_CLOSE_WRITE))
        return (Flags & (kSize | kWrite)) != 0;
    return false;
}

// The watches of one worker: descriptor -> folder.
class TWatches {
public:
    explicit TWatches(int Fd) : FFd(Fd) {}
    void Clear()
    {
        for (const auto& [wd, path] : FPaths)
            ::inotify_rm_watch(FFd, wd);
        FPaths.clear();
    }
    // Watches Path and, with SubTree, every folder below it (links not
    // followed); stops quietly at the limit.
    void Add(const std::string& Path, uint32_t Mask, bool SubTree)
    {
        if (FPaths.size() >= kMaxWatches)
            return;
        const int wd = ::inotify_add_watch(FFd, Path.c_str(), Mask | IN_DONT_FOLLOW);
        if (wd < 0)
            return;
        FPaths[wd] = Path;
        if (!SubTree)
            return;
        DIR* d = ::opendir(Path.c_str());
        if (!d)
            return;
        std::vector<std::string> subs;
        while (dirent* e = ::readdir(d)) {
            if (e->d_type != DT_DIR || std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
                continue;
            subs.push_back(Path == "/" ? "/" + std::string(e->d_name) : Path + "/" + e->d_name);
        }
        ::closedir(d);
        for (const std::string& s : subs)
            Add(s, Mask, true);
    }
    const std::string* PathOf(int Wd) const
    {
        auto it = FPaths.find(Wd);
        return it == FPaths.end() ? nullptr : &it->second;
    }
    void Forget(int Wd) { FPaths.erase(Wd); }

private:
    int FFd;
    std::unordered_map<int, std::string> FPaths;
};

std::string WatchedPath(const std::string& Root)
{
    // A drive root names the file system's root here.
    if (Root.size() >= 2 && Root[1] == ':' && (Root.size() == 2 || (Root.size() == 3 && (Root[2] == '\\' || Root[2] == '/'))))
        return "/";
    return Root;
}

}  // namespace

DWORD NotifyOptionFlags(TNotifyFilters Filters)
{
    DWORD flags = 0;
    const std::pair<TNotifyFilter, DWORD> bits[] = {{nfFileNameChange, kFileName}, {nfDirNameChange, kDirName},
                                                    {nfAttributeChange, kAttributes}, {nfSizeChange, kSize},
                                                    {nfWriteChange, kWrite}, {nfSecurityChange, kSecurity}};
    for (const auto& [f, bit] : bits)
        if (Filters.Contains(f))
            flags |= bit;
    return flags;
}

// ---------------------------------------------------------------------------
// The worker

TspShellChangeThread::TspShellChangeThread(TspCustomShellChangeNotifier* Owner) : TThread(true), FOwner(Owner)
{
    FWakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

TspShellChangeThread::~TspShellChangeThread()
{
    Stop();
    WaitFor();
    if (FWakeFd >= 0)
        ::close(FWakeFd);
}

void TspShellChangeThread::Wake()
{
    const uint64_t one = 1;
    if (FWakeFd >= 0 && ::write(FWakeFd, &one, sizeof one) < 0) {
        // The counter is full: the worker is awake already.
    }
}

void TspShellChangeThread::SetDirectoryOptions(const std::string& Directory, bool WatchSubTree,
                                               DWORD NotifyOptionFlags, unsigned Generation)
{
    {
        std::lock_guard lock(FLock);
        FDirectory = Directory;
        FWatchSubTree = WatchSubTree;
        FNotifyOptionFlags = NotifyOptionFlags;
        FGeneration = Generation;
        FWaitChanged = true;
    }
    Wake();
}

void TspShellChangeThread::Stop()
{
    Terminate();
    Wake();
}

void TspShellChangeThread::Execute()
{
    const int fd = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (fd < 0 || FWakeFd < 0) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    TWatches watches(fd);
    std::string directory;
    bool subTree = false;
    DWORD flags = 0;
    unsigned generation = 0;
    alignas(inotify_event) char buffer[16 * (sizeof(inotify_event) + NAME_MAX + 1)];
    while (!Terminated()) {
        bool rebuild = false;
        {
            std::lock_guard lock(FLock);
            if (FWaitChanged) {
                directory = FDirectory;
                subTree = FWatchSubTree;
                flags = FNotifyOptionFlags;
                generation = FGeneration;
                FWaitChanged = false;
                rebuild = true;
            }
        }
        if (rebuild) {
            watches.Clear();
            // A folder that cannot be watched gives no watch: nothing is
            // reported until the options change.
            watches.Add(directory, InotifyMask(flags, subTree), subTree);
        }
        pollfd fds[2] = {{fd, POLLIN, 0}, {FWakeFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[1].revents & POLLIN) {
            uint64_t count;
            if (::read(FWakeFd, &count, sizeof count) < 0) {
                // Nothing was there after all.
            }
        }
        if (!(fds[0].revents & POLLIN))
            continue;
        bool changed = false;
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            for (ssize_t at = 0; at < n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
                if (e->mask & IN_IGNORED) {
                    watches.Forget(e->wd);
                    continue;
                }
                // New folders below are watched before the change is told,
                // so that what is made in them next is seen.
                if (subTree && (e->mask & IN_ISDIR) && (e->mask & (IN_CREATE | IN_MOVED_TO)) && e->len > 0)
                    if (const std::string* parent = watches.PathOf(e->wd))
                        watches.Add(*parent == "/" ? "/" + std::string(e->name) : *parent + "/" + e->name,
                                    InotifyMask(flags, subTree), true);
                changed |= Reported(*e, flags);
            }
        }
        if (changed && !Terminated()) {
            TspCustomShellChangeNotifier* owner = FOwner;
            Queue([owner, generation] { owner->Deliver(generation); });
        }
    }
    watches.Clear();
    ::close(fd);
}

// ---------------------------------------------------------------------------
// The component

TspCustomShellChangeNotifier::TspCustomShellChangeNotifier(TComponent* AOwner) : TComponent(AOwner) {}

TspCustomShellChangeNotifier::~TspCustomShellChangeNotifier()
{
    // No handler runs once destruction has begun; the worker is stopped and
    // joined, and what it queued is dropped.
    FDestroying = true;
    if (FThread) {
        FThread->Stop();
        FThread->WaitFor();
        TThread::RemoveQueuedEvents(FThread.get());
        FThread.reset();
    }
}

void TspCustomShellChangeNotifier::Deliver(unsigned Generation)
{
    if (FDestroying || Generation != FGeneration.load() || !FOnChange)
        return;
    TThreadMethod handler = FOnChange;  // the handler may replace itself
    handler();
}

void TspCustomShellChangeNotifier::Restart()
{
    const unsigned generation = ++FGeneration;
    if (FThread)
        FThread->SetDirectoryOptions(WatchedPath(FRoot), FWatchSubTree, NotifyOptionFlags(FFilters), generation);
}

void TspCustomShellChangeNotifier::SetNotifyFilters(TNotifyFilters Value)
{
    FFilters = Value;
    Restart();
}

void TspCustomShellChangeNotifier::SetWatchSubTree(bool Value)
{
    FWatchSubTree = Value;
    Restart();
}

void TspCustomShellChangeNotifier::SetRoot(const std::string& Value)
{
    if (SameText(Value, FRoot))
        return;
    FRoot = Value;
    Restart();
}

void TspCustomShellChangeNotifier::SetOnChange(TThreadMethod Value)
{
    FOnChange = std::move(Value);
    if (FThread || !FOnChange || ComponentState().Contains(csDesigning))
        return;
    FThread = std::make_unique<TspShellChangeThread>(this);
    Restart();
    FThread->Start();
}

void TspShellChangeNotifier::DeclarePublished(TPublisher<TspShellChangeNotifier>& P)
{
    using C = TspShellChangeNotifier;
    P.Property("NotifyFilters", &C::NotifyFilters, &C::SetNotifyFilters,
               TNotifyFilters{nfFileNameChange, nfDirNameChange});
    P.Property("Root", &C::Root, &C::SetRoot, "C:\\");
    P.Property("WatchSubTree", &C::WatchSubTree, &C::SetWatchSubTree, true);
}

void RegisterShellNotifierClasses() { RegisterClasses<TspShellChangeNotifier>(); }
