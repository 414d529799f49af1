#include "decode/Encoding.h"

#include "text/CodePage.h"

namespace qy::decode {

std::u16string Utf8ToWide(std::string_view utf8) { return text::Utf8ToUtf16(utf8); }

std::string WideToAnsi(std::u16string_view wide) { return text::WideToAnsi(wide); }

std::string Utf8ToAnsi(std::string_view utf8) { return WideToAnsi(Utf8ToWide(utf8)); }

}  // namespace qy::decode
