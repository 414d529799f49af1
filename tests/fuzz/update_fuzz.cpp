// Reading an update description from arbitrary reply bytes: fields split at the two
// characters backslash-n only outside double-byte characters and join back to the text,
// the version is atof's reading of its field, the notes lose every '|' to CR LF, and the
// window's text shows the version with two decimals.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "FuzzSupport.h"
#include "decode/Encoding.h"
#include "net/UpdateCheck.h"

using namespace qy::net;

namespace {

/// No '|' stands outside a double-byte character.
bool HasBarOutsideCharacters(const std::string& s) {
    for (size_t i = 0; i < s.size(); ++i) {
        if (static_cast<unsigned char>(s[i]) >= 0x80 && i + 1 < s.size()) ++i;
        else if (s[i] == '|') return true;
    }
    return false;
}

bool SameFloat(float a, float b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string reply(qy::fuzz::Bytes(data, size));
    const std::string ansi = qy::decode::Utf8ToAnsi(reply);

    const std::vector<std::string> fields = SplitFields(ansi);
    std::string joined;
    for (size_t i = 0; i < fields.size(); ++i) joined += (i ? "\\n" : "") + fields[i];
    QY_FUZZ_CHECK(joined == ansi || joined + "\\n" == ansi);

    UpdateRecord record;
    record.version = -7;
    const UpdateOutcome outcome = ReadUpdateDescription(reply, 1.0f, record);
    QY_FUZZ_CHECK((outcome == UpdateOutcome::CheckFailed) == (fields.size() < 5));
    if (outcome == UpdateOutcome::CheckFailed) {
        QY_FUZZ_CHECK(record.version == -7);
        return 0;
    }
    const std::string versionText = fields[0].size() > 7 ? fields[0].substr(7) : std::string();
    QY_FUZZ_CHECK(SameFloat(record.version, ReadVersion(versionText)));
    QY_FUZZ_CHECK((outcome == UpdateOutcome::NewerVersion) == (record.version > 1.0f));
    if (outcome == UpdateOutcome::UpToDate) return 0;

    QY_FUZZ_CHECK(!HasBarOutsideCharacters(record.notes));
    const std::string window = UpdateWindowText(record);
    const std::string twoDecimals = VersionWithTwoDecimals(record.version);
    QY_FUZZ_CHECK(window.find(twoDecimals) != std::string::npos);
    if (std::isfinite(record.version)) {
        const char* dot = std::strchr(twoDecimals.c_str(), '.');
        QY_FUZZ_CHECK(dot && std::strlen(dot) == 3);
        QY_FUZZ_CHECK(std::fabs(std::strtod(twoDecimals.c_str(), nullptr) - record.version) <= 0.005 + 1e-6 * record.version);
    }
    return 0;
}
