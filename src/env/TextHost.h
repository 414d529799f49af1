/** @file TextHost.h
 * The native behind the page's decoders of legacy encodings (TextDecoder, FileReader).
 */
#pragma once

#include <jsapi.h>

namespace qy::env {

/// host.decode(bytes, encoding, fatal): `bytes` (a typed array or ArrayBuffer) decoded
/// from `encoding` (an Encoding Standard name other than UTF-8 and UTF-16) as a string;
/// null when the encoding is unknown or, with `fatal`, when the bytes do not decode.
bool HostDecode(JSContext* cx, unsigned argc, JS::Value* vp);

}  // namespace qy::env
