// Reading a script file's bytes, as the open dialog and the command line do, in every
// choice of encoding: the counts add up to the file, the text holds no zero byte, and
// writing the text back in the encoding read gives bytes that read as the same text.
#include "FuzzSupport.h"
#include "text/CodePage.h"
#include "text/ScriptFileText.h"

using namespace qy::text;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes = qy::fuzz::Bytes(data, size);
    for (FileEncoding choice : {FileEncoding::Auto, FileEncoding::Utf8, FileEncoding::Utf8Bom, FileEncoding::Utf16Le,
                                FileEncoding::Utf16Be, FileEncoding::Gbk}) {
        const DecodedFile file = DecodeScriptFile(bytes, choice);
        QY_FUZZ_CHECK(file.encoding != FileEncoding::Auto);
        QY_FUZZ_CHECK(file.keptBytes + file.droppedBytes == size);
        QY_FUZZ_CHECK(file.cut == (file.droppedBytes > 0));
        QY_FUZZ_CHECK(file.text.find('\0') == std::string::npos);
        QY_FUZZ_CHECK(file.invalidSequences == 0 || file.encoding == FileEncoding::Utf8 ||
                      file.encoding == FileEncoding::Utf8Bom);
        if (choice == FileEncoding::Gbk) QY_FUZZ_CHECK(file.text == bytes.substr(0, bytes.find('\0')));
        const bool utf16 = file.encoding == FileEncoding::Utf16Le || file.encoding == FileEncoding::Utf16Be;
        // Outside UTF-16 the text ends at the first zero byte, and nowhere else.
        if (!utf16) QY_FUZZ_CHECK(file.keptBytes == bytes.substr(0, bytes.find('\0')).size());

        const std::string written = EncodeScriptFile(file.text, file.encoding);
        const DecodedFile again = DecodeScriptFile(written, file.encoding);
        QY_FUZZ_CHECK(again.text == file.text);
        QY_FUZZ_CHECK(again.encoding == file.encoding);
        QY_FUZZ_CHECK(!again.cut && again.droppedBytes == 0 && again.keptBytes == written.size());
        QY_FUZZ_CHECK(again.invalidSequences == 0);
        // A recognised UTF-8 or UTF-16 file is recognised again without a choice (workbench
        // bytes cut at a zero byte may well look like something else once written).
        if (choice == FileEncoding::Auto && file.encoding != FileEncoding::Gbk) {
            QY_FUZZ_CHECK(DecodeScriptFile(written).encoding == file.encoding);
            QY_FUZZ_CHECK(DecodeScriptFile(written).text == file.text);
        }
    }
    return 0;
}
