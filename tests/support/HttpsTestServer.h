#pragma once
// A local HTTPS server for tests: openssl s_server in its -HTTP mode serves
// files of a folder, each holding a whole prepared HTTP response (status
// line, headers, body). The certificate is made at start for 127.0.0.1 and
// given to the client as the one to trust.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

extern char** environ;

namespace tarnello::test {

class HttpsTestServer {
public:
    // AFolder: an empty folder of the test's own.
    explicit HttpsTestServer(const std::string& AFolder) : folder_(AFolder)
    {
        std::filesystem::create_directories(folder_ + "/www");
        const std::string cmd = "cd '" + folder_ +
                                "' && openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes "
                                "-keyout key.pem -out cert.pem -days 2 -subj /CN=localhost "
                                "-addext subjectAltName=IP:127.0.0.1,DNS:localhost >req.log 2>&1";
        ok_ = std::system(cmd.c_str()) == 0;
        if (!ok_)
            return;
        port_ = FreePort();
        int out[2];
        if (pipe(out) != 0) {
            ok_ = false;
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, out[1], 2);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addchdir_np(&actions, (folder_ + "/www").c_str());
        const std::string accept = "127.0.0.1:" + std::to_string(port_);
        const std::string cert = folder_ + "/cert.pem", key = folder_ + "/key.pem";
        const char* argv[] = {"openssl", "s_server", "-HTTP", "-accept", accept.c_str(), "-cert",
                              cert.c_str(), "-key", key.c_str(), nullptr};
        ok_ = posix_spawnp(&pid_, "openssl", &actions, nullptr, const_cast<char**>(argv), environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        out_ = out[0];
        ok_ = ok_ && WaitListening();
    }
    ~HttpsTestServer()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
        if (out_ >= 0)
            close(out_);
    }
    HttpsTestServer(const HttpsTestServer&) = delete;
    HttpsTestServer& operator=(const HttpsTestServer&) = delete;

    bool Ok() const { return ok_; }
    std::string CAFile() const { return folder_ + "/cert.pem"; }
    std::string Url(const std::string& APath) const
    {
        return "https://127.0.0.1:" + std::to_string(port_) + "/" + APath;
    }
    // A whole response for APath.
    void Serve(const std::string& APath, const std::string& AResponse) const
    {
        std::ofstream(folder_ + "/www/" + APath, std::ios::binary) << AResponse;
    }
    void ServePage(const std::string& APath, const std::string& ABody) const
    {
        Serve(APath, "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(ABody.size()) +
                         "\r\n\r\n" + ABody);
    }
    void ServeRedirect(const std::string& APath, const std::string& ATarget) const
    {
        Serve(APath, "HTTP/1.0 302 Found\r\nLocation: " + ATarget + "\r\nContent-Length: 0\r\n\r\n");
    }

private:
    static int FreePort()
    {
        int s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
        close(s);
        return ntohs(a.sin_port);
    }
    // s_server says "ACCEPT" once it listens.
    bool WaitListening()
    {
        std::string seen;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{out_, POLLIN, 0};
            if (poll(&p, 1, 500) > 0) {
                char buf[256];
                const ssize_t n = read(out_, buf, sizeof buf);
                if (n <= 0)
                    return false;
                seen.append(buf, static_cast<std::size_t>(n));
                if (seen.find("ACCEPT") != std::string::npos)
                    return true;
            }
        }
        return false;
    }

    std::string folder_;
    bool ok_ = false;
    int port_ = 0;
    pid_t pid_ = -1;
    int out_ = -1;
};

}  // namespace tarnello::test
