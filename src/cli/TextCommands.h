/** @file TextCommands.h
 * The commands that turn a script (or a text) into text: format, minify, unpack,
 * decode, and check for what JScript 5.8 would refuse.
 */
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace qy::cli {

int FormatCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int MinifyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int UnpackCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int DecodeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int CheckCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qy::cli
