#include "python_home.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace lldb_debug;

namespace {

// An in-memory environment and file system behind the search's seam.
struct FakeHost {
    std::map<std::string, std::string> env;
    std::set<std::string> dirs;
    std::map<std::string, std::vector<std::string>> listings;
    int setCount = 0;

    PythonHomeSeam Seam() {
        PythonHomeSeam s;
        s.getEnv = [this](const char* n) -> const char* {
            auto it = env.find(n);
            return it == env.end() ? nullptr : it->second.c_str();
        };
        s.setEnv = [this](const char* n, const std::string& v) {
            env[n] = v;
            ++setCount;
        };
        s.isDirectory = [this](const std::string& p) { return dirs.count(p) > 0; };
        s.listDirectory = [this](const std::string& p) { return listings[p]; };
        return s;
    }
};

const std::string kDeveco = "/deveco";
const std::string kDevecoLlvm = "/deveco/sdk/default/openharmony/native/llvm";

TEST(PythonHomeSearch, ExplicitHomeWinsAndNothingIsTouched) {
    FakeHost h;
    h.env["LLDB_PYTHON_HOME"] = "/mine";
    h.env["LLDB_ROOT"] = "/llvm";
    h.dirs = {"/llvm", "/llvm/python3"};
    EXPECT_FALSE(ApplyDefaultPythonHomeFromDeveco(h.Seam()));
    EXPECT_EQ(h.setCount, 0);
}

TEST(PythonHomeSearch, EmptyHomeCountsAsUnset) {
    FakeHost h;
    h.env["LLDB_PYTHON_HOME"] = "";
    h.env["LLDB_ROOT"] = "/llvm";
    h.dirs = {"/llvm", "/llvm/python3"};
    EXPECT_TRUE(ApplyDefaultPythonHomeFromDeveco(h.Seam()));
    EXPECT_EQ(h.env["LLDB_PYTHON_HOME"], "/llvm/python3");
}

TEST(PythonHomeSearch, LldbRootWinsOnlyWithPython3Folder) {
    FakeHost withPython;
    withPython.env = {{"LLDB_ROOT", "/llvm"}, {"DEVECO_STUDIO_HOME", kDeveco}};
    withPython.dirs = {"/llvm", "/llvm/python3", kDevecoLlvm, kDevecoLlvm + "/python3"};
    FakeHost without = withPython;
    without.dirs.erase("/llvm/python3");

    ASSERT_TRUE(ApplyDefaultPythonHomeFromDeveco(withPython.Seam()));
    EXPECT_EQ(withPython.env["LLDB_PYTHON_HOME"], "/llvm/python3");

    ASSERT_TRUE(ApplyDefaultPythonHomeFromDeveco(without.Seam()));
    EXPECT_EQ(without.env["LLDB_PYTHON_HOME"], kDevecoLlvm + "/python3");
}

TEST(PythonHomeSearch, NoUsableCandidateLeavesEnvironmentAlone) {
    FakeHost h;
    h.env = {{"LLDB_ROOT", "/nothing"}, {"DEVECO_STUDIO_HOME", "/none"}};
    EXPECT_FALSE(ApplyDefaultPythonHomeFromDeveco(h.Seam()));
    EXPECT_EQ(h.setCount, 0);
}

TEST(PythonHomeSearch, PythonPathIsFirstVersionedDirectoryInIterationOrder) {
    FakeHost h;
    h.env = {{"LLDB_ROOT", "/llvm"}};
    const std::string lib = "/llvm/bin/python/lib";
    h.dirs = {"/llvm", "/llvm/python3", lib, lib + "/python3.", lib + "/python3.11", lib + "/python3.10"};
    // A plain file named python3.12 and a bare "python3." never count.
    h.listings[lib] = {lib + "/python3.12", lib + "/python3.", lib + "/python3.11", lib + "/python3.10"};
    ASSERT_TRUE(ApplyDefaultPythonHomeFromDeveco(h.Seam()));
    EXPECT_EQ(h.env["PYTHONPATH"], lib + "/python3.11");
}

TEST(PythonHomeSearch, MissingLibFolderLeavesPythonPath) {
    FakeHost h;
    h.env = {{"LLDB_ROOT", "/llvm"}, {"PYTHONPATH", "/keep"}};
    h.dirs = {"/llvm", "/llvm/python3"};
    ASSERT_TRUE(ApplyDefaultPythonHomeFromDeveco(h.Seam()));
    EXPECT_EQ(h.env["PYTHONPATH"], "/keep");
}

}  // namespace
