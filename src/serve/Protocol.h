/** @file Protocol.h
 * What passes between the service and its engine workers over one socket pair: frames
 * of a four-byte length and the bytes. A request is an operation letter and its JSON
 * body; a reply is a three-digit HTTP status and the JSON body the caller gets.
 */
#pragma once

#include <string>
#include <string_view>

namespace qy::serve::protocol {

inline constexpr char kSetup = 'S';  ///< settings header, a line break, then the scripts' bytes
inline constexpr char kCall = 'C';
inline constexpr char kEval = 'E';

/// The longest frame either side accepts (a loaded script travels in one).
inline constexpr size_t kMaxFrame = size_t(256) << 20;

/// Writes one frame made of `head` then `body`; false when the peer is gone.
bool WriteFrame(int fd, std::string_view head, std::string_view body);

enum class ReadResult { Ok, Closed, TimedOut };
/// Reads one frame into `out`, waiting at most `timeoutMs` (negative: for ever).
ReadResult ReadFrame(int fd, std::string& out, int timeoutMs);

}  // namespace qy::serve::protocol
