/** @file CanvasHost.cpp
 * The canvas natives: a surface lives in an engine object whose finalizer frees it, so
 * a canvas the page drops takes its pixels with it.
 */
#include "env/CanvasHost.h"

#include <js/Array.h>
#include <js/Conversions.h>
#include <js/Object.h>
#include <js/experimental/TypedData.h>
#include <jsapi.h>
#include <jsfriendapi.h>

#include <cmath>

#include "text/CodePage.h"

namespace qy::env {
namespace {

constexpr int kMaxSide = 16384;
constexpr double kMaxPixels = 64.0 * 1024 * 1024;

CanvasFactory& Factory() {
    static CanvasFactory factory;
    return factory;
}

void FinalizeSurface(JS::GCContext*, JSObject* obj) {
    delete JS::GetMaybePtrFromReservedSlot<CanvasSurface>(obj, 0);
}

const JSClassOps kSurfaceOps = {nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr, FinalizeSurface, nullptr, nullptr, nullptr};
const JSClass kSurfaceClass = {"CanvasSurface", JSCLASS_HAS_RESERVED_SLOTS(1) | JSCLASS_FOREGROUND_FINALIZE,
                               &kSurfaceOps, nullptr, nullptr, nullptr};

CanvasSurface* SurfaceOf(const JS::Value& v) {
    if (!v.isObject() || JS::GetClass(&v.toObject()) != &kSurfaceClass) return nullptr;
    return JS::GetMaybePtrFromReservedSlot<CanvasSurface>(&v.toObject(), 0);
}

int Side(const JS::Value& v) {
    double d = v.isNumber() ? v.toNumber() : 0;
    if (!std::isfinite(d) || d < 0) return 0;
    return static_cast<int>(std::min<double>(d, kMaxSide));
}

bool Sized(int w, int h) { return static_cast<double>(w) * h <= kMaxPixels; }

bool HostCanvasNew(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setNull();
    int w = Side(args.get(0)), h = Side(args.get(1));
    if (!Factory() || !Sized(w, h)) return true;
    std::unique_ptr<CanvasSurface> surface = Factory()(w, h);
    if (!surface) return true;
    JSObject* obj = JS_NewObject(cx, &kSurfaceClass);
    if (!obj) return false;
    JS::SetReservedSlot(obj, 0, JS::PrivateValue(surface.release()));
    args.rval().setObject(*obj);
    return true;
}

bool HostCanvasResize(JSContext*, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    int w = Side(args.get(1)), h = Side(args.get(2));
    if (CanvasSurface* s = SurfaceOf(args.get(0)); s && Sized(w, h)) s->Resize(w, h);
    return true;
}

/// host.canvasCall(surface, method, [arguments]): numbers stay numbers, anything else
/// goes as text.
bool HostCanvasCall(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    CanvasSurface* s = SurfaceOf(args.get(0));
    if (!s) return true;
    JS::RootedString methodText(cx, JS::ToString(cx, args.get(1)));
    if (!methodText) return false;
    JS::UniqueChars method = JS_EncodeStringToUTF8(cx, methodText);
    if (!method) return false;
    std::vector<CanvasArg> list;
    if (args.get(2).isObject()) {
        JS::RootedObject array(cx, &args.get(2).toObject());
        uint32_t n = 0;
        if (!JS::GetArrayLength(cx, array, &n)) return false;
        JS::RootedValue item(cx);
        for (uint32_t i = 0; i < n && i < 64; ++i) {
            if (!JS_GetElement(cx, array, i, &item)) return false;
            if (item.isNumber()) {
                list.emplace_back(item.toNumber());
                continue;
            }
            JS::RootedString text(cx, JS::ToString(cx, item));
            if (!text) return false;
            JS::UniqueChars utf8 = JS_EncodeStringToUTF8(cx, text);
            if (!utf8) return false;
            list.emplace_back(std::string(utf8.get()));
        }
    }
    std::string answer = s->Call(method.get(), list);
    JSString* out = JS_NewStringCopyUTF8N(cx, JS::UTF8Chars(answer.data(), answer.size()));
    if (!out) return false;
    args.rval().setString(out);
    return true;
}

bool HostCanvasDraw(JSContext*, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    CanvasSurface* to = SurfaceOf(args.get(0));
    CanvasSurface* from = SurfaceOf(args.get(1));
    if (!to || !from) return true;
    double rect[8];
    for (unsigned i = 0; i < 8; ++i) {
        rect[i] = args.get(2 + i).isNumber() ? args.get(2 + i).toNumber() : 0;
        if (!std::isfinite(rect[i])) return true;
    }
    to->DrawSurface(*from, rect);
    return true;
}

/// host.canvasRead(surface, x, y, w, h, typed): the pixels as a Uint8ClampedArray
/// (typed) or a plain array.
bool HostCanvasRead(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setNull();
    CanvasSurface* s = SurfaceOf(args.get(0));
    auto num = [&](unsigned i) {
        double d = args.get(i).isNumber() ? args.get(i).toNumber() : 0;
        return std::isfinite(d) ? static_cast<int>(std::clamp(d, -1e9, 1e9)) : 0;
    };
    int x = num(1), y = num(2), w = num(3), h = num(4);
    if (!s || w <= 0 || h <= 0 || !Sized(w, h)) return true;
    std::vector<uint8_t> bytes = s->Read(x, y, w, h);
    if (JS::ToBoolean(args.get(5))) {
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
    JS::RootedValueVector values(cx);
    if (!values.reserve(bytes.size())) return false;
    for (uint8_t b : bytes) values.infallibleAppend(JS::Int32Value(b));
    JSObject* array = JS::NewArrayObject(cx, values);
    if (!array) return false;
    args.rval().setObject(*array);
    return true;
}

/// host.canvasWrite(surface, data, w, h, dx, dy): data a typed array or a plain array.
bool HostCanvasWrite(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    CanvasSurface* s = SurfaceOf(args.get(0));
    int w = Side(args.get(2)), h = Side(args.get(3));
    auto num = [&](unsigned i) {
        double d = args.get(i).isNumber() ? args.get(i).toNumber() : 0;
        return std::isfinite(d) ? static_cast<int>(std::clamp(d, -1e9, 1e9)) : 0;
    };
    if (!s || !args.get(1).isObject() || w == 0 || h == 0 || !Sized(w, h)) return true;
    size_t need = static_cast<size_t>(w) * h * 4;
    std::vector<uint8_t> bytes(need, 0);
    JS::RootedObject data(cx, &args.get(1).toObject());
    if (JS_IsArrayBufferViewObject(data)) {
        JS::AutoCheckCannotGC nogc;
        bool shared = false;
        size_t length = JS_GetArrayBufferViewByteLength(data);
        auto* raw = static_cast<uint8_t*>(JS_GetArrayBufferViewData(data, &shared, nogc));
        std::copy(raw, raw + std::min(length, need), bytes.begin());
    } else {
        JS::RootedValue item(cx);
        for (size_t i = 0; i < need; ++i) {
            if (!JS_GetElement(cx, data, static_cast<uint32_t>(i), &item)) return false;
            double d = item.isNumber() ? item.toNumber() : 0;
            bytes[i] = static_cast<uint8_t>(std::isfinite(d) ? std::clamp(std::round(d), 0.0, 255.0) : 0);
        }
    }
    s->Write(bytes.data(), w, h, num(4), num(5));
    return true;
}

const JSFunctionSpec kCanvasFunctions[] = {
    JS_FN("canvasNew", HostCanvasNew, 2, 0),   JS_FN("canvasResize", HostCanvasResize, 3, 0),
    JS_FN("canvasCall", HostCanvasCall, 3, 0), JS_FN("canvasDraw", HostCanvasDraw, 10, 0),
    JS_FN("canvasRead", HostCanvasRead, 6, 0), JS_FN("canvasWrite", HostCanvasWrite, 6, 0),
    JS_FS_END,
};

}  // namespace

void SetCanvasFactory(CanvasFactory factory) { Factory() = std::move(factory); }
const CanvasFactory& CurrentCanvasFactory() { return Factory(); }

/// Defines the canvas natives on `host` when a factory is set.
bool DefineCanvasHost(JSContext* cx, JS::HandleObject host) {
    if (!Factory()) return true;
    return JS_DefineFunctions(cx, host, kCanvasFunctions);
}

}  // namespace qy::env
