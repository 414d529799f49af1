// The code cache across real processes: the first run keeps the workbench's compiled
// scripts and the engine's own, later runs read them and answer alike; entries that are
// damaged or that no engine of ours wrote are passed over, made again, and change nothing
// a script sees.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "codecache/CodeCache.h"
#include "common/ProcessSupport.h"

#ifdef QY_APP_BINARY
namespace {

namespace fs = std::filesystem;

TEST(CodeCacheRuns, LaterRunsReadTheCacheAndAnswerAlikeWhateverItHolds) {
    fs::path dir = fs::temp_directory_path() / ("qy-code-cache-runs-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::path script = dir.string() + ".js";
    std::ofstream(script) << "function sign(s) { return s + navigator.userAgent.length + typeof document.all; }\n";
    // (The modern target's persona adds what the engine lacks: findLast.)
    auto run = [&](std::string target) {
        std::string expr = target == "es2021" ? "sign('x') + [1, 2].findLast(function (v) { return v; })" : "sign('x')";
        return qy::test::Output("env -u DISPLAY QT_QPA_PLATFORM=none QY_CODE_CACHE=" + dir.string() + " " QY_APP_BINARY
                                " eval --target " + target + " --browser-env " + script.string() + " --expr \"" + expr +
                                "\" 2>&1");
    };
    std::string modern = run("es2021"), old = run("jscript");
    EXPECT_NE(modern.find("-->计算结果：x111undefined2"), std::string::npos) << modern;
    EXPECT_NE(old.find("-->计算结果：x"), std::string::npos) << old;
    // The page objects of each target, the persona, JScript's run-time, the engine's own.
    size_t kept = 0;
    bool engine = false;
    for (const auto& e : fs::directory_iterator(dir)) {
        ++kept;
        engine = engine || e.path().filename().string().find(".selfhosted.") != std::string::npos;
    }
    EXPECT_GE(kept, 5u);
    EXPECT_TRUE(engine);
    EXPECT_EQ(run("es2021"), modern);
    EXPECT_EQ(run("jscript"), old);
    // Every entry replaced by bytes no engine wrote, under a sound header; then every
    // entry cut short.
    for (int round = 0; round < 2; ++round) {
        for (const auto& e : fs::directory_iterator(dir)) {
            std::string bytes = round == 0 ? qy::codecache::EntryBytes(std::string(4096, '\x5a')) : std::string("QYSTENC1\x10");
            std::ofstream(e.path(), std::ios::binary | std::ios::trunc) << bytes;
        }
        EXPECT_EQ(run("es2021"), modern) << round;
        EXPECT_EQ(run("jscript"), old) << round;
        // Made again whole: read by the next run.
        for (const auto& e : fs::directory_iterator(dir)) EXPECT_GT(fs::file_size(e.path()), 4096u + 24) << e.path();
        EXPECT_EQ(run("es2021"), modern) << round;
    }
    // Without a cache: the same answers, nothing kept.
    fs::remove_all(dir);
    std::string none = dir.string();
    dir = "off";
    EXPECT_EQ(run("es2021"), modern);
    EXPECT_EQ(run("jscript"), old);
    EXPECT_FALSE(fs::exists(none));
    fs::remove(script);
}

}  // namespace
#endif
