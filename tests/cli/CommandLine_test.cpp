#include "cli/CliTestSupport.h"
#include "cli/CommandLine.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "common/ProcessSupport.h"
#include "script/ScriptTarget.h"

using namespace qy;

namespace {

/// A script file of the test's own, removed afterwards.
class ScriptFile {
public:
    explicit ScriptFile(const std::string& bytes) {
        char name[] = "/tmp/qy-cli-XXXXXX";
        int fd = mkstemp(name);
        if (fd >= 0) close(fd);
        m_path = name;
        std::ofstream(m_path, std::ios::binary) << bytes;
    }
    ~ScriptFile() { std::remove(m_path.c_str()); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

using test::Outcome;
using test::RunCli;

}  // namespace

TEST(CommandLine, EvalPrintsTheLogLinesOfTheLoadAndEachExpression) {
    // Files are read as the open dialog reads them: this one is UTF-8, the other GBK.
    ScriptFile lib("function add(a,b){return a+b}\nfunction who(){return '中文'}\n");
    ScriptFile more("var half = 0.5; function obj(){return {}} function gbk(){return '\xd6\xd0\xce\xc4'}");
    Outcome r = RunCli({"eval", lib.Path(), more.Path(), "--expr", "add(1,2)", "--expr", "who()", "--expr",
                        "half", "--expr", "obj()", "--expr", "1==1", "--expr", "gbk()"});
    EXPECT_EQ(r.code, cli::kExitOk) << r.err;
    EXPECT_EQ(r.out,
              "-->代码加载成功\n"
              "-->计算：add(1,2)\n-->返回类型：数值型\n-->计算结果：3\n"
              "-->计算：who()\n-->返回类型：文本型\n-->计算结果：中文\n"
              "-->计算：half\n-->返回类型：数值型\n-->计算结果：0.5\n"
              "-->计算：obj()\n-->返回类型：对象型\n"
              "-->计算：1==1\n-->返回类型：逻辑型\n-->计算结果：真\n"
              "-->计算：gbk()\n-->返回类型：文本型\n-->计算结果：中文\n");
    EXPECT_EQ(r.err, "");
}

TEST(CommandLine, EngineErrorsPrintTheFourLinesAndExitOne) {
    ScriptFile bad("var a = 1;\nvar b = (2;\n");
    Outcome r = RunCli({"eval", bad.Path(), "--expr", "a"});
    EXPECT_EQ(r.code, cli::kExitEngineError);
    // The refused script defines nothing, so the expression fails too, as in the window.
    EXPECT_EQ(r.out,
              "-->发生错误：错误号=-2146827282\n-->错误描述：缺少 ')'\n-->错误代码：var b = (2;\n"
              "-->错误位置：2行10字符处\n"
              "-->计算：a\n"
              "-->发生错误：错误号=-2146823279\n-->错误描述：'a' 未定义\n-->错误代码：\n-->错误位置：1行0字符处\n"
              "-->返回类型：空\n-->该类型结果此版本不支持\n");
    ScriptFile good("var x = 1;");
    r = RunCli({"eval", good.Path(), "--expr", "nothing + 1"});
    EXPECT_EQ(r.code, cli::kExitEngineError);
    EXPECT_NE(r.out.find("-->错误描述：'nothing' 未定义\n"), std::string::npos) << r.out;
}

TEST(CommandLine, TheTargetDecidesTheLanguage) {
    ScriptFile modern("const k = [1, 2, 3].map(x => x * 2);");
    Outcome es = RunCli({"eval", "--target", "es2021", modern.Path(), "--expr", "k.join()"});
    EXPECT_EQ(es.code, cli::kExitOk);
    EXPECT_EQ(es.out, "-->代码加载成功\n-->计算：k.join()\n-->返回类型：文本型\n-->计算结果：2,4,6\n");
    Outcome js = RunCli({"eval", "--target", "jscript", modern.Path(), "--expr", "1"});
    EXPECT_EQ(js.code, cli::kExitEngineError);
    EXPECT_EQ(js.out.rfind("-->发生错误：", 0), 0u) << js.out;
}

TEST(CommandLine, BadUsageExitsTwoWithAChineseMessage) {
    ScriptFile lib("var x = 1;");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"eval"},
             {"eval", lib.Path()},
             {"eval", "--expr", "1"},
             {"eval", lib.Path(), "--expr"},
             {"eval", "--target", "vbscript", lib.Path(), "--expr", "1"},
             {"eval", "/nonexistent/file.js", "--expr", "1"},
             {"eval", "--bogus", lib.Path(), "--expr", "1"},
             {"frobnicate"}}) {
        Outcome r = RunCli(args);
        EXPECT_EQ(r.code, cli::kExitUsage) << args.back();
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("qingyou-js --help"), std::string::npos) << r.err;
    }
    Outcome help = RunCli({"--help"});
    EXPECT_EQ(help.code, cli::kExitOk);
    EXPECT_NE(help.out.find("eval [--target jscript|es2021]"), std::string::npos);
    EXPECT_TRUE(cli::IsCommandLine("eval"));
    EXPECT_TRUE(cli::IsCommandLine("--help"));
    EXPECT_FALSE(cli::IsCommandLine("-style"));
}

#ifdef QY_APP_BINARY
// The real program: no display is needed, and the exit status reaches the shell.
TEST(CommandLine, TheProgramRunsHeadlessWithItsExitStatus) {
    ScriptFile lib("function add(a,b){return a+b}");
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=none " QY_APP_BINARY " eval " +
                          lib.Path() + " --expr 'add(2,3)'";
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    ASSERT_NE(p, nullptr);
    char buf[256];
    while (fgets(buf, sizeof buf, p)) out += buf;
    int status = pclose(p);
    EXPECT_EQ(out, "-->代码加载成功\n-->计算：add(2,3)\n-->返回类型：数值型\n-->计算结果：5\n");
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    status = std::system((command + " --expr 'x.y' >/dev/null").c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    status = std::system((std::string(QY_APP_BINARY) + " eval 2>/dev/null").c_str());
    EXPECT_EQ(WEXITSTATUS(status), 2);
}
#endif

TEST(CommandLine, TransformsPrintTheirTextAsUtf8WithLineFeeds) {
    ScriptFile minified("var a={b:1};function f(x){if(x){return '中文'}return 2}");
    Outcome f = RunCli({"format", minified.Path()});
    EXPECT_EQ(f.code, cli::kExitOk) << f.err;
    EXPECT_EQ(f.out.find('\r'), std::string::npos);
    EXPECT_NE(f.out.find("function f(x) {\n"), std::string::npos) << f.out;
    EXPECT_NE(f.out.find("'中文'"), std::string::npos);
    ScriptFile spaced("function  add ( a , b )\n{\n  return a + b ;   // sum\n}\n");
    Outcome m = RunCli({"minify", spaced.Path()});
    EXPECT_EQ(m.code, cli::kExitOk);
    EXPECT_NE(m.out.find("function add(a,b)"), std::string::npos) << m.out;
    ScriptFile packed("eval(function(p,a,c,k,e,d){return p}('var x=1;',0,0,'',0,{}))");
    Outcome u = RunCli({"unpack", packed.Path()});
    EXPECT_EQ(u.code, cli::kExitOk);
    EXPECT_EQ(u.out, "var x = 1;\n");  // unpacked, then formatted
    EXPECT_EQ(RunCli({"format"}).code, cli::kExitUsage);
    EXPECT_EQ(RunCli({"format", "/nonexistent.js"}).code, cli::kExitUsage);
}

TEST(CommandLine, DecodePrintsWhatTheDecoderWindowShows) {
    EXPECT_EQ(RunCli({"decode", "usc", "\\u4e2d\\u6587"}).out, "中文\n");
    // UTF-8 decoding reads the bytes the shell passes.
    EXPECT_EQ(RunCli({"decode", "utf8", "\xE4\xB8\xAD\xE6\x96\x87"}).out, "中文\n");
    // URL and Base64 give bytes, shown as the window shows them (GBK characters).
    EXPECT_EQ(RunCli({"decode", "url", "a%20b"}).out, "a b\n");
    EXPECT_EQ(RunCli({"decode", "base64", "YWJj"}).out, "abc\n");
    Outcome bad = RunCli({"decode", "rot13", "x"});
    EXPECT_EQ(bad.code, cli::kExitUsage);
    EXPECT_NE(bad.err.find("rot13"), std::string::npos);
}

TEST(CommandLine, CheckListsWhatJScriptWouldRefuseAndExitsOneForAny) {
    ScriptFile modern("var a = 1;\nlet b = 2;\nvar o = {x: 1,};\nvar k = Object.keys(o);\nvar s = JSON.stringify(o);\n");
    Outcome r = RunCli({"check", modern.Path()});
    EXPECT_EQ(r.code, cli::kExitEngineError);
    EXPECT_EQ(r.out,
              "第 2 行第 4 列：缺少 ';'（1004）\n"
              "第 3 行第 14 列：缺少标识符、字符串或数字（1028）\n"
              "第 4 行第 15 列：Object.keys 在 JScript 5.8 中不存在（对象不支持此属性或方法）\n"
              "第 5 行第 8 列：'JSON' 在 JScript 5.8 中未定义\n");
    // Names inside strings, comments and regular expressions are not uses.
    ScriptFile clean("var s = 'JSON.parse'; // Object.keys\nvar r = /JSON/g; function f(a){ return a.join(','); }\n");
    Outcome ok = RunCli({"check", clean.Path()});
    EXPECT_EQ(ok.code, cli::kExitOk);
    EXPECT_EQ(ok.out, "未发现 JScript 5.8 不支持的语法或内置对象\n");
}

#ifdef QY_APP_BINARY
using qy::test::Output;

// A command's start-up loads no Qt library and no plugin (the dynamic loader lists every
// object it maps or opens), and anything that is not a command goes, arguments and all,
// to the window program beside qingyou-js.
TEST(CommandLine, CommandsLoadNoQtAndTheWindowIsStartedBesideTheProgram) {
    const std::string app = QY_APP_BINARY;
    ScriptFile lib("function add(a,b){return a+b}");
    std::string args = " eval --browser-env " + lib.Path() + " --expr 'add(2,3)'";
    std::string loaded = Output("LD_DEBUG=files " + app + args + " 2>&1 >/dev/null");
    EXPECT_NE(loaded.find("libmozjs-102"), std::string::npos) << loaded;  // the listing is there
    EXPECT_EQ(loaded.find("libQt6"), std::string::npos) << loaded;
    EXPECT_EQ(loaded.find("plugins"), std::string::npos) << loaded;

    char folder[] = "/tmp/qy-launch-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string dir = folder, copy = dir + "/qingyou-js", window = dir + "/qingyou-js-gui";
    ASSERT_EQ(std::system(("cp '" + app + "' '" + copy + "'").c_str()), 0);
    // No window program beside it: a Chinese reason naming it, and the shell's code.
    int status = std::system((copy + " 2>" + dir + "/err").c_str());
    EXPECT_EQ(WEXITSTATUS(status), 127);
    std::string err = Output("cat " + dir + "/err");
    EXPECT_NE(err.find("无法启动窗口程序“" + window + "”：没有这个文件"), std::string::npos) << err;
    // With one, it gets every argument unchanged; a command is still run by qingyou-js.
    std::ofstream(window) << "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done\n";
    ASSERT_EQ(chmod(window.c_str(), 0755), 0);
    EXPECT_EQ(Output(copy + " " + lib.Path() + " '两 个' -style 2>&1"), "[" + lib.Path() + "]\n[两 个]\n[-style]\n");
    EXPECT_EQ(Output(copy + " -style fusion 2>&1"), "[-style]\n[fusion]\n");
    // A mistyped command is refused; the window does not open for it.
    status = std::system((copy + " fromat x.js 2>" + dir + "/err").c_str());
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_NE(Output("cat " + dir + "/err").find("未知的命令“fromat”"), std::string::npos);
    EXPECT_EQ(Output(copy + " </dev/null 2>&1"), "");
    EXPECT_NE(Output(copy + " --help").find("用法: qingyou-js 命令"), std::string::npos);
    std::system(("rm -rf '" + dir + "'").c_str());
}
// A page that draws opens the canvas library then (Qt's GUI module with it) and draws
// what the window program draws; without the library its canvases stay inert, said once.
TEST(CommandLine, CanvasesDrawWithTheLibraryOpenedWhenAPageFirstDraws) {
    const std::string app = QY_APP_BINARY;
    ScriptFile drawing("var c = document.createElement('canvas'); c.width = 120; c.height = 30; var g = c.getContext('2d');"
                       "g.textBaseline = 'top'; g.font = '14px Arial'; g.fillStyle = '#f60'; g.fillRect(60, 1, 40, 20);"
                       "g.fillRect(0, 24, 10, 6); g.fillStyle = '#069'; g.fillText('Cwm fjordbank \u4e2d\u6587', 2, 5);"
                       "var url = c.toDataURL(), px = g.getImageData(5, 27, 1, 1).data.join();");
    std::string args = " eval --target es2021 --browser-env " + drawing.Path() + " --expr url --expr px";
    std::string loaded = Output("env -u DISPLAY -u WAYLAND_DISPLAY LD_DEBUG=files " + app + args + " 2>&1 >/dev/null");
    EXPECT_NE(loaded.find("qingyou-canvas.so"), std::string::npos);
    EXPECT_NE(loaded.find("libQt6Gui"), std::string::npos);
    std::string evaluated = Output("env -u DISPLAY -u WAYLAND_DISPLAY " + app + args + " 2>&1");
    EXPECT_NE(evaluated.find("-->计算结果：255,102,0,255"), std::string::npos) << evaluated;
    // The page command runs in the window program: the same data address.
    std::ofstream(drawing.Path() + ".html") << "<html><body><script src=\"" << drawing.Path() << "\"></script></body></html>";
    std::string page = Output(app + " page --target es2021 " + drawing.Path() + ".html --expr url 2>&1");
    std::remove((drawing.Path() + ".html").c_str());
    size_t at = evaluated.find("-->计算结果：data:image/png;base64,");
    ASSERT_NE(at, std::string::npos) << evaluated;
    std::string url = evaluated.substr(at, evaluated.find('\n', at) - at);
    EXPECT_GT(url.size(), 500u);
    EXPECT_NE(page.find(url + "\n"), std::string::npos) << page;
    // Without the library beside the program: a reason, and inert canvases.
    char folder[] = "/tmp/qy-canvasless-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string dir = folder;
    ASSERT_EQ(std::system(("cp '" + app + "' '" + dir + "/qingyou-js'").c_str()), 0);
    std::string inert = Output(dir + "/qingyou-js" + args + " 2>&1");
    EXPECT_NE(inert.find("无法加载画布库"), std::string::npos) << inert;
    EXPECT_NE(inert.find("-->计算结果：0,0,0,0"), std::string::npos) << inert;
    std::system(("rm -rf '" + dir + "'").c_str());
}
#endif
