// What keeps a fetch in the user's hands: an overall deadline against a server that
// trickles, a cancel hook, compressed replies decoded, and no protocol but http(s).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "LocalServer.h"
#include "common/TestSupport.h"
#include "net/HttpGet.h"

using namespace qy::net;
using qy::test::LocalServer;

namespace {

/// A server that sends one byte every 100 ms for as long as the client listens.
void ServeTrickle(LocalServer& s, std::atomic<bool>& stop) {
    s.server.Get("/trickle", [&stop](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/plain", [&stop](size_t, httplib::DataSink& sink) {
            if (stop) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            return sink.write("x", 1);
        });
    });
}

}  // namespace

TEST(HttpLimits, ATricklingServerIsCutAtTheDeadlineAndByCancel) {
    LocalServer s;
    std::atomic<bool> stop{false};
    ServeTrickle(s, stop);
    s.Start();
    HttpControl control;
    control.deadlineMilliseconds = 800;
    HttpResult r = HttpGet(s.Url("/trickle"), control);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.reason, "连接超时");
    EXPECT_EQ(r.body, "");

    int pumps = 0;
    HttpControl cancel;
    cancel.pump = [&] { ++pumps; };
    cancel.cancelled = [&] { return pumps > 3; };
    r = HttpGet(s.Url("/trickle"), cancel);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.reason, "已取消");
    stop = true;
}

TEST(HttpLimits, CompressedRepliesArriveDecoded) {
    LocalServer s;
    const std::string gz = qy::test::Bytes({31, 139, 8, 0, 0, 0, 0, 0, 2, 255, 43, 75, 44, 82, 72, 84, 176, 85, 80,
                                            74, 175, 82, 178, 6, 0, 23, 234, 216, 97, 13, 0, 0, 0});
    std::string acceptEncoding;
    s.server.Get("/gz", [&](const httplib::Request& req, httplib::Response& res) {
        acceptEncoding = req.get_header_value("Accept-Encoding");
        res.set_header("Content-Encoding", "gzip");
        res.set_content(gz, "application/javascript");
    });
    s.Start();
    HttpResult r = HttpGet(s.Url("/gz"));
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.body, "var a = \"gz\";");
    EXPECT_NE(acceptEncoding.find("gzip"), std::string::npos);
}

TEST(HttpLimits, OnlyHttpAndHttpsAreEverUsed) {
    HttpResult local = HttpGet("file:///etc/hostname");
    EXPECT_FALSE(local.ok);
    EXPECT_EQ(local.body, "");
    EXPECT_EQ(local.reason, "不支持的协议（只能使用 http 或 https）");
    LocalServer s;
    s.server.Get("/to-ftp", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("ftp://127.0.0.1/pub/file.js");
    });
    s.server.Get("/to-file", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("file:///etc/hostname");
    });
    s.Start();
    for (const char* path : {"/to-ftp", "/to-file"}) {
        HttpResult r = HttpGet(s.Url(path));
        EXPECT_FALSE(r.ok) << path;
        EXPECT_EQ(r.body, "") << path;
    }
}
