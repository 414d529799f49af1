#include "cli/CommandLine.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>

#include "env/CanvasHost.h"
#include "env/Environment.h"
#include "jscript/Runtime.h"
#include "script/Engine.h"
#include "script/ScriptSession.h"
#include "script/ScriptTarget.h"
#include "text/CodePage.h"
#include "text/ScriptFileText.h"
#include "cli/CanvasLoader.h"
#include "cli/CliSupport.h"
#include "cli/PageCommand.h"
#include "cli/ServeCommand.h"
#include "cli/TextCommands.h"
#include "cli/TraceFile.h"
#include "cli/Watching.h"

namespace qy::cli {
namespace {

struct Command {
    const char* name;
    const char* usage;
    const char* summary;
    const char* example;
    std::function<int(const std::vector<std::string>&, std::ostream&, std::ostream&)> run;
};

/// Ends the engine work of a command once its time is up: the stop reaches the call
/// running then, and the StopScope around the work ends every call after it at once.
class TimeLimit {
public:
    explicit TimeLimit(double seconds)
        : m_thread([this, seconds] {
              std::unique_lock lock(m_mutex);
              if (!m_wake.wait_for(lock, std::chrono::duration<double>(seconds), [this] { return m_done; })) {
                  m_fired = true;
                  script::RequestStop();
              }
          }) {}
    ~TimeLimit() {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    TimeLimit(const TimeLimit&) = delete;
    TimeLimit& operator=(const TimeLimit&) = delete;
    bool Fired() const { return m_fired; }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
    std::atomic<bool> m_fired{false};
    std::thread m_thread;
};

constexpr double kDefaultTimeoutSeconds = 60;
constexpr double kMaxTimeoutSeconds = 30 * 24 * 3600;

/// "--timeout" takes seconds above zero (fractions allowed), at most thirty days.
std::optional<double> ParseSeconds(const std::string& text) {
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !(v > 0) || v > kMaxTimeoutSeconds) return std::nullopt;
    return v;
}

std::string SecondsText(double seconds) {
    std::ostringstream s;
    s << seconds;
    return s.str();
}

int Eval(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> files, expressions;
    std::optional<script::ScriptTarget> target;
    bool browserEnv = false;
    std::optional<std::string> address;
    double timeout = kDefaultTimeoutSeconds;
    WatchOptions watchOptions;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string watchError;
        if (watchOptions.Take(args, i, watchError)) {
            if (!watchError.empty()) return Usage(err, watchError);
        } else if (a == "--browser-env") {
            browserEnv = true;
        } else if (a == "--target" || a == "--expr" || a == "--address" || a == "--timeout") {
            if (i + 1 >= args.size()) return Usage(err, a + " 后缺少参数");
            const std::string& value = args[++i];
            if (a == "--expr") {
                expressions.push_back(value);
            } else if (a == "--timeout") {
                auto seconds = ParseSeconds(value);
                if (!seconds) return Usage(err, "--timeout 要给大于 0 的秒数（最多 30 天），不是“" + value + "”");
                timeout = *seconds;
            } else if (a == "--address") {
                address = value;
            } else if (!(target = script::TargetFromKey(value))) {
                return Usage(err, "未知的脚本目标“" + value + "”（可用 jscript 或 es2021）");
            }
        } else if (a.rfind("--", 0) == 0) {
            return Usage(err, "未知的选项“" + a + "”");
        } else {
            files.push_back(a);
        }
    }
    if (address && !browserEnv) return Usage(err, "--address 只与 --browser-env 一起使用");
    if (watchOptions.traceFile && !browserEnv) return Usage(err, "--trace 只与 --browser-env 一起使用");
    if (watchOptions.traceFile && target.value_or(script::CurrentScriptTarget()) != script::ScriptTarget::ES2021)
        return Usage(err, "--trace 记录的是 Chrome 的接口，要与 --target es2021 一起使用");
    if (files.empty()) return Usage(err, "缺少脚本文件");
    if (expressions.empty()) return Usage(err, "缺少 --expr 表达式");
    std::vector<std::string> scripts;
    for (const auto& f : files) {
        auto bytes = ReadScript(f, err);
        if (!bytes) return kExitUsage;
        scripts.push_back(std::move(*bytes));
    }
    if (target) script::SetScriptTarget(*target);

    StreamLog log(out);
    jscript::SetDebugOutput([&log](const std::u16string& text) { log.AppendLog(text::WideToAnsi(text) + "\r\n"); });
    env::SetOutput([&log](const std::u16string& line) { log.AppendLog(text::WideToAnsi(line) + "\r\n"); });
    CliWatch watch(watchOptions, log);
    TraceFile trace(watchOptions.traceFile.value_or(""));
    if (!trace.Ok()) {
        env::SetOutput(nullptr);
        jscript::SetDebugOutput(nullptr);
        err << "qingyou-js: 无法写入“" << *watchOptions.traceFile << "”\n";
        return kExitUsage;
    }
    script::ScriptSession session;
    session.SetBrowserEnvironment(browserEnv);
    if (address) session.SetPageAddressSource([a = text::Utf8ToAnsiText(*address)] { return a; });
    TextView view;
    bool engineError = false;
    // The limit covers the whole run: once it is up, the call running ends and nothing
    // after it starts.
    script::StopScope work(true);
    TimeLimit limit(timeout);
    // The files go in as one load would take them: a reset, then each as its own piece
    // of code; the first one refused ends the load with its report.
    session.ResetHost();
    bool loaded = true;
    for (size_t i = 0; i < scripts.size(); ++i) {
        const std::string& code = scripts[i];
        view.m_text = code;
        // The trace names the file as the user gave it.
        trace.NameNextAddedCode(files[i] == "-" ? "标准输入" : files[i]);
        session.Host().AddCode(code);
        if (session.ReportScriptError(log, view)) {
            engineError = true;
            loaded = false;
            break;
        }
    }
    if (loaded) log.AppendLog(text::Utf8ToAnsiText("-->代码加载成功\r\n"));
    session.WriteEnvironmentReport(log);
    session.SetCodeLoaded(true);
    for (const auto& e : expressions) {
        if (work.Stopped()) break;
        std::string expr = text::Utf8ToAnsiText(e);
        // As in the window, the echo tells one expression's lines from the next.
        log.AppendLog(text::Utf8ToAnsiText("-->计算：") + expr + "\r\n");
        session.Evaluate(expr, log, view, nullptr);
        engineError = engineError || script::GetPropertyNumber(session.Host().GetError(), "Number") != 0;
    }
    bool written = watch.Finish(err);
    written = trace.Finish(err) && written;
    jscript::SetDebugOutput(nullptr);
    env::SetOutput(nullptr);
    if (limit.Fired() && work.Stopped()) {
        err << "qingyou-js: 已超时：运行超过 " << SecondsText(timeout) << " 秒，已停止（可用 --timeout 秒数 放宽）\n";
        return kExitEngineError;
    }
    if (!written) return kExitEngineError;
    return engineError ? kExitEngineError : kExitOk;
}

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"eval", "eval [--target jscript|es2021] [--browser-env [--address 网址]] [--timeout 秒数] [--hook 函数…] [--dump-dynamic 目录] [--trace 文件] "
         "[--break-on-request 文本…] [--break-on-cookie [名称]…] 文件… "
         "--expr 表达式 [--expr 表达式…]",
         "依次加载脚本文件，再逐个计算表达式，输出与输出框相同的行；--browser-env 先运行浏览器环境"
         "（location 取自 --address），并列出脚本找过而环境没有的名字；整个运行超过 --timeout 秒（默认 60）即停止，退出码为 1；"
         "--hook 记下所给函数（如 btoa、CryptoJS.MD5）的每次调用，--dump-dynamic 把脚本运行中生成的代码（eval、Function 等）逐个写入目录，"
         "--trace 把脚本对浏览器环境的每次读取、写入和调用按顺序写入文件（每行一个 JSON，需 es2021 目标）；"
         "--break-on-request 对网址含所给文本的每个请求（含表单提交）、--break-on-cookie 对写入的（该名称的）每个 Cookie 记一行，带值和调用行",
         "qingyou-js eval md5.js --expr \"hex_md5('abc')\"",
         Eval},
        {"page", "page [--target jscript|es2021] [--address 网址] [--cookie \"a=1; b=2\"] [--profile 资料.json] [--seed 数字] "
                 "[--hook 函数…] [--dump-dynamic 目录] [--trace 文件] [--break-on-request 文本…] [--break-on-cookie [名称]…] 网页.html --expr 表达式…",
         "按浏览器的做法打开整个网页：建好 document，按文档顺序运行其中的内联脚本和本地外部脚本，触发 DOMContentLoaded 和 load，"
         "再逐个计算表达式；--seed 让随机数和时钟每次相同；--hook、--dump-dynamic、--trace、--break-on-request、--break-on-cookie 同 eval",
         "qingyou-js page index.html --expr \"document.title\"", PageCommand},
        {"format", "format 文件", "输出格式化后的代码（UTF-8，LF 换行）；文件为 - 时读标准输入",
         "qingyou-js format jquery.min.js", FormatCommand},
        {"minify", "minify 文件", "输出压缩后的代码", "qingyou-js minify app.js", MinifyCommand},
        {"unpack", "unpack [--split 目录] 文件",
         "输出 eval解密 并格式化后的代码；webpack、browserify 打包的文件按模块排列，入口在前；"
         "--split 把每个模块写成目录里的一个文件（入口为 entry.js），并列出各模块的依赖",
         "qingyou-js unpack --split modules bundle.js", UnpackCommand},
        {"decode", "decode usc|utf8|url|base64 文本", "输出解码工具的结果；文本为 - 时读标准输入",
         "qingyou-js decode url %E4%B8%AD%E6%96%87", DecodeCommand},
        {"check", "check 文件", "列出 Script Control（JScript 5.8）会拒绝的语法和没有的内置对象，每处一行，有则退出码为 1",
         "qingyou-js check sign.js", CheckCommand},
        {"serve",
         "serve [--bind 127.0.0.1] [--port 8930] [--workers N] [--target jscript|es2021] [--browser-env [--address 网址]] "
         "[--timeout 秒] [--max-body 1M] [--max-memory 512M] [--fresh] [--watch] [--token 令牌] 文件…",
         "把脚本作为本地 HTTP 服务运行：POST /call、/eval 返回 JSON，GET / 说明用法；SIGTERM 或 Ctrl+C 时做完手头的调用再退出",
         "qingyou-js serve md5.js --port 8930", ServeCommand},
    };
    return commands;
}

int Help(std::ostream& out) {
    out << "青柚JS调试工具 命令行\n\n用法: qingyou-js 命令 [参数…]\n\n命令:\n";
    for (const auto& c : Commands())
        out << "  " << c.usage << "\n      " << c.summary << "\n      例: " << c.example << "\n";
    out << "\n脚本目标: jscript = " << script::TargetDisplayName(script::ScriptTarget::JScript58)
        << "（默认），es2021 = " << script::TargetDisplayName(script::ScriptTarget::ES2021) << "\n"
        << "脚本文件: 最大 " << MaxFileBytes() / (1024 * 1024) << " MiB（环境变量 " << kMaxFileVariable
        << " 以 MiB 为单位调整），文件夹和更大的文件不读取\n"
        << "退出码: 0 全部完成，1 引擎报告了错误（或已超时），2 用法错误\n";
    return kExitOk;
}

bool IsHelp(const std::string& word) { return word == "--help" || word == "-h" || word == "help"; }

}  // namespace

bool IsCommandLine(const std::string& word) {
    if (IsHelp(word)) return true;
    for (const auto& c : Commands())
        if (word == c.name) return true;
    return false;
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || IsHelp(args[0])) return Help(out);
    for (const auto& c : Commands())
        if (args[0] == c.name) {
            if (args.size() > 1 && IsHelp(args[1])) return Help(out);
            return c.run(args, out, err);
        }
    return Usage(err, "未知的命令“" + args[0] + "”");
}

int Main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && IsHelp(args[0])) return Help(std::cout);
    if (!script::StartEngine()) {
        std::cerr << "qingyou-js: 脚本引擎无法启动\n";
        return kExitEngineError;
    }
    // A program without Qt draws with the canvas library, opened when a page first draws.
    if (!env::CurrentCanvasFactory()) env::SetCanvasFactory(LoadedCanvasFactory());
    int code = Run(args, std::cout, std::cerr);
    script::StopEngine();
    return code;
}

}  // namespace qy::cli
