// The console: the modern target's own without the environment, the same lines as the
// environment's, and none in JScript without the environment.
#include "env/EnvTestSupport.h"

namespace qy::test {
namespace {

using script::ScriptTarget;
using Lines = std::vector<std::string>;

// Every writing method, format strings, and values of each kind.
constexpr const char* kCalls =
    "console.log('text', 1, -0, true, null, undefined);"
    "console.info([1, 'a', [2]], {a: 1, b: 'x', c: {d: 1}});"
    "console.warn('%s is %d years', 'Tom', 42.5, 'more');"
    "console.error(new TypeError('bad'));"
    "console.debug(function add(a, b) { return a + b; });"
    "console.table([1]); console.dir({k: []});"
    "console.log('%o and %s and %i%% of %c%s', {n: [1, 2]}, {n: 1}, '7.9', 'color: red', 'all', 'extra');"
    "function Point(x) { this.x = x; } console.log(new Point(2), [new Point(3)], '%d', 'x');"
    "console.assert(1 === 2, 'wrong', 3); console.assert(true, 'never'); console.assert(0);"
    "console.trace('here');";

const Lines kExpected = {
    "[脚本] console.log: text 1 -0 true null undefined",
    "[脚本] console.info: (3) [1, 'a', Array(1)] {a: 1, b: 'x', c: {…}}",
    "[脚本] console.warn: Tom is 42 years more",
    "[脚本] console.error: TypeError: bad",
    "[脚本] console.debug: ƒ add(a, b) { return a + b; }",
    "[脚本] console.table: (1) [1]",
    "[脚本] console.dir: {k: Array(0)}",
    "[脚本] console.log: {n: Array(2)} and {…} and 7% of all extra",
    "[脚本] console.log: Point {x: 2} (1) [Point {…}] %d x",
    "[脚本] console.assert: Assertion failed: wrong 3",
    "[脚本] console.assert: Assertion failed",
    "[脚本] console.trace: here",
};

TEST(ModernConsole, WritesWithoutTheEnvironment) {
    EnvHost env(ScriptTarget::ES2021, false);
    ASSERT_TRUE(env.Add(kCalls)) << env.ErrorDescription();
    EXPECT_EQ(env.lines, kExpected);
    // The quiet ones exist and write nothing.
    env.lines.clear();
    ASSERT_TRUE(env.Add("console.group('g'); console.groupCollapsed(); console.groupEnd(); console.time('t');"
                        "console.timeLog('t'); console.timeEnd('t'); console.count(); console.countReset();"
                        "console.clear(); console.profile(); console.profileEnd();"))
        << env.ErrorDescription();
    EXPECT_TRUE(env.lines.empty());
    // An evaluated expression writes too, and the call's value is undefined.
    EXPECT_EQ(env.Text("typeof console.log('中文', [])"), "undefined");
    EXPECT_EQ(env.lines, Lines{"[脚本] console.log: 中文 (0) []"});
}

// One script text makes every console: with the environment, in either target, the
// lines are the modern target's own console's.
TEST(ModernConsole, SameLinesAsTheEnvironmentsInBothTargets) {
    for (ScriptTarget target : {ScriptTarget::JScript58, ScriptTarget::ES2021}) {
        EnvHost env(target, true);
        ASSERT_TRUE(env.Add(kCalls)) << env.ErrorDescription();
        EXPECT_EQ(env.lines, kExpected) << TargetKey(target);
        // With the environment the console is the page's, which also reports what
        // timers throw.
        env.lines.clear();
        ASSERT_TRUE(env.Add("setTimeout(function () { throw new RangeError('late'); }, 1);"));
        EXPECT_EQ(env.lines, Lines{"[脚本] console.error: Uncaught RangeError: late"}) << TargetKey(target);
    }
}

TEST(ModernConsole, IsNotTheUsersAndEachResetMakesItAnew) {
    EnvHost env(ScriptTarget::ES2021, false);
    ASSERT_TRUE(env.Add("function mine() { console.log('mine'); } var names = []; for (var k in this) names.push(k);"));
    EXPECT_EQ(env.Text("names.sort().join(',')"), "k,mine,names");
    EXPECT_EQ(script::GetPropertyNumber(script::GetPropertyObject(env.host.Control(), "Procedures"), "Count"), 1);
    EXPECT_EQ(env.Text("var d = Object.getOwnPropertyDescriptor(this, 'console'); [d.enumerable, d.writable, d.configurable].join()"),
              "false,true,true");
    // A script may replace it, as on a page; a fresh global has its own again.
    ASSERT_TRUE(env.Add("var seen = []; console.log = function (x) { seen.push(x); }; console.log('quiet'); mine();"));
    EXPECT_EQ(env.Text("seen.join()"), "quiet,mine");
    EXPECT_TRUE(env.lines.empty());
    env.host.Reset();
    ASSERT_TRUE(env.Add("console.log('again');"));
    EXPECT_EQ(env.lines, Lines{"[脚本] console.log: again"});
    ASSERT_TRUE(env.Add("var console = {log: function () {}}; console.log('mine');"));
    EXPECT_EQ(env.lines, Lines{"[脚本] console.log: again"});
    // Made on its first lookup, not listed among the enumerable names; once deleted it
    // stays gone.
    env.host.Reset();
    EXPECT_EQ(env.Text("Object.keys(this).indexOf('console') + ' ' + this.hasOwnProperty('console')"), "-1 true");
    EXPECT_EQ(env.Text("Object.getOwnPropertyNames(this).indexOf('console') >= 0"), "true");
    EXPECT_EQ(env.Text("delete console"), "true");
    EXPECT_EQ(env.Text("typeof console + ' ' + ('console' in this)"), "undefined false");
    env.host.Reset();
    EXPECT_EQ(env.Text("'console' in this"), "true");
}

TEST(JScriptConsole, OnlyWithTheEnvironment) {
    EnvHost env(ScriptTarget::JScript58, false);
    EXPECT_EQ(env.Text("typeof console"), "undefined");
    EXPECT_FALSE(env.Add("console.log('x');"));
    EXPECT_EQ(env.ErrorDescription(), "'console' 未定义");
    EXPECT_TRUE(env.lines.empty());
    // Debug.write is there whatever the environment.
    EXPECT_EQ(env.Text("typeof Debug.write"), "function");
    EnvHost withEnvironment(ScriptTarget::JScript58, true);
    ASSERT_TRUE(withEnvironment.Add("console.log('x');"));
    EXPECT_EQ(withEnvironment.lines, Lines{"[脚本] console.log: x"});
}

// The block a user inserts carries the console script with it; without the environment
// it keeps a console the global already has (the modern target's own).
TEST(EnvironmentText, CarriesTheConsoleScriptOnce) {
    std::string_view page = env::ScriptText(), console = env::ConsoleScriptText();
    size_t at = page.find(console);
    ASSERT_NE(at, std::string_view::npos);
    EXPECT_EQ(page.find(console, at + 1), std::string_view::npos);
    EXPECT_EQ(page.find("/* console.js */"), std::string_view::npos);
    EnvHost env(ScriptTarget::ES2021, false);
    ASSERT_TRUE(env.Add("var before = console;"));
    ASSERT_TRUE(env.Add(env::InsertableBlock() + "console.log(navigator.platform, console === before);"))
        << env.ErrorDescription();
    EXPECT_EQ(env.lines, Lines{"[脚本] console.log: Win32 true"});
}

}  // namespace
}  // namespace qy::test
