#include "platform/shell/ShellOpen.h"

#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>


namespace {

TShellOpenHandler& Handler()
{
    static TShellOpenHandler handler;
    return handler;
}

bool StartsWithNoCase(const std::string& s, const char* prefix)
{
    const std::string p(prefix);
    return s.size() > p.size() && SameText(s.substr(0, p.size()), p);
}

// xdg-open runs detached: a double fork keeps no zombie behind and does not
// wait for the mail program or browser to end. A pipe closed on exec tells
// whether the program started: it reaches end-of-file when exec succeeded and
// carries the error number when it failed.
bool RunXdgOpen(const std::string& Target)
{
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return false;
    const pid_t child = fork();
    if (child < 0) {
        close(report[0]);
        close(report[1]);
        return false;
    }
    if (child == 0) {
        close(report[0]);
        if (fork() != 0)
            _exit(0);
        char arg0[] = "xdg-open";
        std::string target = Target;
        char* argv[] = {arg0, target.data(), nullptr};
        execvp("xdg-open", argv);
        const int error = errno;
        while (write(report[1], &error, sizeof error) < 0 && errno == EINTR) {
        }
        _exit(127);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    while ((got = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    close(report[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && got == 0;
}

}  // namespace

bool ShellOpenAllowed(const std::string& Target)
{
    if (Target.empty() || Target.find('\0') != std::string::npos || Target[0] == '-')
        return false;
    if (StartsWithNoCase(Target, "http://") || StartsWithNoCase(Target, "https://") ||
        StartsWithNoCase(Target, "mailto:"))
        return Target.find_first_of("\r\n") == std::string::npos;
    return Target[0] == '/' && DirectoryExists(Target);
}

bool ShellOpen(const std::string& Target)
{
    if (!ShellOpenAllowed(Target))
        return false;
    if (Handler())
        return Handler()(Target);
    return RunXdgOpen(Target);
}

void SetShellOpenHandler(TShellOpenHandler Handler_) { Handler() = std::move(Handler_); }
