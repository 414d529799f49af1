// The command line on its own: the workbench's commands in a program that links no Qt,
// so that starting it maps neither Qt Widgets nor Qt GUI nor any platform plugin.
#include <iostream>

#include "cli/CommandLine.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "用法: qingyou-js-cli 命令 [参数…]（qingyou-js-cli --help 列出全部命令）\n";
        return qy::cli::kExitUsage;
    }
    return qy::cli::Main(argc, argv);
}
