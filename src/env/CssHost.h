/** @file CssHost.h
 * The natives through which the environment's styles keep and write CSS values (see
 * CssValues.h). The host has one of them, host.css(), which makes an object with the
 * others when a page first uses a style.
 */
#pragma once

#include <jsapi.h>

namespace qy::env {

/// host.css(): the page's object holding the CSS natives (made on the first call).
bool HostCss(JSContext* cx, unsigned argc, JS::Value* vp);

/// cssName(name): the dashed name of a CSS property a style answers to (Environment.cpp).
bool HostCssName(JSContext* cx, unsigned argc, JS::Value* vp);

/// styles(computed): the function that makes the inline styles' parts (styles.js) or the
/// computed styles' (computed.js), run in the current realm (one of the CSS natives;
/// Environment.cpp, which runs the environment's scripts, has it).
bool HostStyles(JSContext* cx, unsigned argc, JS::Value* vp);

}  // namespace qy::env
