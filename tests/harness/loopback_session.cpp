#include "loopback_session.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace nativescope_testing {
namespace {

std::string EnvOr(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return (v != nullptr && v[0] != '\0') ? v : fallback;
}

int FreeLoopbackPort() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return 0;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
        port = ntohs(addr.sin_port);
    }
    close(fd);
    return port;
}

bool AcceptsConnections(int port) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return false;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    return ok;
}

pid_t Spawn(const std::vector<std::string>& argv, int stdoutFd) {
    pid_t pid = fork();
    if (pid != 0) return pid;
    setpgid(0, 0);
    if (stdoutFd >= 0) dup2(stdoutFd, STDOUT_FILENO);
    int devnull = open("/dev/null", O_RDONLY);
    if (devnull >= 0) dup2(devnull, STDIN_FILENO);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
}

void KillAndReap(pid_t pid) {
    if (pid <= 0) return;
    kill(-pid, SIGKILL);  // the whole group: lldb-server forks gdbservers
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

}  // namespace

HarnessPaths DefaultHarnessPaths() {
    HarnessPaths p;
    p.lldbServer = EnvOr("NATIVESCOPE_LLDB_SERVER", NATIVESCOPE_DEFAULT_LLDB_SERVER);
    p.pythonPath = EnvOr("NATIVESCOPE_LLDB_PYTHONPATH", NATIVESCOPE_DEFAULT_LLDB_PYTHONPATH);
    p.fixtureDir = EnvOr("NATIVESCOPE_FIXTURE_DIR", NATIVESCOPE_DEFAULT_FIXTURE_DIR);
    return p;
}

std::vector<std::pair<std::string, std::string>> LldbEnvironmentPairs(const HarnessPaths& paths) {
    return {{"LLDB_DEBUGSERVER_PATH", paths.lldbServer}, {"PYTHONPATH", paths.pythonPath}};
}

LoopbackPlatform::LoopbackPlatform(const HarnessPaths& paths) {
    for (int attempt = 0; attempt < 5 && !ok(); ++attempt) {
        const int port = FreeLoopbackPort();
        if (port == 0) continue;
        const pid_t pid = Spawn({paths.lldbServer, "platform", "--server", "--listen",
                                 "127.0.0.1:" + std::to_string(port)},
                                -1);
        if (pid <= 0) continue;
        for (int i = 0; i < 100; ++i) {
            if (AcceptsConnections(port)) {
                pid_ = pid;
                port_ = port;
                break;
            }
            if (waitpid(pid, nullptr, WNOHANG) == pid) break;  // lost the port race
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (!ok()) KillAndReap(pid);
    }
}

LoopbackPlatform::~LoopbackPlatform() { KillAndReap(pid_); }

std::string LoopbackPlatform::connectUrl() const { return "connect://127.0.0.1:" + std::to_string(port_); }

Debuggee::Debuggee(const HarnessPaths& paths, const std::string& name, const std::vector<std::string>& args) {
    int fds[2];
    if (pipe(fds) != 0) return;
    std::vector<std::string> argv{paths.fixtureDir + "/" + name};
    argv.insert(argv.end(), args.begin(), args.end());
    pid_ = Spawn(argv, fds[1]);
    close(fds[1]);
    // Wait for the fixture's first line so it is past start-up when we attach.
    fcntl(fds[0], F_SETFL, O_NONBLOCK);
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        char buf[256];
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n > 0) {
            line.append(buf, static_cast<size_t>(n));
        } else if (n == 0) {
            break;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    // Keep the pipe's read end open in a detached drain so the fixture never blocks.
    std::thread([fd = fds[0]] {
        fcntl(fd, F_SETFL, 0);
        char buf[4096];
        while (read(fd, buf, sizeof buf) > 0) {
        }
        close(fd);
    }).detach();
}

Debuggee::~Debuggee() { KillAndReap(pid_); }

bool Debuggee::alive() const { return pid_ > 0 && kill(pid_, 0) == 0; }

}  // namespace nativescope_testing
