/** @file CssHost.cpp
 * host.css() and its natives cssDeclare, cssValue, cssText, cssLonghands, cssColor,
 * cssComputedNames, cssComputedShorthand and styles: CSS values for the
 * environment's styles. A style's declarations come in as one flat array (name, value,
 * importance, name, …).
 */
#include "env/CssHost.h"

#include <js/Array.h>
#include <js/Conversions.h>
#include <js/PropertyAndElement.h>
#include <js/Object.h>
#include <js/String.h>

#include <string>
#include <vector>

#include "env/CssValues.h"

namespace qy::env {
namespace {

bool TextOf(JSContext* cx, JS::HandleValue v, std::string& out) {
    out.clear();
    if (!v.isString()) return true;
    JS::RootedString s(cx, v.toString());
    JS::UniqueChars utf8 = JS_EncodeStringToUTF8(cx, s);
    if (!utf8) return false;
    out = utf8.get();
    return true;
}

bool ValueOfText(JSContext* cx, const std::string& text, JS::MutableHandleValue out) {
    JSString* s = JS_NewStringCopyUTF8N(cx, JS::UTF8Chars(text.data(), text.size()));
    if (!s) return false;
    out.setString(s);
    return true;
}

bool ArrayOfTexts(JSContext* cx, const std::vector<std::string>& texts, JS::MutableHandleValue out) {
    JS::RootedObject array(cx, JS::NewArrayObject(cx, texts.size()));
    if (!array) return false;
    JS::RootedValue item(cx);
    for (size_t k = 0; k < texts.size(); ++k)
        if (!ValueOfText(cx, texts[k], &item) || !JS_SetElement(cx, array, static_cast<uint32_t>(k), item)) return false;
    out.setObject(*array);
    return true;
}

// A style's declarations from their flat array.
bool ReadStyle(JSContext* cx, JS::HandleValue v, std::vector<css::Declared>& style) {
    if (!v.isObject()) return true;
    JS::RootedObject array(cx, &v.toObject());
    uint32_t length = 0;
    if (!JS::GetArrayLength(cx, array, &length)) return false;
    JS::RootedValue item(cx);
    for (uint32_t k = 0; k + 3 <= length; k += 3) {
        css::Declared d;
        if (!JS_GetElement(cx, array, k, &item) || !TextOf(cx, item, d.name)) return false;
        if (!JS_GetElement(cx, array, k + 1, &item) || !TextOf(cx, item, d.value)) return false;
        if (!JS_GetElement(cx, array, k + 2, &item)) return false;
        d.important = JS::ToBoolean(item);
        style.push_back(std::move(d));
    }
    return true;
}

/// host.cssDeclare(name, value): [longhand, value, …] as the style keeps them, or null
/// when the style refuses the declaration.
bool CssDeclare(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    std::string name, value;
    if (!TextOf(cx, args.get(0), name) || !TextOf(cx, args.get(1), value)) return false;
    std::vector<css::Longhand> set = css::Declare(name, value);
    if (set.empty()) {
        args.rval().setNull();
        return true;
    }
    std::vector<std::string> flat;
    for (css::Longhand& l : set) {
        flat.push_back(std::move(l.name));
        flat.push_back(std::move(l.value));
    }
    return ArrayOfTexts(cx, flat, args.rval());
}

/// host.cssValue(name, declarations): the value the property reads.
bool CssValue(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    std::string name;
    std::vector<css::Declared> style;
    if (!TextOf(cx, args.get(0), name) || !ReadStyle(cx, args.get(1), style)) return false;
    return ValueOfText(cx, css::ValueOf(name, style), args.rval());
}

/// host.cssText(declarations): the style's text.
bool CssText(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    std::vector<css::Declared> style;
    if (!ReadStyle(cx, args.get(0), style)) return false;
    return ValueOfText(cx, css::TextOf(style), args.rval());
}

/// host.cssLonghands(name): the longhands the property stands for ([] for none).
bool CssLonghands(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    std::string name;
    if (!TextOf(cx, args.get(0), name)) return false;
    return ArrayOfTexts(cx, css::LonghandsOf(name), args.rval());
}

/// host.cssColor(value): the colour as rgb()/rgba(), "currentcolor", or "" for no colour.
bool CssColor(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    std::string value;
    if (!TextOf(cx, args.get(0), value)) return false;
    return ValueOfText(cx, css::ResolvedColor(value), args.rval());
}

/// host.cssComputedNames(): [name, inherited, initial value, …] for every computed property.
bool CssComputedNames(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    const std::vector<css::ComputedProperty>& all = css::ComputedProperties();
    JS::RootedObject array(cx, JS::NewArrayObject(cx, all.size() * 3));
    if (!array) return false;
    JS::RootedValue item(cx);
    uint32_t k = 0;
    for (const css::ComputedProperty& p : all) {
        if (!ValueOfText(cx, std::string(p.name), &item) || !JS_SetElement(cx, array, k++, item)) return false;
        item.setBoolean(p.inherited);
        if (!JS_SetElement(cx, array, k++, item)) return false;
        if (!ValueOfText(cx, std::string(p.initial), &item) || !JS_SetElement(cx, array, k++, item)) return false;
    }
    args.rval().setObject(*array);
    return true;
}

/// host.cssComputedShorthand(name, values): a computed shorthand from its longhands' values.
bool CssComputedShorthand(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    std::string name;
    if (!TextOf(cx, args.get(0), name)) return false;
    std::vector<std::string> values;
    if (args.get(1).isObject()) {
        JS::RootedObject array(cx, &args.get(1).toObject());
        uint32_t length = 0;
        if (!JS::GetArrayLength(cx, array, &length)) return false;
        JS::RootedValue item(cx);
        for (uint32_t k = 0; k < length; ++k) {
            std::string v;
            if (!JS_GetElement(cx, array, k, &item) || !TextOf(cx, item, v)) return false;
            values.push_back(std::move(v));
        }
    }
    return ValueOfText(cx, css::ComputedShorthand(name, values), args.rval());
}

const JSFunctionSpec kCssFunctions[] = {
    JS_FN("cssDeclare", CssDeclare, 2, 0),
    JS_FN("cssValue", CssValue, 2, 0),
    JS_FN("cssText", CssText, 1, 0),
    JS_FN("cssLonghands", CssLonghands, 1, 0),
    JS_FN("cssColor", CssColor, 1, 0),
    JS_FN("cssComputedNames", CssComputedNames, 0, 0),
    JS_FN("cssComputedShorthand", CssComputedShorthand, 2, 0),
    JS_FN("cssName", HostCssName, 1, 0),
    JS_FN("styles", HostStyles, 1, 0),
    JS_FS_END,
};

}  // namespace

// The page's natives are made once and kept on host.css itself (out of the page's reach
// as the host is).
bool HostCss(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS::RootedObject self(cx, &args.callee());
    JS::RootedValue made(cx);
    if (!JS_GetProperty(cx, self, "natives", &made)) return false;
    if (made.isObject()) {
        args.rval().set(made);
        return true;
    }
    JS::RootedObject natives(cx, JS_NewPlainObject(cx));
    if (!natives || !JS_DefineFunctions(cx, natives, kCssFunctions) || !JS_DefineProperty(cx, self, "natives", natives, 0))
        return false;
    args.rval().setObject(*natives);
    return true;
}

}  // namespace qy::env
