// The probes of what a page sees of the engine, run in the modern target with the page's
// objects, against the answers a real Chrome gave (tests/env/chrome/answers_v8.json,
// recorded by tests/persona/record_v8_answers.py). Every probe must agree but the few
// listed below, whose difference is known and said why.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "common/TestSupport.h"
#include "env/EnvTestSupport.h"

namespace {

using qy::script::ScriptTarget;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// The same harness the recording page runs.
const char* kHarness = R"JS(
var __answers = [];
function probe(group, name, f) {
    var answer;
    try {
        var value = f();
        answer = value === undefined ? {undefined: true} : {value: value};
    } catch (e) {
        answer = {throws: e.name + ': ' + e.message};
    }
    __answers.push({group: group, name: name, answer: answer});
}
)JS";

// Known differences, each with its reason.
const std::set<std::string> kKnown = {
    // The value V8 names is in neither the engine's message nor the source at the place.
    "messages: iteration and destructuring/iterator result not an object",
    "messages: proxy and reflect/get invariant",
    "messages: proxy and reflect/ownKeys invariant",
    "messages: misc/Array.prototype.push on frozen",
    // The recording Chromium's later V8 adds "Failed to set the 'length' property on
    // 'Array': "; node's V8 (11) words it as we do.
    "messages: collections, buffers and typed arrays/array length -1",
    // The engine makes a constructor's `prototype` (and Math's constants) first and
    // never lets them go, so V8's order holds only for the members after them; a
    // function's own `length` and `name` come in the engine's order.
    "orders/Object", "orders/Math", "orders/Promise", "orders/Number", "orders/Error", "orders/Symbol",
    "orders/Array", "orders/String", "orders/RegExp", "orders/Date", "orders/a function", "orders/a class",
    // V8 nests the origin of eval'd code that eval'd code made.
    "stacks more/nested eval",
    // Call sites give no receiver or function.
    "prepareStackTrace/getThis and getFunction",
};

/// The probe files: under the source folder, or beside this file as the compiler saw it
/// (CTest runs the program where it was compiled).
std::string ProbeFile(const std::string& name) {
    std::string text = ReadFile(qy::test::SourceDir() + "/tests/env/chrome/" + name);
    if (!text.empty()) return text;
    std::string here = __FILE__;
    return ReadFile(here.substr(0, here.rfind('/')) + "/../env/chrome/" + name);
}

TEST(V8Probes, AgreeWithChrome) {
    const std::string probes = ProbeFile("probes_v8.js");
    const std::string answers = ProbeFile("answers_v8.json");
    ASSERT_FALSE(probes.empty());
    ASSERT_FALSE(answers.empty());
    qy::test::EnvHost env(ScriptTarget::ES2021, true, "https://www.example.com/index.html");
    ASSERT_TRUE(env.Add(kHarness)) << env.ErrorDescription();
    ASSERT_TRUE(env.Add(probes)) << env.ErrorDescription();
    ASSERT_TRUE(env.Add("var __expected = " + answers + ";")) << env.ErrorDescription();
    std::string report = env.Text(R"JS((function () {
        var got = {}, out = [], agree = 0;
        __answers.forEach(function (a) { got[a.group + '/' + a.name] = JSON.stringify(a.answer); });
        __expected.forEach(function (e) {
            var key = e.group + '/' + e.name, want = JSON.stringify(e.answer);
            if (got[key] === want) agree++;
            else out.push(key + ' :: chrome ' + want + ' :: here ' + got[key]);
        });
        return agree + '/' + __expected.length + '\n' + out.join('\n');
    })())JS");
    std::istringstream lines(report);
    std::string figure;
    std::getline(lines, figure);
    std::cout << "[ probes  ] " << figure << " agree with Chrome\n";
    std::string line, unexpected;
    std::set<std::string> stillKnown;
    while (std::getline(lines, line)) {
        std::string key = line.substr(0, line.find(" :: "));
        if (kKnown.count(key)) {
            std::cout << "[ known   ] " << line << "\n";
            stillKnown.insert(key);
        } else {
            unexpected += line + "\n";
        }
    }
    EXPECT_EQ(unexpected, "") << "probes that differ from Chrome";
    // A known difference that has gone leaves the list.
    EXPECT_EQ(stillKnown, kKnown) << "known differences that now agree";
}

}  // namespace
