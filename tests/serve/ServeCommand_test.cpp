// `qingyou-js serve` as a user starts it: a process of its own, stopped by SIGTERM.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <future>

#include "common/ProcessSupport.h"
#include "serve/ServiceSupport.h"

extern char** environ;

namespace {

struct Process {
    pid_t pid = 0;
    int out = -1;
    int err = -1;
};

Process Start(std::vector<std::string> args) {
    args.insert(args.begin(), QY_APP_BINARY);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2], err[2];
    EXPECT_EQ(pipe(out), 0);
    EXPECT_EQ(pipe(err), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, err[0]);
    Process p;
    EXPECT_EQ(posix_spawn(&p.pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    p.out = out[0];
    p.err = err[0];
    return p;
}

/// Reads `fd` up to the first line end (or its end).
std::string Line(int fd) {
    std::string s;
    char c;
    while (read(fd, &c, 1) == 1 && c != '\n') s += c;
    return s;
}

std::string Rest(int fd) {
    std::string s;
    char buf[4096];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0) s.append(buf, static_cast<size_t>(n));
    return s;
}

int Wait(Process& p) {
    int status = 0;
    waitpid(p.pid, &status, 0);
    close(p.out);
    close(p.err);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

TEST(ServeCommand, ServesUntilSigtermAndFinishesTheCallInFlight) {
    char name[] = "/tmp/qy-serve-cmd-XXXXXX.js";
    int fd = mkstemps(name, 3);
    ASSERT_GE(fd, 0);
    std::string script = qy::test::Md5Script() +
                         "\nfunction slow(ms) { var t = new Date(); while (new Date() - t < ms) {} return 'done'; }\n";
    ASSERT_EQ(write(fd, script.data(), script.size()), static_cast<ssize_t>(script.size()));
    close(fd);
    Process p = Start({"serve", "--port", "0", "--workers", "2", "--target", "es2021", name});
    std::string first = Line(p.out);
    size_t at = first.find("http://127.0.0.1:");
    ASSERT_NE(at, std::string::npos) << first << Rest(p.err);
    int port = std::atoi(first.c_str() + at + 17);
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(30, 0);
    auto md5 = client.Post("/call", "{\"function\":\"md5\",\"args\":[\"abc\"]}", "application/json");
    ASSERT_TRUE(md5);
    EXPECT_NE(md5->body.find("900150983cd24fb0d6963f7d28e17f72"), std::string::npos);

    auto slow = std::async(std::launch::async, [port] {
        httplib::Client c("127.0.0.1", port);
        c.set_read_timeout(30, 0);
        auto r = c.Post("/call", "{\"function\":\"slow\",\"args\":[1500]}", "application/json");
        return r ? r->body : std::string("<no answer>");
    });
    ASSERT_TRUE(qy::test::Eventually([&] {
        auto h = client.Get("/health");
        return h && h->body.find("\"busy\":1") != std::string::npos;
    }));
    kill(p.pid, SIGTERM);
    EXPECT_NE(slow.get().find("\"done\""), std::string::npos);
    std::string rest = Rest(p.out);
    EXPECT_EQ(Wait(p), 0);
    EXPECT_NE(rest.find("服务已停止"), std::string::npos) << rest;
    std::remove(name);
}

TEST(ServeCommand, RefusesAnOpenAddressWithoutATokenAndReportsLoadErrors) {
    Process open = Start({"serve", "--bind", "0.0.0.0", "--port", "0", "x.js"});
    std::string err = Rest(open.err);
    EXPECT_EQ(Wait(open), 2);
    EXPECT_NE(err.find("--token"), std::string::npos) << err;

    char name[] = "/tmp/qy-serve-bad-XXXXXX.js";
    int fd = mkstemps(name, 3);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "var = 1;", 8), 8);
    close(fd);
    Process bad = Start({"serve", "--port", "0", name});
    err = Rest(bad.err);
    EXPECT_EQ(Wait(bad), 1);
    EXPECT_NE(err.find("-->代码加载失败"), std::string::npos) << err;
    EXPECT_NE(err.find("-->错误描述："), std::string::npos) << err;
    std::remove(name);
}
