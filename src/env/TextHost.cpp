#include "env/TextHost.h"

#include <js/ArrayBuffer.h>
#include <js/experimental/TypedData.h>
#include <js/Conversions.h>
#include <js/String.h>

#include <string>

#include "text/WebDecoders.h"

namespace qy::env {

bool HostDecode(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setNull();
    JS::RootedString name(cx, JS::ToString(cx, args.get(1)));
    if (!name) return false;
    JS::UniqueChars encoding = JS_EncodeStringToUTF8(cx, name);
    if (!encoding) return false;
    std::string bytes;
    if (args.get(0).isObject()) {
        JSObject* obj = &args.get(0).toObject();
        JS::AutoCheckCannotGC nogc;
        bool shared = false;
        if (JS_IsArrayBufferViewObject(obj)) {
            auto* raw = static_cast<const char*>(JS_GetArrayBufferViewData(obj, &shared, nogc));
            bytes.assign(raw, JS_GetArrayBufferViewByteLength(obj));
        } else if (JS::IsArrayBufferObject(obj)) {
            size_t length = 0;
            uint8_t* data = nullptr;
            JS::GetArrayBufferLengthAndData(obj, &length, &shared, &data);
            bytes.assign(reinterpret_cast<const char*>(data), length);
        }
    }
    std::optional<std::u16string> text = text::DecodeWeb(bytes, encoding.get(), JS::ToBoolean(args.get(2)));
    if (!text) return true;
    JSString* s = JS_NewUCStringCopyN(cx, text->data(), text->size());
    if (!s) return false;
    args.rval().setString(s);
    return true;
}

}  // namespace qy::env
