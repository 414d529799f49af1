// "unpack --split": one file per module of a bundle, the entry first, and nothing written
// when the input is no bundle, the folder cannot take the files, or a file there is
// somebody else's.
#include "cli/BundleSplit.h"
#include "cli/CliTestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/TestSupport.h"

using namespace qy;
namespace fs = std::filesystem;

namespace {

/// A folder of the test's own, removed with what it holds.
class TempDir {
public:
    TempDir() {
        char name[] = "/tmp/qy-split-XXXXXX";
        m_path = mkdtemp(name);
    }
    ~TempDir() {
        chmod(m_path.c_str(), 0700);
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    fs::path Path() const { return m_path; }

private:
    fs::path m_path;
};

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Sample(const std::string& name) {
    return (fs::path(test::SourceDir()) / "tests/transform/samples/bundles" / name).string();
}

}  // namespace

TEST(BundleSplit, WritesTheEntryAndEachModuleWithWhatItLoads) {
    TempDir dir;
    const fs::path out = dir.Path() / "modules";  // made by the command
    test::Outcome r = test::RunCli({"unpack", "--split", out.string(), Sample("cjs.browserify.js")});
    ASSERT_EQ(r.code, cli::kExitOk) << r.err;
    EXPECT_EQ(r.out,
              "entry.js\t入口：模块 2，依赖 1（./fmt）、3（./store）、4（./util）\n"
              "module-1.js\t模块 1，依赖 4（./util）\n"
              "module-3.js\t模块 3，依赖 4（./util）\n"
              "module-4.js\t模块 4，无依赖\n"
              "已写入 4 个文件到 " + out.string() + "（browserify）\n");
    // Each file is its module's own code, formatted, under a comment saying what it is.
    const std::string entry = Read(out / "entry.js");
    EXPECT_EQ(entry.rfind("// 拆分自 cjs.browserify.js：browserify 的入口：模块 2\n// 依赖 1（./fmt）、3（./store）、4（./util）\n"
                          "// 参数：t = require，n = module，r = exports\n", 0), 0u) << entry;
    EXPECT_NE(entry.find("main-module"), std::string::npos);
    EXPECT_EQ(entry.find("util-module"), std::string::npos);
    EXPECT_EQ(entry.find('\r'), std::string::npos);
    const std::string util = Read(out / "module-4.js");
    EXPECT_NE(util.find("r.tag = \"util-module\""), std::string::npos) << util;
    // Run again, the command replaces its own files.
    EXPECT_EQ(test::RunCli({"unpack", "--split", out.string(), Sample("cjs.browserify.js")}).code, cli::kExitOk);
}

TEST(BundleSplit, AnInlineEntryAndPathIdsGetFilesOfTheirOwn) {
    TempDir dir;
    test::Outcome five = test::RunCli({"unpack", "--split", (dir.Path() / "five").string(), Sample("cjs.webpack5.js")});
    ASSERT_EQ(five.code, cli::kExitOk) << five.err;
    const std::string entry = Read(dir.Path() / "five/entry.js");
    EXPECT_EQ(entry.rfind("// 拆分自 cjs.webpack5.js：webpack 5 的入口\n// 依赖 450、701、188\n// 参数：r = require\n", 0), 0u)
        << entry;
    EXPECT_TRUE(fs::exists(dir.Path() / "five/module-188.js"));
    test::Outcome dev = test::RunCli({"unpack", "--split", (dir.Path() / "dev").string(), Sample("mixed.webpack4-dev.js")});
    ASSERT_EQ(dev.code, cli::kExitOk) << dev.err;
    // Paths become plain file names, never folders of their own.
    EXPECT_NE(dev.out.find("module-config.json.js\t模块 ./config.json，无依赖\n"), std::string::npos) << dev.out;
    EXPECT_EQ(cli::ModuleFileName("../../etc/passwd"), "module-.._.._etc_passwd.js");
    EXPECT_EQ(cli::ModuleFileName("./node_modules/a b/index.js"), "module-node_modules_a_b_index.js");
}

TEST(BundleSplit, WritesNothingWhereItCannot) {
    TempDir dir;
    // Not a bundle: said so, status 1, no folder made.
    const fs::path plain = dir.Path() / "plain.js";
    std::ofstream(plain) << "var handlers = {1: function (a) { return a; }};\n";
    test::Outcome none = test::RunCli({"unpack", "--split", (dir.Path() / "none").string(), plain.string()});
    EXPECT_EQ(none.code, cli::kExitEngineError);
    EXPECT_NE(none.err.find("不是 webpack 或 browserify 打包的文件"), std::string::npos) << none.err;
    EXPECT_FALSE(fs::exists(dir.Path() / "none"));
    // A file where the folder should be.
    test::Outcome file = test::RunCli({"unpack", "--split", plain.string(), Sample("cjs.webpack4.js")});
    EXPECT_EQ(file.code, cli::kExitEngineError);
    EXPECT_NE(file.err.find("不是目录"), std::string::npos) << file.err;
    // A file of the user's own that has a module's name stays as it was.
    const fs::path mine = dir.Path() / "mine";
    fs::create_directories(mine);
    std::ofstream(mine / "module-0.js") << "my notes\n";
    test::Outcome kept = test::RunCli({"unpack", "--split", mine.string(), Sample("cjs.webpack4.js")});
    EXPECT_EQ(kept.code, cli::kExitEngineError);
    EXPECT_NE(kept.err.find("module-0.js"), std::string::npos) << kept.err;
    EXPECT_EQ(Read(mine / "module-0.js"), "my notes\n");
    EXPECT_FALSE(fs::exists(mine / "entry.js"));
    // A folder that cannot be written (unless the tests run as root, who may write anywhere).
    const fs::path locked = dir.Path() / "locked";
    fs::create_directories(locked);
    chmod(locked.c_str(), 0500);
    if (geteuid() != 0) {
        test::Outcome denied = test::RunCli({"unpack", "--split", (locked / "sub").string(), Sample("cjs.webpack4.js")});
        EXPECT_EQ(denied.code, cli::kExitEngineError);
        EXPECT_NE(denied.err.find("无法创建目录"), std::string::npos) << denied.err;
    }
    chmod(locked.c_str(), 0700);
    // Usage: the folder and the file are both needed.
    EXPECT_EQ(test::RunCli({"unpack", "--split", mine.string()}).code, cli::kExitUsage);
}
