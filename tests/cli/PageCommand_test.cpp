// The page command: a whole page loaded (its scripts in order, its cookies, a seed that
// repeats), expressions evaluated against it, and its usage errors; through the program
// as a user starts it, canvases drawn.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/CliTestSupport.h"
#include "cli/CommandLine.h"
#include "common/ProcessSupport.h"
#include "script/ScriptTarget.h"

using namespace qy;

namespace {

using test::Outcome;
using test::RunCli;

/// A folder with a page and its local script, removed afterwards.
class PageFolder {
public:
    PageFolder() {
        m_dir = std::filesystem::temp_directory_path() / ("qy-page-cli-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_dir);
        std::ofstream(m_dir / "page.html")
            << "<!DOCTYPE html><html><head><meta name=\"sign-seed\" content=\"k9\"><title>页</title>"
               "<script>var steps = [document.querySelector('meta[name=sign-seed]').content];</script>"
               "<script src=\"js/app.js\"></script></head><body><div id=\"root\"></div>"
               "<script>steps.push(document.getElementById('root') ? 'root' : 'none');"
               "var rnd = Math.random(); addEventListener('load', function () { steps.push('load'); });</script></body></html>";
        std::filesystem::create_directories(m_dir / "js");
        std::ofstream(m_dir / "js" / "app.js") << "steps.push('app');";
    }
    ~PageFolder() { std::filesystem::remove_all(m_dir); }
    std::string Page() const { return (m_dir / "page.html").string(); }

private:
    std::filesystem::path m_dir;
};

}  // namespace

TEST(PageCommand, LoadsThePageThenEvaluates) {
    PageFolder folder;
    Outcome r = RunCli({"page", "--address", "https://www.example.com/p/page.html", "--cookie", "a=1; b=2", folder.Page(),
                        "--expr", "steps.join()", "--expr", "document.title + ' ' + location.host + ' ' + document.cookie"});
    EXPECT_EQ(r.code, cli::kExitOk) << r.err;
    EXPECT_EQ(r.out,
              "-->网页加载完成：https://www.example.com/p/page.html\n"
              "-->返回类型：文本型\n-->计算结果：k9,app,root,load\n"
              "-->返回类型：文本型\n-->计算结果：页 www.example.com a=1; b=2\n");
}

TEST(PageCommand, TheSameSeedGivesTheSameRun) {
    PageFolder folder;
    auto run = [&](const char* seed) {
        return RunCli({"page", "--target", "es2021", "--seed", seed, folder.Page(), "--expr",
                       "[rnd, Date.now(), crypto.randomUUID()].join()"}).out;
    };
    EXPECT_EQ(run("9"), run("9"));
    EXPECT_NE(run("9"), run("10"));
}

TEST(PageCommand, UsageErrors) {
    PageFolder folder;
    EXPECT_EQ(RunCli({"page", "--expr", "1"}).code, cli::kExitUsage);
    EXPECT_EQ(RunCli({"page", folder.Page()}).code, cli::kExitUsage);
    EXPECT_EQ(RunCli({"page", "--seed", "-3", folder.Page(), "--expr", "1"}).code, cli::kExitUsage);
    EXPECT_EQ(RunCli({"page", "--profile", "/nonexistent.json", folder.Page(), "--expr", "1"}).code, cli::kExitUsage);
    EXPECT_EQ(RunCli({"page", "/nonexistent.html", "--expr", "1"}).code, cli::kExitUsage);
}

#ifdef QY_APP_BINARY
TEST(PageCommand, TheProgramDrawsThePagesCanvases) {
    PageFolder folder;
    std::string out = test::Output("env -u DISPLAY -u WAYLAND_DISPLAY " QY_APP_BINARY " page " + folder.Page() +
                                   " --expr \"var c = document.createElement('canvas'), g = c.getContext('2d');"
                                   " g.fillStyle = '#0f0'; g.fillRect(0, 0, 5, 5); g.getImageData(1, 1, 1, 1).data[1]\" 2>&1");
    EXPECT_NE(out.find("-->计算结果：255"), std::string::npos) << out;
}
#endif
