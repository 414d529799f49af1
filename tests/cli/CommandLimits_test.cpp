// What the command line refuses or cuts short instead of hanging or crashing: things
// that are not script files, files past the size limit (judged before reading), nesting
// too deep to format, and evaluations past their time limit.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "cli/CliTestSupport.h"
#include "cli/CommandLine.h"
#include "script/ScriptTarget.h"

using namespace qy;

namespace {

using test::Outcome;
using test::RunCli;

/// A file of the test's own, `bytes` long or (sparse) `size` long, removed afterwards.
class TempFile {
public:
    explicit TempFile(const std::string& bytes, off_t size = -1) {
        char name[] = "/tmp/qy-cli-limits-XXXXXX";
        int fd = mkstemp(name);
        m_path = name;
        if (fd < 0) return;
        if (!bytes.empty() && write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) m_path += "!";
        if (size >= 0 && ftruncate(fd, size) != 0) m_path += "!";
        close(fd);
    }
    ~TempFile() { std::remove(m_path.c_str()); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

/// Sets the size limit's variable for one test.
class LimitMiB {
public:
    explicit LimitMiB(const char* value) { setenv("QINGYOU_MAX_FILE_MIB", value, 1); }
    ~LimitMiB() { unsetenv("QINGYOU_MAX_FILE_MIB"); }
};

bool Has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(CommandLimits, WhatIsNotAScriptFileIsRefusedBeforeReading) {
    // A folder: a Chinese message and the usage status, for every command taking a file.
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"format", "/tmp"}, {"check", "/tmp"}, {"eval", "/tmp", "--expr", "1"}}) {
        Outcome r = RunCli(args);
        EXPECT_EQ(r.code, cli::kExitUsage) << args[0];
        EXPECT_TRUE(Has(r.err, "“/tmp”不是文件")) << r.err;
        EXPECT_EQ(r.out, "");
    }
    // A 2 GB file (sparse: it takes no room) is past the default 256 MiB.
    TempFile huge("", off_t(2) * 1024 * 1024 * 1024);
    Outcome r = RunCli({"format", huge.Path()});
    EXPECT_EQ(r.code, cli::kExitUsage);
    EXPECT_TRUE(Has(r.err, "超过 256 MiB")) << r.err;
    // A device that never ends is read only up to the limit.
    {
        LimitMiB limit("1");
        r = RunCli({"minify", "/dev/zero"});
        EXPECT_EQ(r.code, cli::kExitUsage);
        EXPECT_TRUE(Has(r.err, "超过 1 MiB")) << r.err;
        TempFile small(std::string(1000, ' ') + "var a = 1;");
        EXPECT_EQ(RunCli({"format", small.Path()}).code, cli::kExitOk);
        TempFile over(std::string(1024 * 1024 + 1, ' '));
        EXPECT_EQ(RunCli({"format", over.Path()}).code, cli::kExitUsage);
    }
#ifdef QY_APP_BINARY
    // The real program ends with its status, not an abort.
    int status = std::system((std::string(QY_APP_BINARY) + " format /tmp 2>/dev/null").c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), cli::kExitUsage);
#endif
}

TEST(CommandLimits, NestingTooDeepToFormatFailsAtOnce) {
    // Each level indents its lines further: formatted, 100,000 nested blocks would take
    // gigabytes.
    const int depth = 100000;
    TempFile deep(std::string(depth, '{') + std::string(depth, '}'));
    Outcome r = RunCli({"format", deep.Path()});
    EXPECT_EQ(r.code, cli::kExitEngineError);
    EXPECT_TRUE(Has(r.err, "嵌套过深")) << r.err;
    EXPECT_TRUE(r.out.empty());
    // Deep but reasonable nesting still formats.
    TempFile fine("var a = " + std::string(200, '[') + std::string(200, ']') + ";" + std::string(200, '{') +
                  std::string(200, '}'));
    r = RunCli({"format", fine.Path()});
    EXPECT_EQ(r.code, cli::kExitOk) << r.err;
}

TEST(CommandLimits, EvalEndsAtItsTimeLimit) {
    TempFile lib("function spin(){ for(;;){} } function add(a,b){ return a+b; }");
    Outcome r = RunCli({"eval", "--timeout", "1", lib.Path(), "--expr", "spin()", "--expr", "add(1,2)"});
    EXPECT_EQ(r.code, cli::kExitEngineError);
    EXPECT_TRUE(Has(r.err, "已超时")) << r.err;
    EXPECT_TRUE(Has(r.out, "脚本运行超时")) << r.out;
    // The limit covers the whole run: the expression after the one cut short does not run.
    EXPECT_FALSE(Has(r.out, "计算结果：3")) << r.out;
    // A load that never ends is cut short too.
    TempFile endless("for(;;){}");
    r = RunCli({"eval", "--timeout", "1", endless.Path(), "--expr", "1"});
    EXPECT_EQ(r.code, cli::kExitEngineError);
    EXPECT_TRUE(Has(r.err, "已超时")) << r.err;
    // Within the limit nothing changes.
    r = RunCli({"eval", "--timeout", "30", lib.Path(), "--expr", "add(1,2)"});
    EXPECT_EQ(r.code, cli::kExitOk);
    EXPECT_TRUE(Has(r.out, "计算结果：3")) << r.out;
    EXPECT_EQ(r.err, "");
    for (const char* bad : {"0", "-1", "abc", "1e99"}) {
        r = RunCli({"eval", "--timeout", bad, lib.Path(), "--expr", "1"});
        EXPECT_EQ(r.code, cli::kExitUsage) << bad;
    }
}
