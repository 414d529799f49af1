#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "LocalServer.h"
#include "common/CommaLocale.h"
#include "common/TestSupport.h"
#include "net/HttpGet.h"
#include "net/UpdateCheck.h"
#include "text/CodePage.h"

using namespace qy::net;
using qy::test::LocalServer;

namespace {
std::string Ansi(const char* utf8) { return qy::text::Utf8ToAnsiText(utf8); }
}  // namespace

TEST(HttpGet, SendsTheAddressAsAgentAndAsksCachesToRevalidate) {
    LocalServer s;
    std::string agent, cacheControl, pragma;
    s.server.Get("/a.js", [&](const httplib::Request& req, httplib::Response& res) {
        agent = req.get_header_value("User-Agent");
        cacheControl = req.get_header_value("Cache-Control");
        pragma = req.get_header_value("Pragma");
        res.set_content("var a = 1;", "application/javascript");
    });
    s.server.Get("/moved", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/a.js"); });
    s.Start();
    EXPECT_EQ(HttpGetText(s.Url("/a.js")), "var a = 1;");
    EXPECT_EQ(agent, s.Url("/a.js"));
    EXPECT_EQ(cacheControl, "no-cache");
    EXPECT_EQ(pragma, "no-cache");
    EXPECT_EQ(HttpGetText(s.Url("/moved")), "var a = 1;");
}

TEST(HttpGet, BodiesArriveWholeAndEndAtTheirFirstZeroByte) {
    LocalServer s;
    std::string exact(2048, 'x'), big(3 * 1024 * 1024, 'y');
    for (size_t i = 0; i < big.size(); i += 1000) big[i] = static_cast<char>('a' + i % 26);
    s.server.Get("/2048", [&](const httplib::Request&, httplib::Response& res) { res.set_content(exact, "text/plain"); });
    s.server.Get("/big", [&](const httplib::Request&, httplib::Response& res) { res.set_content(big, "text/plain"); });
    s.server.Get("/zero", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string("abc\0def", 7), "text/plain");
    });
    s.Start();
    EXPECT_EQ(HttpGetText(s.Url("/2048")), exact);
    int pumped = 0;
    EXPECT_EQ(HttpGetText(s.Url("/big"), [&] { ++pumped; }), big);
    EXPECT_GT(pumped, 0);
    EXPECT_EQ(HttpGetText(s.Url("/zero")), "abc");
}

TEST(HttpGet, ErrorStatusAndUnreachableServerFail) {
    LocalServer s;
    s.server.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
        res.status = 404;
        res.set_content("<html>not found</html>", "text/html");
    });
    s.Start();
    HttpResult r = HttpGet(s.Url("/missing"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.status, 404);
    EXPECT_TRUE(r.body.empty());
    EXPECT_FALSE(HttpGet("http://127.0.0.1:1/nothing").ok);
    EXPECT_FALSE(HttpGet("").ok);
    EXPECT_FALSE(HttpGet("not a url at all").ok);
}

TEST(UpdateDescription, FieldsLabelsAndNotes) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitFields("a\\nb\\n\\nc\\n"), (V{"a", "b", "", "c"}));
    EXPECT_EQ(SplitFields("one\r\ntwo"), (V{"one\r\ntwo"}));
    // The second byte of a double-byte character is never a backslash.
    std::string tricky = Ansi("表") + "n";  // 表 is B1 ED; the pair D5 DC or similar never splits
    std::string withBackslashTrail = std::string("\x95\x5C", 2) + "n";
    EXPECT_EQ(SplitFields(withBackslashTrail).size(), 1u);
    EXPECT_EQ(NotesWithLineBreaks("one|two"), "one\r\ntwo");
    EXPECT_EQ(NotesWithLineBreaks(std::string("\x81\x7C", 2)), std::string("\x81\x7C", 2));
    EXPECT_FLOAT_EQ(ReadVersion("1.81abc"), 1.81f);
    EXPECT_FLOAT_EQ(ReadVersion("  -2e1x"), -20.0f);
    EXPECT_FLOAT_EQ(ReadVersion(Ansi("１．９")), 1.9f);
    EXPECT_FLOAT_EQ(ReadVersion("abc"), 0.0f);
    EXPECT_EQ(VersionWithTwoDecimals(1.9f), "1.90");
    EXPECT_EQ(VersionWithTwoDecimals(2.0f), "2.00");
    EXPECT_EQ(VersionWithTwoDecimals(1.81f), "1.81");
    EXPECT_EQ(VersionWithTwoDecimals(1.125f), "1.13");
    EXPECT_TRUE(IsWebAddress("HTTPS://x.org/a"));
    EXPECT_FALSE(IsWebAddress("file:///etc/passwd"));
    EXPECT_FALSE(IsWebAddress("javascript:alert(1)"));
    (void)tricky;
}

namespace {

/// Serves an update description and points the update check at it.
struct UpdateServer {
    LocalServer s;
    std::string description;
    UpdateServer() {
        s.server.Get("/Control.txt", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(description, "text/plain; charset=utf-8");
        });
        s.Start();
        setenv("QINGYOU_UPDATE_URL", s.Url("/Control.txt").c_str(), 1);
    }
    ~UpdateServer() { unsetenv("QINGYOU_UPDATE_URL"); }
    UpdateOutcome Check(UpdateRecord& r) { return CheckForUpdate(1.8f, r); }
};

}  // namespace

TEST(UpdateCheck, ComparesTheAnnouncedVersion) {
    UpdateServer u;
    UpdateRecord r;
    u.description = "版本号:1.8\\n下载地址是这:http://dl.example.org/a.zip\\nx\\n新功能|修复\\n时间 :2020";
    EXPECT_EQ(u.Check(r), UpdateOutcome::UpToDate);
    u.description = "版本号:1.81\\n下载地址是这:http://dl.example.org/a.zip\\nx\\n新功能|修复\\n时间 :2020\\n多余\\n";
    ASSERT_EQ(u.Check(r), UpdateOutcome::NewerVersion);
    EXPECT_FLOAT_EQ(r.version, 1.81f);
    EXPECT_EQ(r.downloadAddress, "http://dl.example.org/a.zip");
    EXPECT_EQ(r.notes, Ansi("新功能\r\n修复"));
    EXPECT_EQ(r.lastUpdate, "2020");
    EXPECT_EQ(UpdateWindowText(r).substr(0, Ansi("最新版本:1.81").size()), Ansi("最新版本:1.81"));
    u.description = "1234567２\\n1234567890123\\nx\\nn\\n123456t";
    ASSERT_EQ(u.Check(r), UpdateOutcome::NewerVersion);
    EXPECT_FLOAT_EQ(r.version, 2.0f);
    EXPECT_EQ(r.downloadAddress, "");
    u.description = "版本号:v9\nA\nB\nC\nD";
    EXPECT_EQ(u.Check(r), UpdateOutcome::CheckFailed);
    setenv("QINGYOU_UPDATE_URL", "http://127.0.0.1:1/Control.txt", 1);
    EXPECT_EQ(u.Check(r), UpdateOutcome::CheckFailed);
}

// The version of the update description reads exactly as atof reads it, whatever the
// locale: one sign only, overflow to infinity, a full stop as the decimal point.
TEST(UpdateCheck, VersionsReadAsAtofReadsThemInAnyLocale) {
    qy::test::CommaLocale comma;
    ASSERT_TRUE(comma.Active());
    struct Row { const char* text; double atofValue; };
    for (Row r : {Row{"1.9", 1.9}, Row{"--2", 0}, Row{"+-2", 0}, Row{"-2", -2}, Row{"+2.5x", 2.5},
                  Row{"1e999", HUGE_VAL}, Row{" 0x10", 16}, Row{"abc", 0}, Row{"", 0}}) {
        EXPECT_EQ(ReadVersion(r.text), static_cast<float>(r.atofValue)) << r.text;
    }
    EXPECT_EQ(VersionWithTwoDecimals(1.9f), "1.90");
}
