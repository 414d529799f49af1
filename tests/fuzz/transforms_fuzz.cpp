// Format, minify and unpack of arbitrary text through the engine's tool scripts: a call
// either gives text or keeps the engine's Error object, formatted text ends every line
// in CR LF, and the unpacker is never worse than its input (code that compiled still
// compiles, and a text it gives up on comes back unchanged).
#include "FuzzEngine.h"
#include "FuzzSupport.h"
#include "script/ScriptHost.h"
#include "transform/Transforms.h"

using namespace qy;

namespace {

bool EveryLineEndsInCrLf(const std::string& s) {
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) return false;
        if (s[i] == '\r' && (i + 1 == s.size() || s[i + 1] != '\n')) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qy::fuzz::StartEngineForRun();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes = qy::fuzz::Bytes(data, size);
    const std::string text(bytes.substr(0, bytes.find('\0')));

    const transform::ToolResult formatted = transform::FormatScript(text);
    if (formatted.ok) QY_FUZZ_CHECK(EveryLineEndsInCrLf(formatted.text));
    else QY_FUZZ_CHECK(formatted.error != nullptr);

    const transform::ToolResult minified = transform::MinifyScript(text);
    if (!minified.ok) QY_FUZZ_CHECK(minified.error != nullptr);

    script::ScriptHost host;
    transform::UnpackOptions options;
    options.stepLimit = std::chrono::milliseconds(500);
    const transform::UnpackResult unpacked = transform::UnpackScript(host, text, options);
    QY_FUZZ_CHECK(!unpacked.stopped);
    if (unpacked.ok && unpacked.text != text && transform::CompilesInCurrentTarget(text)) {
        QY_FUZZ_CHECK(transform::CompilesInCurrentTarget(unpacked.text));
    }
    if (!unpacked.ok) QY_FUZZ_CHECK(unpacked.text == text);
    return 0;
}
