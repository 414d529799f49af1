#include "jscript/SourceGate.h"

namespace qy::jscript {

PreparedCode PrepareJScript(std::u16string_view source, ConditionalState&, CodeKind) {
    PreparedCode p;
    p.code = std::u16string(source);
    return p;
}

}  // namespace qy::jscript
