/** @file UpdateCheck.h
 * Reading the update description: fields separated by the two characters backslash
 * and n, label lengths counted in CP936 bytes, double-byte characters stepped over.
 */
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "net/HttpGet.h"

namespace qy::net {

struct UpdateRecord {
    float version = 0;
    std::string downloadAddress;  ///< CP936
    std::string notes;            ///< CP936, CR LF line breaks
    std::string lastUpdate;       ///< CP936
};

/// The update address: QINGYOU_UPDATE_URL when set, else the built-in one.
std::string UpdateAddress();

/// Fields of a CP936 description; a trailing separator adds no field.
std::vector<std::string> SplitFields(const std::string& ansi);
/// Full-width digits and signs to ASCII, then read as atof does (0 when no number).
float ReadVersion(const std::string& ansiText);
/// Every "|" (not inside a double-byte character) to CR LF.
std::string NotesWithLineBreaks(const std::string& ansi);
/// The version with exactly two decimals, rounded half up.
std::string VersionWithTwoDecimals(float version);
/// The text of the update window.
std::string UpdateWindowText(const UpdateRecord& record);
/// Only http and https addresses are opened in a browser.
bool IsWebAddress(const std::string& address);

enum class UpdateOutcome { CheckFailed, UpToDate, NewerVersion };

/// Reads a fetched description (UTF-8 bytes, as the server sends it) against the own
/// version: CheckFailed when it is no description; on NewerVersion `record` holds the new
/// details (on UpToDate only its version is overwritten).
UpdateOutcome ReadUpdateDescription(const std::string& utf8Reply, float ownVersion, UpdateRecord& record);

/// Fetches and reads the description; on NewerVersion `record` holds the new details
/// (on UpToDate only its version is overwritten).
UpdateOutcome CheckForUpdate(float ownVersion, UpdateRecord& record, const std::function<void()>& pump = {});
/// The same with the caller in charge of the transfer (its cancel hook and deadline).
UpdateOutcome CheckForUpdate(float ownVersion, UpdateRecord& record, const HttpControl& control);

}  // namespace qy::net
