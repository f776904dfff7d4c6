// Starts a loopback `lldb-server platform` and a fixture debuggee for C++ tests and
// benchmarks, and kills both by pid when the object goes away (also on failure).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace nativescope_testing {

struct HarnessPaths {
    std::string lldbServer;  // lldb-server binary
    std::string pythonPath;  // LLDB's Python package folder
    std::string fixtureDir;  // folder of the fixture debuggees
};

// Paths from the environment (NATIVESCOPE_LLDB_SERVER, NATIVESCOPE_LLDB_PYTHONPATH,
// NATIVESCOPE_FIXTURE_DIR), falling back to the values the build was configured with.
HarnessPaths DefaultHarnessPaths();

class LoopbackPlatform {
public:
    explicit LoopbackPlatform(const HarnessPaths& paths);
    ~LoopbackPlatform();
    LoopbackPlatform(const LoopbackPlatform&) = delete;
    LoopbackPlatform& operator=(const LoopbackPlatform&) = delete;

    bool ok() const { return pid_ > 0 && port_ > 0; }
    int port() const { return port_; }
    std::string connectUrl() const;

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

class Debuggee {
public:
    // Starts `fixtureDir/name args...`; waits for its first stdout line "pid=<n>"
    // when the fixture prints one (up to a few seconds).
    Debuggee(const HarnessPaths& paths, const std::string& name, const std::vector<std::string>& args = {});
    ~Debuggee();
    Debuggee(const Debuggee&) = delete;
    Debuggee& operator=(const Debuggee&) = delete;

    pid_t pid() const { return pid_; }
    bool alive() const;

private:
    pid_t pid_ = -1;
};

// Environment pairs that Debian's LLDB needs, the way a user hands them over.
std::vector<std::pair<std::string, std::string>> LldbEnvironmentPairs(const HarnessPaths& paths);

}  // namespace nativescope_testing
