// The page as a real Chromium shows it: every probes_*.js of tests/env/chrome runs in the
// modern target with the environment on, and its answers are held against the answers
// Chromium gave (recorded by tests/env/chrome/record.sh). Differences not yet closed are
// listed below with their reasons; anything else that differs fails.
#include <filesystem>
#include <regex>

#include "common/TestSupport.h"
#include "env/EnvTestSupport.h"

namespace qy::test {
namespace {

using script::ScriptTarget;

/// Probes that cannot agree yet: (file kind, group and probe name as regular expressions,
/// the reason).
struct KnownDifference {
    const char* kind;
    const char* group;
    const char* name;
    const char* reason;
};
const KnownDifference kKnownDifferences[] = {
    {"structure", "interface objects", "Range parent",
     "the measuring stick is a newer Chromium, where Range sits under NodeRange; Chrome 124 has AbstractRange"},
    {"page", "persona", "userAgentData brand count",
     "the measuring stick is Chromium, which has no \"Google Chrome\" brand; the persona is Google Chrome"},
    {"structure", "own properties", "style",
     "Chrome lists every CSS property on an element's style; the environment's style holds only what a script set"},
    {"results", "style", "getComputedStyle own names",
     "Chrome lists every CSS property on a computed style; the environment's computed style has no property list"},
    {"results", "canvas", "getImageData own names",
     "the measuring stick keeps an ImageData's data on the instance; the environment has it on the prototype"},
    {"results", "named access", "members win",
     "Chrome's document puts an element of a member's name before the member; the environment looks names up only "
     "where the document has no such member, so that reading the document's members costs no search of the page"},
    {"frames", "frames", "a frame's interfaces are its own",
     "a frame's window shares the page's interfaces and built-in prototypes of its page objects; Chrome gives each "
     "frame a realm of its own (the language's built-ins are the frame's own here too)"},
    {"blobs", "blobs|blob reads", "endings|native endings",
     "the measuring stick is Chromium on Linux, where a blob's \"native\" line endings are LF; the persona is Chrome on "
     "Windows, where they are CRLF"},
    {"ranges", "range structure", "(Range|StaticRange) chain",
     "the measuring stick is a newer Chromium, where ranges sit under NodeRange; Chrome 124 has AbstractRange"},
    {"results", "ranges", "createRange chain",
     "the measuring stick is a newer Chromium, where ranges sit under NodeRange; Chrome 124 has AbstractRange"},
    {"ranges", "range behaviour", "errors on the doctype",
     "the probes' page in Chromium starts with a doctype; the test's blank page has none (document.doctype is null)"},
    {"styles", ".*", ".*",
     "CSS values and computed styles are held against Chromium by tests/env/CssValues_test.cpp, which lists each "
     "known difference with its reason"},
    {"v8", ".*", ".*",
     "the engine's probes are held against Chromium by tests/persona/V8Probes_test.cpp, which lists each known "
     "difference with its reason"},
};

bool Known(const std::string& kind, const std::string& group, const std::string& name) {
    for (const KnownDifference& k : kKnownDifferences)
        if (kind == k.kind && std::regex_match(group, std::regex(k.group)) && std::regex_match(name, std::regex(k.name)))
            return true;
    return false;
}

// Compares in the engine: one line per group ("=group<TAB>agreeing<TAB>total"), then one
// per difference ("group<TAB>name<TAB>ours<TAB>Chromium's").
// Answers written as a list of {group, name, answer: {value} | {undefined} | {throws}}
// (the engine persona's recorder writes them so) read as the others.
constexpr const char* kCompare = R"JS((function (answers) {
    var lines = [], canon = function (v) { return JSON.stringify(v); };
    if (Array.isArray(answers)) {
        var byGroup = {};
        answers.forEach(function (e) {
            if (!byGroup[e.group]) byGroup[e.group] = {};
            byGroup[e.group][e.name] = 'value' in e.answer ? e.answer.value : e.answer;
        });
        answers = byGroup;
    }
    Object.keys(answers).forEach(function (group) {
        var ours = probeResults[group] || {}, agree = 0, total = 0;
        Object.keys(answers[group]).forEach(function (name) {
            total++;
            var got = Object.prototype.hasOwnProperty.call(ours, name) ? canon(ours[name]) : '(not run)';
            if (got === canon(answers[group][name])) agree++;
            else lines.push(group + '\t' + name + '\t' + got + '\t' + canon(answers[group][name]));
        });
        lines.unshift('=' + group + '\t' + agree + '\t' + total);
    });
    return lines.join('\n');
}))JS";

std::vector<std::string> Split(const std::string& text, char sep) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t end; (end = text.find(sep, start)) != std::string::npos; start = end + 1)
        out.push_back(text.substr(start, end - start));
    out.push_back(text.substr(start));
    return out;
}

TEST(ChromeProbes, AgreeWithChromiumOrAreKnownDifferences) {
    std::string dir = SourceDir() + "/tests/env/chrome";
    std::string harness = ReadFileBytes(dir + "/harness.js");
    ASSERT_FALSE(harness.empty());
    int kinds = 0, agreeing = 0, total = 0, known = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::string file = entry.path().filename().string();
        if (file.rfind("probes_", 0) != 0 || entry.path().extension() != ".js") continue;
        std::string kind = file.substr(7, file.size() - 10);
        std::string answers = ReadFileBytes(dir + "/answers_" + kind + ".json");
        ASSERT_FALSE(answers.empty()) << "no recorded answers for " << file;
        ++kinds;
        EnvHost env(ScriptTarget::ES2021, true, "https://www.example.com/index.html");
        ASSERT_TRUE(env.Add(harness)) << env.ErrorDescription();
        ASSERT_TRUE(env.Add(ReadFileBytes(entry.path().string()))) << file << ": " << env.ErrorDescription();
        std::string report = env.Text(std::string(kCompare) + "(" + answers + ")");
        ASSERT_FALSE(report.empty()) << file << ": " << env.ErrorDescription();
        for (const std::string& line : Split(report, '\n')) {
            std::vector<std::string> f = Split(line, '\t');
            if (f.size() == 3 && f[0][0] == '=') {
                agreeing += std::stoi(f[1]);
                total += std::stoi(f[2]);
                std::printf("%s / %s: %s of %s agree\n", kind.c_str(), f[0].c_str() + 1, f[1].c_str(), f[2].c_str());
                continue;
            }
            ASSERT_EQ(f.size(), 4u) << line;
            if (Known(kind, f[0], f[1])) {
                ++known;
                continue;
            }
            ADD_FAILURE() << kind << " / " << f[0] << " / " << f[1] << "\n  ours:     " << f[2] << "\n  Chromium: " << f[3];
        }
    }
    EXPECT_GE(kinds, 3);
    std::printf("all probes: %d of %d agree (%d known differences)\n", agreeing, total, known);
}

}  // namespace
}  // namespace qy::test
