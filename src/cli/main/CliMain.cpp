// qingyou-js: the workbench's one program name. A command (eval, format, …, --help) runs
// here, in a program that links no Qt, so its start-up maps neither Qt Widgets nor Qt GUI
// nor any platform plugin; anything else starts the window program that is built beside
// this one, with the same arguments.
#include <malloc.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>

#include "cli/CliSupport.h"
#include "cli/CommandLine.h"

namespace {

constexpr const char* kWindowProgram = "qingyou-js-gui";

// The folder this program was started from, as the kernel knows it (argv[0] may be a
// bare name found on PATH, or a symbolic link).
std::string OwnFolder() {
    std::string path(4096, '\0');
    ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0) return ".";
    path.resize(static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

int main(int argc, char** argv) {
    // A page may draw on canvases, which takes Qt's GUI module: the window program runs
    // it (headless); without that program it runs here, its canvases inert.
    if (argc > 1 && std::strcmp(argv[1], "page") == 0 && !(argc > 2 && std::strcmp(argv[2], "--help") == 0)) {
        std::string window = OwnFolder() + "/" + kWindowProgram;
        execv(window.c_str(), argv);
    }
    if (argc > 1 && qy::cli::IsCommandLine(argv[1])) {
        // A command lives for one piece of work: the large texts it frees on the way stay
        // with the process for the next conversion instead of going back to the system
        // and faulting in afresh (about a fifth of a 5 MB format's whole time).
        mallopt(M_MMAP_THRESHOLD, 256 << 20);
        mallopt(M_TRIM_THRESHOLD, 512 << 20);
        return qy::cli::Main(argc, argv);
    }
    // A word that is neither a command, an option for the window (-style …) nor an
    // existing file is a mistyped command: say so rather than open the window.
    if (argc > 1 && argv[1][0] != '-' && access(argv[1], F_OK) != 0)
        return qy::cli::Usage(std::cerr, std::string("未知的命令“") + argv[1] + "”");
    // argv[0] stays as given: the window takes its application and window-class name from it.
    std::string window = OwnFolder() + "/" + kWindowProgram;
    execv(window.c_str(), argv);
    int error = errno;
    const char* reason = error == ENOENT ? "没有这个文件" : error == EACCES ? "没有执行权限" : std::strerror(error);
    std::cerr << "qingyou-js: 无法启动窗口程序“" << window << "”：" << reason << "\n"
              << "命令行用法见 qingyou-js --help\n";
    return error == ENOENT ? 127 : 126;  // as a shell answers a program it cannot start
}
