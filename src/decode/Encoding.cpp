#include "decode/Encoding.h"

#include "text/CodePage.h"

namespace qy::decode {

std::u16string Utf8ToWide(std::string_view utf8) { return text::Utf8ToUtf16(utf8); }

std::string WideToAnsi(std::u16string_view wide) { return text::WideToAnsi(wide); }

// Straight from UTF-8: through UTF-16 an invalid sequence would become U+FFFD, which
// the workbench's code page encodes, where the user is to see '?'.
std::string Utf8ToAnsi(std::string_view utf8) { return text::Utf8ToAnsiText(utf8); }

}  // namespace qy::decode
