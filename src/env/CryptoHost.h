/** @file CryptoHost.h
 * The natives behind the page's Web Crypto (crypto.subtle): digests, HMAC, AES in its
 * three modes and the two key derivations, over the system's crypto library. What the
 * page sees of keys and algorithms is the environment script's; these only compute.
 */
#pragma once

#include <jsapi.h>

namespace qy::env {

/// Defines host.digest, host.hmac, host.aes, host.pbkdf2 and host.hkdf on `host`.
bool DefineCryptoHost(JSContext* cx, JS::HandleObject host);

}  // namespace qy::env
