#include "net/UpdateCheck.h"
#include "text/CNumbers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "decode/Encoding.h"
#include "net/HttpGet.h"
#include "text/CodePage.h"

namespace qy::net {
namespace {

constexpr const char* kDefaultUpdateAddress = "http://update.example.org/Control.txt";
constexpr size_t kVersionLabel = 7;
constexpr size_t kAddressLabel = 13;
constexpr size_t kTimeLabel = 6;

bool IsLead(unsigned char c) { return c >= 0x80; }

std::string AfterLabel(const std::string& field, size_t label) {
    return field.size() > label ? field.substr(label) : std::string();
}

std::string Ansi(const char* utf8) { return text::Utf8ToAnsiText(utf8); }

}  // namespace

std::string UpdateAddress() {
    const char* env = std::getenv("QINGYOU_UPDATE_URL");
    return env && *env ? env : kDefaultUpdateAddress;
}

std::vector<std::string> SplitFields(const std::string& s) {
    std::vector<std::string> fields;
    std::string current;
    for (size_t i = 0; i < s.size(); ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        if (IsLead(c) && i + 1 < s.size()) {
            current.push_back(s[i]);
            current.push_back(s[++i]);
        } else if (c == '\\' && i + 1 < s.size() && s[i + 1] == 'n') {
            fields.push_back(std::move(current));
            current.clear();
            ++i;
        } else {
            current.push_back(s[i]);
        }
    }
    if (!current.empty()) fields.push_back(std::move(current));
    return fields;
}

float ReadVersion(const std::string& s) {
    std::string ascii;
    for (size_t i = 0; i < s.size(); ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        if (IsLead(c) && i + 1 < s.size()) {
            auto t = static_cast<unsigned char>(s[i + 1]);
            if (c == 0xA3 && t >= 0xA1 && t <= 0xFE) ascii.push_back(static_cast<char>(t - 0x80));
            else if (c == 0xA1 && t == 0xA1) ascii.push_back(' ');
            else { ascii.push_back(s[i]); ascii.push_back(s[i + 1]); }
            ++i;
        } else {
            ascii.push_back(s[i]);
        }
    }
    // atof's reading exactly (one sign, hexadecimal and infinite forms, overflow to
    // infinity), independent of the process locale's decimal point.
    return static_cast<float>(text::ParseNumberC(ascii.c_str()));
}

std::string NotesWithLineBreaks(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        if (IsLead(c) && i + 1 < s.size()) {
            out.push_back(s[i]);
            out.push_back(s[++i]);
        } else if (c == '|') {
            out += "\r\n";
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

std::string VersionWithTwoDecimals(float version) {
    double rounded = std::floor(static_cast<double>(version) * 100.0 + 0.5) / 100.0;
    return text::FormatNumberC("%.2f", rounded);
}

std::string UpdateWindowText(const UpdateRecord& r) {
    return Ansi("最新版本:") + VersionWithTwoDecimals(r.version) + Ansi("\r\n下载地址:") + r.downloadAddress +
           Ansi("\r\n更新信息:\r\n") + r.notes + Ansi("\r\n\r\n最后更新时间:") + r.lastUpdate;
}

bool IsWebAddress(const std::string& address) {
    auto lower = address.substr(0, 8);
    for (auto& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0;
}

UpdateOutcome CheckForUpdate(float ownVersion, UpdateRecord& record, const std::function<void()>& pump) {
    HttpControl control;
    control.pump = pump;
    return CheckForUpdate(ownVersion, record, control);
}

UpdateOutcome CheckForUpdate(float ownVersion, UpdateRecord& record, const HttpControl& control) {
    HttpResult result = HttpGet(UpdateAddress(), control);
    return ReadUpdateDescription(result.ok ? result.body : std::string(), ownVersion, record);
}

UpdateOutcome ReadUpdateDescription(const std::string& reply, float ownVersion, UpdateRecord& record) {
    std::vector<std::string> fields = SplitFields(decode::Utf8ToAnsi(reply));
    // A reply that is not an update description says nothing about versions.
    if (fields.size() < 5) return UpdateOutcome::CheckFailed;
    record.version = ReadVersion(AfterLabel(fields[0], kVersionLabel));
    if (!(record.version > ownVersion)) return UpdateOutcome::UpToDate;
    record.downloadAddress = AfterLabel(fields[1], kAddressLabel);
    record.notes = NotesWithLineBreaks(fields[3]);
    record.lastUpdate = AfterLabel(fields[4], kTimeLabel);
    return UpdateOutcome::NewerVersion;
}

}  // namespace qy::net
