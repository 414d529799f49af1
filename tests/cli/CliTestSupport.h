/** @file CliTestSupport.h
 * The command line run in the test's own process, as a shell would start it, with what
 * it printed and its status. The script target is left as it was found.
 */
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "script/ScriptTarget.h"

namespace qy::test {

struct Outcome {
    int code;
    std::string out, err;
};

inline Outcome RunCli(std::vector<std::string> args) {
    script::ScopedScriptTarget keep(script::CurrentScriptTarget());
    std::ostringstream out, err;
    int code = cli::Run(args, out, err);
    return {code, out.str(), err.str()};
}

}  // namespace qy::test
