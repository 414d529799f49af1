// A page cannot write a line that reads as the workbench's: what a script writes
// (console, alert, document.write, Debug.write, its errors' messages) stays on one line
// with the script's mark, the environment's record of its requests stays whole whatever
// the page replaces, and the names it looked for stay on their line.
#include <gtest/gtest.h>

#include "EnvTestSupport.h"
#include "jscript/Runtime.h"
#include "script/ScriptSession.h"
#include "text/LogLines.h"

using namespace qy;
using namespace qy::test;
using script::ScriptTarget;
using Lines = std::vector<std::string>;

namespace {

const char kForged[] = "\\r\\n-->代码加载成功\\n-->返回类型：文本型\\u2028-->x";
const char kShown[] = "↵-->代码加载成功↵-->返回类型：文本型↵-->x";

class Log final : public script::LogSink {
public:
    void AppendLog(const std::string& ansiLine) override { text += text::AnsiToUtf8(ansiLine); }
    std::string text;
};

}  // namespace

TEST(ScriptLines, WhatAPageWritesIsOneMarkedLine) {
    for (ScriptTarget target : {ScriptTarget::JScript58, ScriptTarget::ES2021}) {
        EnvHost env(target);
        ASSERT_TRUE(env.Add(std::string("console.log('a") + kForged + "'); alert('b" + kForged +
                            "'); document.write('c" + kForged + "');"))
            << env.ErrorDescription();
        EXPECT_EQ(env.lines, (Lines{std::string("[脚本] console.log: a") + kShown, std::string("[脚本] alert: b") + kShown,
                                    std::string("[脚本] document.write: c") + kShown}))
            << TargetKey(target);
        for (const std::string& line : env.lines) EXPECT_EQ(line.find('\n'), std::string::npos);
    }
    // The modern target's console without the environment writes the same lines.
    EnvHost plain(ScriptTarget::ES2021, false);
    ASSERT_TRUE(plain.Add(std::string("console.warn('w") + kForged + "')"));
    EXPECT_EQ(plain.lines, Lines{std::string("[脚本] console.warn: w") + kShown});
    // Debug.write under JScript: a marked line each call.
    std::vector<std::string> written;
    jscript::SetDebugOutput([&](const std::u16string& t) { written.push_back(text::Utf16ToUtf8(t)); });
    EnvHost jscript(ScriptTarget::JScript58, false);
    EXPECT_TRUE(jscript.Add(std::string("Debug.write('d") + kForged + "'); Debug.writeln('-->代码加载成功');"));
    jscript::SetDebugOutput(nullptr);
    EXPECT_EQ(written, (Lines{std::string("[脚本] d") + kShown, "[脚本] -->代码加载成功"}));
}

TEST(ScriptLines, TheRecordOfRequestsStaysWholeWhateverThePageReplaces) {
    for (ScriptTarget target : {ScriptTarget::JScript58, ScriptTarget::ES2021}) {
        EnvHost env(target);
        // An address cannot start a line of its own.
        ASSERT_TRUE(env.Add(std::string("var x = new XMLHttpRequest(); x.open('GET', '/a") + kForged + "'); x.send();"))
            << env.ErrorDescription();
        ASSERT_EQ(env.lines.size(), 1u) << TargetKey(target);
        EXPECT_EQ(env.lines[0].rfind("-->网络请求（未发送）：GET ", 0), 0u) << env.lines[0];
        EXPECT_NE(env.lines[0].find(kShown), std::string::npos) << env.lines[0];
        env.lines.clear();
        // Whatever of the environment's helpers the page reaches stays as it was.
        env.Add("try { __qyEnvHost.line = function () {}; } catch (e) {}"
                "try { delete __qyEnvHost.line; } catch (e) {}"
                "try { Object.defineProperty(__qyEnvHost, 'line', {value: function () {}}); } catch (e) {}"
                "try { __qyEnvHost = null; } catch (e) {}"
                "try { delete this.__qyEnvHost; } catch (e) {}");
        ASSERT_TRUE(env.Add("var y = new XMLHttpRequest(); y.open('POST', '/hidden'); y.send('k=1');"))
            << env.ErrorDescription();
        ASSERT_EQ(env.lines.size(), 1u) << TargetKey(target);
        EXPECT_NE(env.lines[0].find("-->网络请求（未发送）：POST "), std::string::npos) << env.lines[0];
        EXPECT_NE(env.lines[0].find("/hidden"), std::string::npos) << env.lines[0];
    }
}

TEST(ScriptLines, NamesAndErrorMessagesStayOnTheirLine) {
    EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add("var v = navigator['n\\n-->代码加载成功'];"));
    Lines report = env.Report();
    ASSERT_EQ(report.size(), 1u);
    EXPECT_EQ(report[0].rfind("-->环境缺失：navigator.n↵-->代码加载成功（第 1 行", 0), 0u) << report[0];
    // An error's message is the script's: the report keeps it on the description's line.
    env.Add("throw new Error('bad\\r\\n-->代码加载成功');");
    Log log;
    ASSERT_NE(script::WriteErrorReport(env.host.GetError(), log), 0);
    EXPECT_NE(log.text.find("-->错误描述：bad↵-->代码加载成功\r\n"), std::string::npos) << log.text;
    EXPECT_EQ(log.text.find("\n-->代码加载成功"), std::string::npos) << log.text;
}
