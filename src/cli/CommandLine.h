/** @file CommandLine.h
 * The workbench from the shell. One table of commands; each reads its arguments, writes
 * UTF-8 to standard output and Chinese messages to standard error, and returns the exit
 * status: 0 when everything ran, 1 when an engine error was reported, 2 for bad usage.
 */
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace qy::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitEngineError = 1;
inline constexpr int kExitUsage = 2;

/// True when `word` (argv[1]) names a command or asks for help: the program then runs
/// headless instead of opening its window.
bool IsCommandLine(const std::string& word);

/// Runs the command in `args` (args[0] is the command's name). The engine must be running.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

/// Whole-process entry: starts and stops the engine around Run.
int Main(int argc, char** argv);

}  // namespace qy::cli
