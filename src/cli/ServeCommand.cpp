#include "cli/ServeCommand.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <thread>

#include "cli/CliSupport.h"
#include "cli/CommandLine.h"
#include "script/ScriptTarget.h"
#include "serve/Json.h"
#include "serve/Service.h"
#include "serve/Worker.h"
#include "text/CodePage.h"

namespace qy::cli {
namespace {

int g_stopPipe[2] = {-1, -1};

std::string OwnProgram() {
    std::string path(4096, '\0');
    ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0) return "qingyou-js";
    path.resize(static_cast<size_t>(n));
    return path;
}

std::string BaseName(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool ParseNumber(const std::string& text, double& out) {
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0' && out >= 0;
}

/// A size with an optional K, M or G (1024-based).
bool ParseSize(std::string text, size_t& out) {
    size_t unit = 1;
    if (!text.empty()) {
        char last = static_cast<char>(text.back() | 0x20);
        if (last == 'k') unit = 1024;
        else if (last == 'm') unit = 1024 * 1024;
        else if (last == 'g') unit = size_t(1024) * 1024 * 1024;
        if (unit != 1) text.pop_back();
    }
    double d = 0;
    if (!ParseNumber(text, d) || d < 1) return false;
    out = static_cast<size_t>(d * static_cast<double>(unit));
    return true;
}

/// A load error the service reported (its JSON) in the log's lines.
void WriteLoadError(const std::string& error, std::ostream& err) {
    auto json = serve::Json::Parse(error);
    const serve::Json* e = json ? json->Find("error") : nullptr;
    if (!e) {
        err << "qingyou-js: " << error << "\n";
        return;
    }
    auto number = [&](const char* key) {
        const serve::Json* v = e->Find(key);
        return v ? static_cast<long long>(v->AsNumber()) : 0LL;
    };
    const serve::Json* d = e->Find("description");
    const serve::Json* f = e->Find("file");
    err << "-->代码加载失败" << (f ? "：" + f->AsString() : std::string()) << "\n"
        << "-->发生错误：错误号=" << number("number") << "\n"
        << "-->错误描述：" << (d ? d->AsString() : std::string()) << "\n"
        << "-->错误位置：" << number("line") << "行" << number("column") << "字符处\n";
}

}  // namespace

int ServeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 2 && args[1] == "--worker") return serve::RunWorker(0);
    serve::ServiceOptions options;
    options.worker.program = OwnProgram();
    std::vector<std::string> files;
    bool watch = false;
    bool addressGiven = false;
    bool profileOrSeed = false;
    if (const char* token = std::getenv("QINGYOU_SERVE_TOKEN")) options.token = token;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--browser-env") {
            options.worker.browserEnv = true;
        } else if (a == "--fresh") {
            options.worker.fresh = true;
        } else if (a == "--watch") {
            watch = true;
        } else if (a == "--profile" || a == "--seed") {
            if (i + 1 >= args.size()) return Usage(err, a + " 后缺少参数");
            const std::string& v = args[++i];
            if (a == "--profile") {
                std::ostringstream quiet;
                auto text = ReadScript(v, quiet);
                if (!text) return Usage(err, "无法读取浏览器资料“" + v + "”");
                options.worker.profile = text::AnsiToUtf8(*text);
            } else {
                char* end = nullptr;
                unsigned long long n = std::strtoull(v.c_str(), &end, 10);
                if (v.empty() || *end || v[0] == '-') return Usage(err, "--seed 要一个非负整数，而不是“" + v + "”");
                options.worker.seed = n;
            }
            profileOrSeed = true;
        } else if (a == "--bind" || a == "--port" || a == "--workers" || a == "--target" || a == "--address" ||
                   a == "--timeout" || a == "--max-body" || a == "--max-memory" || a == "--token") {
            if (i + 1 >= args.size()) return Usage(err, a + " 后缺少参数");
            const std::string& v = args[++i];
            double d = 0;
            if (a == "--bind") {
                options.bind = v;
            } else if (a == "--port") {
                if (!ParseNumber(v, d) || d > 65535 || d != static_cast<int>(d)) return Usage(err, "端口应是 0 到 65535 的整数");
                options.port = static_cast<int>(d);
            } else if (a == "--workers") {
                if (!ParseNumber(v, d) || d < 1 || d > 256 || d != static_cast<int>(d)) return Usage(err, "--workers 应是 1 到 256 的整数");
                options.workers = static_cast<int>(d);
            } else if (a == "--target") {
                auto target = script::TargetFromKey(v);
                if (!target) return Usage(err, "未知的脚本目标“" + v + "”（可用 jscript 或 es2021）");
                options.worker.target = script::TargetKey(*target);
            } else if (a == "--address") {
                options.worker.address = v;
                addressGiven = true;
            } else if (a == "--timeout") {
                if (!ParseNumber(v, d) || d <= 0 || d > 86400) return Usage(err, "--timeout 应是秒数（如 10 或 0.5）");
                options.worker.timeoutMs = static_cast<int>(d * 1000 + 0.5);
                if (options.worker.timeoutMs < 1) options.worker.timeoutMs = 1;
            } else if (a == "--max-body") {
                if (!ParseSize(v, options.maxBody)) return Usage(err, "--max-body 应是字节数（如 1M 或 65536）");
            } else if (a == "--max-memory") {
                size_t bytes = 0;
                if (!ParseSize(v + (std::isdigit(static_cast<unsigned char>(v.back())) ? "M" : ""), bytes))
                    return Usage(err, "--max-memory 应是大小（兆字节，如 512 或 2G）");
                options.worker.maxMemoryMb = bytes >> 20 ? bytes >> 20 : 1;
            } else {
                options.token = v;
            }
        } else if (a.rfind("--", 0) == 0) {
            return Usage(err, "未知的选项“" + a + "”");
        } else {
            files.push_back(a);
        }
    }
    if (addressGiven && !options.worker.browserEnv) return Usage(err, "--address 只与 --browser-env 一起使用");
    if (profileOrSeed && !options.worker.browserEnv)
        return Usage(err, "--profile 和 --seed 只与 --browser-env 一起使用");
    if (files.empty()) return Usage(err, "缺少脚本文件");
    for (const auto& f : files)
        if (f == "-") return Usage(err, "serve 不能从标准输入读取脚本（重新加载时要再读一次）");
    if (!serve::IsLoopbackAddress(options.bind) && options.token.empty())
        return Usage(err, "监听非本机地址（" + options.bind + "）时必须用 --token 设置令牌");
    std::string names;
    for (const auto& f : files) names += (names.empty() ? "" : "，") + BaseName(f);
    options.loadedName = names;
    if (watch) options.watchFiles = files;
    // A page served (the first file) finds its local scripts beside it.
    if (files[0] != "-") options.worker.folder = std::filesystem::absolute(files[0]).parent_path().string();
    options.readScripts = [files](std::vector<serve::Script>& scripts, std::string& error) {
        for (const auto& f : files) {
            std::ostringstream quiet;
            auto text = ReadScript(f, quiet);
            if (!text) {
                error = "无法读取文件“" + f + "”";
                return false;
            }
            scripts.push_back({BaseName(f), std::move(*text)});
        }
        return true;
    };

    // SIGTERM and Ctrl+C only write a byte: a thread of ours reads it and stops the
    // service in order (whatever thread the signal lands on; the engine has threads of
    // its own).
    if (pipe2(g_stopPipe, O_CLOEXEC) != 0) return kExitEngineError;
    struct sigaction action {};
    action.sa_handler = [](int) {
        char b = 1;
        ssize_t w = write(g_stopPipe[1], &b, 1);
        (void)w;
    };
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    // Each caller's connection is a descriptor: allow as many as the system lets us.
    rlimit descriptors{};
    if (getrlimit(RLIMIT_NOFILE, &descriptors) == 0 && descriptors.rlim_cur < descriptors.rlim_max) {
        descriptors.rlim_cur = descriptors.rlim_max;
        setrlimit(RLIMIT_NOFILE, &descriptors);
    }
    serve::Service service(options);
    service.onLog = [&err](const std::string& line) { err << line << "\n" << std::flush; };
    std::string error;
    if (!service.Start(error)) {
        WriteLoadError(error, err);
        return kExitEngineError;
    }
    out << "青柚JS调试工具 本地服务：" << service.Address() << "（" << service.Pool().Count()
        << " 个工作进程；GET / 说明用法）\n" << std::flush;
    std::thread stopper([&service] {
        char b;
        while (read(g_stopPipe[0], &b, 1) < 0 && errno == EINTR) {
        }
        service.Stop();
    });
    service.Run();
    // Run ends only after a stop; the byte releases the thread if no signal came.
    char b = 0;
    ssize_t w = write(g_stopPipe[1], &b, 1);
    (void)w;
    stopper.join();
    service.Join();
    out << "服务已停止（共 " << service.Calls() << " 次调用）\n";
    return kExitOk;
}

}  // namespace qy::cli
