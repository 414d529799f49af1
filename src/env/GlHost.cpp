/** @file GlHost.cpp
 * The WebGL natives: a context lives in an engine object whose finalizer frees it, and
 * a call goes by its WebGL name with its arguments (numbers, text, typed arrays).
 */
#include <js/Array.h>
#include <js/ArrayBuffer.h>
#include <js/Conversions.h>
#include <js/Object.h>
#include <js/experimental/TypedData.h>
#include <jsapi.h>
#include <jsfriendapi.h>

#include <cmath>

#include "webgl/GlContext.h"

namespace qy::env {
namespace {

constexpr int kMaxSide = 16384;
constexpr size_t kMaxArguments = 16;
constexpr double kMaxPixels = 4096.0 * 4096.0;

void FinalizeContext(JS::GCContext*, JSObject* obj) {
    delete JS::GetMaybePtrFromReservedSlot<webgl::GlContext>(obj, 0);
}

const JSClassOps kContextOps = {nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr, FinalizeContext, nullptr, nullptr, nullptr};
const JSClass kContextClass = {"GlContext", JSCLASS_HAS_RESERVED_SLOTS(1) | JSCLASS_FOREGROUND_FINALIZE,
                               &kContextOps, nullptr, nullptr, nullptr};

webgl::GlContext* ContextOf(const JS::Value& v) {
    if (!v.isObject() || JS::GetClass(&v.toObject()) != &kContextClass) return nullptr;
    return JS::GetMaybePtrFromReservedSlot<webgl::GlContext>(&v.toObject(), 0);
}

int Side(const JS::Value& v) {
    double d = v.isNumber() ? v.toNumber() : 0;
    if (!std::isfinite(d) || d < 0) return 0;
    return static_cast<int>(std::min<double>(d, kMaxSide));
}

/// A drawing buffer larger than a browser would give is made smaller, its shape kept, as
/// Chrome does (the script reads the real size from drawingBufferWidth/Height).
void Bounded(int& w, int& h) {
    double pixels = static_cast<double>(w) * h;
    if (pixels <= kMaxPixels) return;
    double scale = std::sqrt(kMaxPixels / pixels);
    w = std::max(1, static_cast<int>(w * scale));
    h = std::max(1, static_cast<int>(h * scale));
}

int Int(const JS::Value& v) {
    double d = v.isNumber() ? v.toNumber() : 0;
    return std::isfinite(d) ? static_cast<int>(std::clamp(d, -1e9, 1e9)) : 0;
}

bool Flag(JSContext* cx, JS::HandleObject o, const char* name, bool fallback, bool& out) {
    JS::RootedValue v(cx);
    if (!JS_GetProperty(cx, o, name, &v)) return false;
    out = v.isUndefined() ? fallback : JS::ToBoolean(v);
    return true;
}

/// host.glNew(width, height, attributes, two): the context, or the reason it was not made.
bool HostGlNew(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    webgl::GlAttributes attributes;
    if (args.get(2).isObject()) {
        JS::RootedObject o(cx, &args.get(2).toObject());
        if (!Flag(cx, o, "alpha", true, attributes.alpha) || !Flag(cx, o, "depth", true, attributes.depth) ||
            !Flag(cx, o, "stencil", false, attributes.stencil) ||
            !Flag(cx, o, "premultipliedAlpha", true, attributes.premultipliedAlpha) ||
            !Flag(cx, o, "antialias", true, attributes.antialias))
            return false;
    }
    attributes.version2 = JS::ToBoolean(args.get(3));
    std::string why;
    int w = Side(args.get(0)), h = Side(args.get(1));
    Bounded(w, h);
    std::unique_ptr<webgl::GlContext> context = webgl::NewGlContext(w, h, attributes, why);
    if (!context) {
        JSString* text = JS_NewStringCopyUTF8N(cx, JS::UTF8Chars(why.data(), why.size()));
        if (!text) return false;
        args.rval().setString(text);
        return true;
    }
    JSObject* obj = JS_NewObject(cx, &kContextClass);
    if (!obj) return false;
    JS::SetReservedSlot(obj, 0, JS::PrivateValue(context.release()));
    args.rval().setObject(*obj);
    return true;
}

bool SizeOf(JSContext* cx, webgl::GlContext* c, JS::MutableHandleValue out) {
    JS::RootedValueArray<2> size(cx);
    size[0].setInt32(c->Width());
    size[1].setInt32(c->Height());
    JSObject* array = JS::NewArrayObject(cx, size);
    if (!array) return false;
    out.setObject(*array);
    return true;
}

/// host.glResize(context, width, height): the drawing buffer's new size as [w, h].
bool HostGlResize(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    webgl::GlContext* c = ContextOf(args.get(0));
    if (!c) return true;
    int w = Side(args.get(1)), h = Side(args.get(2));
    Bounded(w, h);
    c->Resize(w, h);
    return SizeOf(cx, c, args.rval());
}

/// host.glSize(context): the drawing buffer's size as [w, h].
bool HostGlSize(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    webgl::GlContext* c = ContextOf(args.get(0));
    return !c || SizeOf(cx, c, args.rval());
}

/// The bytes of a typed array or array buffer.
bool BytesOf(JSObject* obj, std::vector<uint8_t>& out) {
    JS::AutoCheckCannotGC nogc;
    bool shared = false;
    if (JS_IsArrayBufferViewObject(obj)) {
        size_t length = JS_GetArrayBufferViewByteLength(obj);
        auto* raw = static_cast<uint8_t*>(JS_GetArrayBufferViewData(obj, &shared, nogc));
        out.assign(raw, raw + length);
        return true;
    }
    if (JS::IsArrayBufferObject(obj)) {
        size_t length = JS::GetArrayBufferByteLength(obj);
        uint8_t* raw = JS::GetArrayBufferData(obj, &shared, nogc);
        if (raw) out.assign(raw, raw + length);
        return true;
    }
    return false;
}

/// host.glCall(context, name, [arguments]): the call's answer (undefined, null, a
/// number, a boolean or text).
bool HostGlCall(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    webgl::GlContext* context = ContextOf(args.get(0));
    if (!context) return true;
    JS::RootedString nameText(cx, JS::ToString(cx, args.get(1)));
    if (!nameText) return false;
    JS::UniqueChars name = JS_EncodeStringToUTF8(cx, nameText);
    if (!name) return false;
    std::vector<webgl::GlArg> list;
    if (args.get(2).isObject()) {
        JS::RootedObject array(cx, &args.get(2).toObject());
        uint32_t n = 0;
        if (!JS::GetArrayLength(cx, array, &n)) return false;
        JS::RootedValue item(cx);
        for (uint32_t i = 0; i < n && i < kMaxArguments; ++i) {
            if (!JS_GetElement(cx, array, i, &item)) return false;
            webgl::GlArg arg;
            if (item.isNumber() || item.isBoolean()) {
                arg.kind = webgl::GlArg::Kind::Number;
                arg.number = item.isNumber() ? item.toNumber() : item.toBoolean();
                if (!std::isfinite(arg.number)) arg.number = 0;
            } else if (item.isString()) {
                JS::UniqueChars utf8 = JS_EncodeStringToUTF8(cx, JS::RootedString(cx, item.toString()));
                if (!utf8) return false;
                arg.kind = webgl::GlArg::Kind::Text;
                arg.text = utf8.get();
            } else if (item.isObject() && BytesOf(&item.toObject(), arg.bytes)) {
                arg.kind = webgl::GlArg::Kind::Bytes;
            }
            list.push_back(std::move(arg));
        }
    }
    webgl::GlResult r = context->Call(name.get(), list);
    switch (r.kind) {
        case webgl::GlResult::Kind::Undefined: break;
        case webgl::GlResult::Kind::Null: args.rval().setNull(); break;
        case webgl::GlResult::Kind::Number: args.rval().setNumber(r.number); break;
        case webgl::GlResult::Kind::Bool: args.rval().setBoolean(r.flag); break;
        case webgl::GlResult::Kind::Text: {
            JSString* text = JS_NewStringCopyUTF8N(cx, JS::UTF8Chars(r.text.data(), r.text.size()));
            if (!text) return false;
            args.rval().setString(text);
            break;
        }
    }
    return true;
}

/// host.glRead(context, x, y, w, h, typed): readPixels into a typed array of the
/// script's (RGBA bytes, as many as fit).
bool HostGlRead(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    webgl::GlContext* context = ContextOf(args.get(0));
    int w = Int(args.get(3)), h = Int(args.get(4));
    if (!context || w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide || !args.get(5).isObject()) return true;
    JS::RootedObject target(cx, &args.get(5).toObject());
    if (!JS_IsArrayBufferViewObject(target)) return true;
    std::vector<uint8_t> bytes = context->Read(Int(args.get(1)), Int(args.get(2)), w, h);
    JS::AutoCheckCannotGC nogc;
    bool shared = false;
    size_t length = JS_GetArrayBufferViewByteLength(target);
    auto* raw = static_cast<uint8_t*>(JS_GetArrayBufferViewData(target, &shared, nogc));
    std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(length, bytes.size())), raw);
    return true;
}

/// host.glImage(context): the drawing buffer as RGBA bytes, top row first, not
/// premultiplied (what a data address or another canvas shows).
bool HostGlImage(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setNull();
    webgl::GlContext* context = ContextOf(args.get(0));
    if (!context) return true;
    std::vector<uint8_t> bytes = context->Image();
    JS::RootedObject array(cx, JS_NewUint8ClampedArray(cx, bytes.size()));
    if (!array) return false;
    {
        JS::AutoCheckCannotGC nogc;
        bool shared = false;
        uint8_t* data = JS_GetUint8ClampedArrayData(array, &shared, nogc);
        std::copy(bytes.begin(), bytes.end(), data);
    }
    args.rval().setObject(*array);
    return true;
}

const JSFunctionSpec kGlFunctions[] = {
    JS_FN("glNew", HostGlNew, 4, 0),   JS_FN("glResize", HostGlResize, 3, 0), JS_FN("glCall", HostGlCall, 3, 0),
    JS_FN("glRead", HostGlRead, 6, 0), JS_FN("glImage", HostGlImage, 1, 0),   JS_FN("glSize", HostGlSize, 1, 0),
    JS_FS_END,
};

}  // namespace

/// Defines the WebGL natives on `host`.
bool DefineGlHost(JSContext* cx, JS::HandleObject host) { return JS_DefineFunctions(cx, host, kGlFunctions); }

}  // namespace qy::env
