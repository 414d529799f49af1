#include "env/CryptoHost.h"

#include <js/ArrayBuffer.h>
#include <js/Conversions.h>
#include <js/experimental/TypedData.h>
#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/kdf.h>
#include <openssl/ec.h>
#include <openssl/ecdsa.h>
#include <openssl/err.h>
#include <openssl/param_build.h>
#include <openssl/params.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qy::env {
namespace {

using Bytes = std::vector<unsigned char>;

/// The bytes of a typed array, a DataView or an ArrayBuffer (empty for anything else).
Bytes BytesOf(JS::HandleValue v) {
    Bytes out;
    if (!v.isObject()) return out;
    JSObject* obj = &v.toObject();
    JS::AutoCheckCannotGC nogc;
    bool shared = false;
    if (JS_IsArrayBufferViewObject(obj)) {
        auto* raw = static_cast<const unsigned char*>(JS_GetArrayBufferViewData(obj, &shared, nogc));
        out.assign(raw, raw + JS_GetArrayBufferViewByteLength(obj));
    } else if (JS::IsArrayBufferObject(obj)) {
        size_t length = 0;
        uint8_t* data = nullptr;
        JS::GetArrayBufferLengthAndData(obj, &length, &shared, &data);
        out.assign(data, data + length);
    }
    return out;
}

std::string TextOf(JSContext* cx, JS::HandleValue v) {
    JS::RootedString s(cx, JS::ToString(cx, v));
    if (!s) return {};
    JS::UniqueChars chars = JS_EncodeStringToUTF8(cx, s);
    return chars ? std::string(chars.get()) : std::string();
}

/// `bytes` as a new ArrayBuffer in `rv`.
bool Give(JSContext* cx, const Bytes& bytes, JS::MutableHandleValue rv) {
    void* copy = std::malloc(bytes.empty() ? 1 : bytes.size());
    if (!copy) {
        JS_ReportOutOfMemory(cx);
        return false;
    }
    if (!bytes.empty()) std::memcpy(copy, bytes.data(), bytes.size());
    JSObject* buffer = JS::NewArrayBufferWithContents(cx, bytes.size(), copy);
    if (!buffer) {
        std::free(copy);
        return false;
    }
    rv.setObject(*buffer);
    return true;
}

/// A digest by its Web Crypto name, or null.
const EVP_MD* DigestNamed(const std::string& name) {
    if (name == "SHA-1") return EVP_sha1();
    if (name == "SHA-256") return EVP_sha256();
    if (name == "SHA-384") return EVP_sha384();
    if (name == "SHA-512") return EVP_sha512();
    return nullptr;
}

struct CipherCtxFree {
    void operator()(EVP_CIPHER_CTX* c) const { EVP_CIPHER_CTX_free(c); }
};
using CipherCtx = std::unique_ptr<EVP_CIPHER_CTX, CipherCtxFree>;

const EVP_CIPHER* AesCipher(const std::string& mode, size_t keyBytes) {
    bool cbc = mode == "AES-CBC", gcm = mode == "AES-GCM", ecb = mode == "ECB";
    switch (keyBytes) {
        case 16: return cbc ? EVP_aes_128_cbc() : gcm ? EVP_aes_128_gcm() : ecb ? EVP_aes_128_ecb() : nullptr;
        case 24: return cbc ? EVP_aes_192_cbc() : gcm ? EVP_aes_192_gcm() : ecb ? EVP_aes_192_ecb() : nullptr;
        case 32: return cbc ? EVP_aes_256_cbc() : gcm ? EVP_aes_256_gcm() : ecb ? EVP_aes_256_ecb() : nullptr;
        default: return nullptr;
    }
}

std::optional<Bytes> Cbc(bool encrypt, const Bytes& key, const Bytes& iv, const Bytes& data) {
    const EVP_CIPHER* cipher = AesCipher("AES-CBC", key.size());
    CipherCtx ctx(EVP_CIPHER_CTX_new());
    if (!cipher || !ctx || iv.size() != 16) return std::nullopt;
    if (EVP_CipherInit_ex(ctx.get(), cipher, nullptr, key.data(), iv.data(), encrypt ? 1 : 0) != 1) return std::nullopt;
    Bytes out(data.size() + 32);
    int n = 0, last = 0;
    if (EVP_CipherUpdate(ctx.get(), out.data(), &n, data.data(), static_cast<int>(data.size())) != 1) return std::nullopt;
    if (EVP_CipherFinal_ex(ctx.get(), out.data() + n, &last) != 1) return std::nullopt;
    out.resize(static_cast<size_t>(n + last));
    return out;
}

std::optional<Bytes> Gcm(bool encrypt, const Bytes& key, const Bytes& iv, const Bytes& data, const Bytes& aad, int tagBytes) {
    const EVP_CIPHER* cipher = AesCipher("AES-GCM", key.size());
    CipherCtx ctx(EVP_CIPHER_CTX_new());
    if (!cipher || !ctx || iv.empty() || tagBytes < 4 || tagBytes > 16) return std::nullopt;
    if (!encrypt && data.size() < static_cast<size_t>(tagBytes)) return std::nullopt;
    size_t bodySize = encrypt ? data.size() : data.size() - static_cast<size_t>(tagBytes);
    if (EVP_CipherInit_ex(ctx.get(), cipher, nullptr, nullptr, nullptr, encrypt ? 1 : 0) != 1 ||
        EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_IVLEN, static_cast<int>(iv.size()), nullptr) != 1 ||
        EVP_CipherInit_ex(ctx.get(), nullptr, nullptr, key.data(), iv.data(), -1) != 1)
        return std::nullopt;
    int n = 0;
    if (!aad.empty() && EVP_CipherUpdate(ctx.get(), nullptr, &n, aad.data(), static_cast<int>(aad.size())) != 1) return std::nullopt;
    Bytes out(bodySize + 16 + static_cast<size_t>(tagBytes));
    if (EVP_CipherUpdate(ctx.get(), out.data(), &n, data.data(), static_cast<int>(bodySize)) != 1) return std::nullopt;
    if (!encrypt) {
        Bytes tag(data.end() - tagBytes, data.end());
        if (EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_TAG, tagBytes, tag.data()) != 1) return std::nullopt;
    }
    int last = 0;
    if (EVP_CipherFinal_ex(ctx.get(), out.data() + n, &last) != 1) return std::nullopt;
    size_t size = static_cast<size_t>(n + last);
    if (encrypt) {
        if (EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_GET_TAG, tagBytes, out.data() + size) != 1) return std::nullopt;
        size += static_cast<size_t>(tagBytes);
    }
    out.resize(size);
    return out;
}

/// AES key wrap (RFC 3394), as AES-KW wraps and unwraps; nullopt when the data does not
/// unwrap with this key.
std::optional<Bytes> Kw(bool wrap, const Bytes& key, const Bytes& data) {
    const EVP_CIPHER* cipher = key.size() == 16 ? EVP_aes_128_wrap() : key.size() == 24 ? EVP_aes_192_wrap()
                               : key.size() == 32 ? EVP_aes_256_wrap() : nullptr;
    CipherCtx ctx(EVP_CIPHER_CTX_new());
    if (!cipher || !ctx || data.size() < (wrap ? 16u : 24u) || data.size() % 8) return std::nullopt;
    EVP_CIPHER_CTX_set_flags(ctx.get(), EVP_CIPHER_CTX_FLAG_WRAP_ALLOW);
    if (EVP_CipherInit_ex(ctx.get(), cipher, nullptr, key.data(), nullptr, wrap ? 1 : 0) != 1) return std::nullopt;
    Bytes out(data.size() + 16);
    int n = 0, last = 0;
    if (EVP_CipherUpdate(ctx.get(), out.data(), &n, data.data(), static_cast<int>(data.size())) != 1 || n <= 0 ||
        EVP_CipherFinal_ex(ctx.get(), out.data() + n, &last) != 1) {
        ERR_clear_error();
        return std::nullopt;
    }
    out.resize(static_cast<size_t>(n + last));
    return out;
}

/// CTR as Web Crypto has it: only the counter block's rightmost `lengthBits` bits count
/// up (and wrap), the rest stays as given.
std::optional<Bytes> Ctr(const Bytes& key, const Bytes& counter, int lengthBits, const Bytes& data) {
    const EVP_CIPHER* cipher = AesCipher("ECB", key.size());
    CipherCtx ctx(EVP_CIPHER_CTX_new());
    if (!cipher || !ctx || counter.size() != 16 || lengthBits < 1 || lengthBits > 128) return std::nullopt;
    if (EVP_EncryptInit_ex(ctx.get(), cipher, nullptr, key.data(), nullptr) != 1) return std::nullopt;
    EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
    Bytes block = counter, out(data.size());
    unsigned char stream[16];
    for (size_t at = 0; at < data.size(); at += 16) {
        int n = 0;
        if (EVP_EncryptUpdate(ctx.get(), stream, &n, block.data(), 16) != 1 || n != 16) return std::nullopt;
        for (size_t k = 0; k < 16 && at + k < data.size(); ++k) out[at + k] = data[at + k] ^ stream[k];
        // The next counter: add one to the low bits only.
        int bits = lengthBits;
        for (int i = 15; i >= 0 && bits > 0; --i) {
            int take = bits >= 8 ? 8 : bits;
            unsigned mask = take == 8 ? 0xFFu : ((1u << take) - 1u);
            unsigned low = block[static_cast<size_t>(i)] & mask;
            unsigned next = (low + 1u) & mask;
            block[static_cast<size_t>(i)] = static_cast<unsigned char>((block[static_cast<size_t>(i)] & ~mask) | next);
            bits -= take;
            if (next != 0) break;
        }
    }
    return out;
}

// host.digest(name, data): an ArrayBuffer, or null for an unknown digest.
bool HostDigest(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setNull();
    const EVP_MD* md = DigestNamed(TextOf(cx, args.get(0)));
    if (!md) return true;
    Bytes data = BytesOf(args.get(1)), out(EVP_MAX_MD_SIZE);
    unsigned n = 0;
    if (EVP_Digest(data.data(), data.size(), out.data(), &n, md, nullptr) != 1) return true;
    out.resize(n);
    return Give(cx, out, args.rval());
}

// host.hmac(hash, key, data): an ArrayBuffer, or null.
bool HostHmac(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setNull();
    const EVP_MD* md = DigestNamed(TextOf(cx, args.get(0)));
    if (!md) return true;
    Bytes key = BytesOf(args.get(1)), data = BytesOf(args.get(2)), out(EVP_MAX_MD_SIZE);
    unsigned n = 0;
    static const unsigned char kNone = 0;
    if (!HMAC(md, key.empty() ? &kNone : key.data(), static_cast<int>(key.size()), data.data(), data.size(), out.data(), &n))
        return true;
    out.resize(n);
    return Give(cx, out, args.rval());
}

// host.aes(mode, encrypt, key, iv, data, tagBits, additionalData, counterBits): an
// ArrayBuffer, or null when the operation fails (a wrong tag, bad padding, bad sizes).
bool HostAes(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setNull();
    std::string mode = TextOf(cx, args.get(0));
    bool encrypt = JS::ToBoolean(args.get(1));
    Bytes key = BytesOf(args.get(2)), iv = BytesOf(args.get(3)), data = BytesOf(args.get(4)), aad = BytesOf(args.get(6));
    double tagBits = args.get(5).isNumber() ? args.get(5).toNumber() : 128;
    double counterBits = args.get(7).isNumber() ? args.get(7).toNumber() : 0;
    std::optional<Bytes> out;
    if (mode == "AES-CBC") out = Cbc(encrypt, key, iv, data);
    else if (mode == "AES-GCM") out = Gcm(encrypt, key, iv, data, aad, static_cast<int>(tagBits) / 8);
    else if (mode == "AES-CTR") out = Ctr(key, iv, static_cast<int>(counterBits), data);
    else if (mode == "AES-KW") out = Kw(encrypt, key, data);
    if (!out) return true;
    return Give(cx, *out, args.rval());
}

// host.pbkdf2(hash, password, salt, iterations, bits): an ArrayBuffer, or null.
bool HostPbkdf2(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setNull();
    const EVP_MD* md = DigestNamed(TextOf(cx, args.get(0)));
    Bytes password = BytesOf(args.get(1)), salt = BytesOf(args.get(2));
    double iterations = args.get(3).isNumber() ? args.get(3).toNumber() : 0, bits = args.get(4).isNumber() ? args.get(4).toNumber() : 0;
    if (!md || !(iterations >= 1) || iterations > 1e8 || !(bits >= 0) || bits > 1e6 || std::fmod(bits, 8) != 0) return true;
    Bytes out(static_cast<size_t>(bits / 8));
    static const unsigned char kNone = 0;
    if (!out.empty() && PKCS5_PBKDF2_HMAC(reinterpret_cast<const char*>(password.empty() ? &kNone : password.data()),
                                          static_cast<int>(password.size()), salt.empty() ? &kNone : salt.data(),
                                          static_cast<int>(salt.size()), static_cast<int>(iterations), md,
                                          static_cast<int>(out.size()), out.data()) != 1)
        return true;
    return Give(cx, out, args.rval());
}

// host.hkdf(hash, key, salt, info, bits): an ArrayBuffer, or null.
bool HostHkdf(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setNull();
    std::string hash = TextOf(cx, args.get(0));
    const EVP_MD* md = DigestNamed(hash);
    Bytes key = BytesOf(args.get(1)), salt = BytesOf(args.get(2)), info = BytesOf(args.get(3));
    double bits = args.get(4).isNumber() ? args.get(4).toNumber() : 0;
    if (!md || !(bits >= 0) || bits > 255.0 * 8 * EVP_MD_get_size(md) || std::fmod(bits, 8) != 0) return true;
    Bytes out(static_cast<size_t>(bits / 8));
    if (out.empty()) return Give(cx, out, args.rval());
    std::unique_ptr<EVP_KDF, decltype(&EVP_KDF_free)> kdf(EVP_KDF_fetch(nullptr, "HKDF", nullptr), EVP_KDF_free);
    std::unique_ptr<EVP_KDF_CTX, decltype(&EVP_KDF_CTX_free)> ctx(kdf ? EVP_KDF_CTX_new(kdf.get()) : nullptr, EVP_KDF_CTX_free);
    if (!ctx) return true;
    std::string digest = EVP_MD_get0_name(md);
    static unsigned char kNone = 0;
    OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_KDF_PARAM_DIGEST, digest.data(), 0),
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_KEY, key.empty() ? &kNone : key.data(), key.size()),
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_SALT, salt.empty() ? &kNone : salt.data(), salt.size()),
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_INFO, info.empty() ? &kNone : info.data(), info.size()),
        OSSL_PARAM_construct_end(),
    };
    if (EVP_KDF_derive(ctx.get(), out.data(), out.size(), params) != 1) return true;
    return Give(cx, out, args.rval());
}

// host.sameBytes(a, b): whether two byte strings are equal, in time that does not depend
// on where they differ.
bool HostSameBytes(JSContext*, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    Bytes a = BytesOf(args.get(0)), b = BytesOf(args.get(1));
    args.rval().setBoolean(a.size() == b.size() && (a.empty() || CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0));
    return true;
}

// ---- public-key algorithms -------------------------------------------------------------
// Keys travel between the script and here as DER (SPKI for public keys, PKCS #8 for
// private ones): each operation reads its key again.

struct PkeyFree {
    void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); }
};
using Pkey = std::unique_ptr<EVP_PKEY, PkeyFree>;
struct PkeyCtxFree {
    void operator()(EVP_PKEY_CTX* c) const { EVP_PKEY_CTX_free(c); }
};
using PkeyCtx = std::unique_ptr<EVP_PKEY_CTX, PkeyCtxFree>;
struct BnFree {
    void operator()(BIGNUM* b) const { BN_free(b); }
};
using Bn = std::unique_ptr<BIGNUM, BnFree>;

Pkey ReadKey(const Bytes& der, bool isPrivate) {
    const unsigned char* p = der.data();
    EVP_PKEY* k = isPrivate ? d2i_AutoPrivateKey(nullptr, &p, static_cast<long>(der.size()))
                            : d2i_PUBKEY(nullptr, &p, static_cast<long>(der.size()));
    ERR_clear_error();
    if (k && p != der.data() + der.size()) {
        EVP_PKEY_free(k);
        return nullptr;
    }
    return Pkey(k);
}

Bytes PublicDer(EVP_PKEY* k) {
    unsigned char* out = nullptr;
    int n = i2d_PUBKEY(k, &out);
    Bytes der;
    if (n > 0) der.assign(out, out + n);
    OPENSSL_free(out);
    return der;
}

Bytes PrivateDer(EVP_PKEY* k) {
    Bytes der;
    PKCS8_PRIV_KEY_INFO* info = EVP_PKEY2PKCS8(k);
    if (!info) return der;
    unsigned char* out = nullptr;
    int n = i2d_PKCS8_PRIV_KEY_INFO(info, &out);
    if (n > 0) der.assign(out, out + n);
    OPENSSL_free(out);
    PKCS8_PRIV_KEY_INFO_free(info);
    return der;
}

/// A curve's Web Crypto name and its byte size, from the key; empty for another curve.
std::string CurveOf(EVP_PKEY* k, size_t* size = nullptr) {
    char name[64] = {0};
    size_t len = 0;
    if (EVP_PKEY_get_utf8_string_param(k, OSSL_PKEY_PARAM_GROUP_NAME, name, sizeof name, &len) != 1) return {};
    std::string n(name, len);
    size_t bytes = 0;
    std::string curve;
    if (n == "prime256v1" || n == "P-256") curve = "P-256", bytes = 32;
    else if (n == "secp384r1" || n == "P-384") curve = "P-384", bytes = 48;
    else if (n == "secp521r1" || n == "P-521") curve = "P-521", bytes = 66;
    if (size) *size = bytes;
    return curve;
}

const char* GroupOfCurve(const std::string& curve) {
    if (curve == "P-256") return "prime256v1";
    if (curve == "P-384") return "secp384r1";
    if (curve == "P-521") return "secp521r1";
    return nullptr;
}

Bytes BnBytes(const BIGNUM* b, size_t size = 0) {
    Bytes out(size ? size : static_cast<size_t>(BN_num_bytes(b)));
    if (size) BN_bn2binpad(b, out.data(), static_cast<int>(size));
    else BN_bn2bin(b, out.data());
    return out;
}

Bytes BnParam(EVP_PKEY* k, const char* name, size_t size = 0) {
    BIGNUM* b = nullptr;
    if (EVP_PKEY_get_bn_param(k, name, &b) != 1) return {};
    Bn owned(b);
    return BnBytes(b, size);
}

bool SetBytes(JSContext* cx, JS::HandleObject obj, const char* name, const Bytes& bytes) {
    JS::RootedValue v(cx);
    if (!Give(cx, bytes, &v)) return false;
    return JS_DefineProperty(cx, obj, name, v, JSPROP_ENUMERATE);
}

bool SetText(JSContext* cx, JS::HandleObject obj, const char* name, const std::string& text) {
    JS::RootedString s(cx, JS_NewStringCopyN(cx, text.data(), text.size()));
    return s && JS_DefineProperty(cx, obj, name, s, JSPROP_ENUMERATE);
}

bool SetNumber(JSContext* cx, JS::HandleObject obj, const char* name, double n) {
    JS::RootedValue v(cx, JS::NumberValue(n));
    return JS_DefineProperty(cx, obj, name, v, JSPROP_ENUMERATE);
}

/// What the script keeps of a key: {kind, private, der, spki, bits, exponent, curve,
/// fields of its JWK (as bytes)}.
bool Describe(JSContext* cx, EVP_PKEY* k, bool isPrivate, JS::MutableHandleValue rv) {
    JS::RootedObject o(cx, JS_NewPlainObject(cx));
    if (!o) return false;
    int id = EVP_PKEY_get_base_id(k);
    bool rsa = id == EVP_PKEY_RSA;
    if (!rsa && id != EVP_PKEY_EC) {
        rv.setNull();
        return true;
    }
    JS::RootedValue flag(cx, JS::BooleanValue(isPrivate));
    if (!SetText(cx, o, "kind", rsa ? "RSA" : "EC") || !JS_DefineProperty(cx, o, "private", flag, JSPROP_ENUMERATE) ||
        !SetBytes(cx, o, "der", isPrivate ? PrivateDer(k) : PublicDer(k)) || !SetBytes(cx, o, "spki", PublicDer(k)))
        return false;
    if (rsa) {
        if (!SetNumber(cx, o, "bits", EVP_PKEY_get_bits(k)) || !SetBytes(cx, o, "n", BnParam(k, OSSL_PKEY_PARAM_RSA_N)) ||
            !SetBytes(cx, o, "e", BnParam(k, OSSL_PKEY_PARAM_RSA_E)))
            return false;
        if (isPrivate) {
            const std::pair<const char*, const char*> parts[] = {
                {"d", OSSL_PKEY_PARAM_RSA_D},          {"p", OSSL_PKEY_PARAM_RSA_FACTOR1},     {"q", OSSL_PKEY_PARAM_RSA_FACTOR2},
                {"dp", OSSL_PKEY_PARAM_RSA_EXPONENT1}, {"dq", OSSL_PKEY_PARAM_RSA_EXPONENT2}, {"qi", OSSL_PKEY_PARAM_RSA_COEFFICIENT1},
            };
            for (const auto& [jwk, param] : parts)
                if (!SetBytes(cx, o, jwk, BnParam(k, param))) return false;
        }
    } else {
        size_t size = 0;
        std::string curve = CurveOf(k, &size);
        if (curve.empty()) {
            rv.setNull();
            return true;
        }
        if (!SetText(cx, o, "curve", curve) || !SetBytes(cx, o, "x", BnParam(k, OSSL_PKEY_PARAM_EC_PUB_X, size)) ||
            !SetBytes(cx, o, "y", BnParam(k, OSSL_PKEY_PARAM_EC_PUB_Y, size)))
            return false;
        if (isPrivate && !SetBytes(cx, o, "d", BnParam(k, OSSL_PKEY_PARAM_PRIV_KEY, size))) return false;
    }
    rv.setObject(*o);
    return true;
}

Bytes Field(JSContext* cx, JS::HandleObject obj, const char* name) {
    JS::RootedValue v(cx);
    if (!JS_GetProperty(cx, obj, name, &v)) return {};
    return BytesOf(v);
}

/// A key made from its JWK fields (as bytes) or an EC point: kind "RSA" or "EC".
Pkey FromFields(JSContext* cx, const std::string& kind, const std::string& curve, JS::HandleObject f, bool isPrivate) {
    std::unique_ptr<OSSL_PARAM_BLD, decltype(&OSSL_PARAM_BLD_free)> bld(OSSL_PARAM_BLD_new(), OSSL_PARAM_BLD_free);
    std::vector<Bn> keep;
    auto bn = [&](const Bytes& b) {
        keep.emplace_back(BN_bin2bn(b.data(), static_cast<int>(b.size()), nullptr));
        return keep.back().get();
    };
    if (!bld) return nullptr;
    Bytes point;
    if (kind == "RSA") {
        Bytes n = Field(cx, f, "n"), e = Field(cx, f, "e");
        if (n.empty() || e.empty()) return nullptr;
        OSSL_PARAM_BLD_push_BN(bld.get(), OSSL_PKEY_PARAM_RSA_N, bn(n));
        OSSL_PARAM_BLD_push_BN(bld.get(), OSSL_PKEY_PARAM_RSA_E, bn(e));
        if (isPrivate) {
            const std::pair<const char*, const char*> parts[] = {
                {"d", OSSL_PKEY_PARAM_RSA_D},          {"p", OSSL_PKEY_PARAM_RSA_FACTOR1},     {"q", OSSL_PKEY_PARAM_RSA_FACTOR2},
                {"dp", OSSL_PKEY_PARAM_RSA_EXPONENT1}, {"dq", OSSL_PKEY_PARAM_RSA_EXPONENT2}, {"qi", OSSL_PKEY_PARAM_RSA_COEFFICIENT1},
            };
            for (const auto& [jwk, param] : parts) {
                Bytes b = Field(cx, f, jwk);
                if (b.empty()) return nullptr;
                OSSL_PARAM_BLD_push_BN(bld.get(), param, bn(b));
            }
        }
    } else {
        const char* group = GroupOfCurve(curve);
        if (!group) return nullptr;
        point = Field(cx, f, "point");
        if (point.empty()) {
            Bytes x = Field(cx, f, "x"), y = Field(cx, f, "y");
            if (x.empty() || y.empty() || x.size() != y.size()) return nullptr;
            point.push_back(4);
            point.insert(point.end(), x.begin(), x.end());
            point.insert(point.end(), y.begin(), y.end());
        }
        OSSL_PARAM_BLD_push_utf8_string(bld.get(), OSSL_PKEY_PARAM_GROUP_NAME, group, 0);
        OSSL_PARAM_BLD_push_octet_string(bld.get(), OSSL_PKEY_PARAM_PUB_KEY, point.data(), point.size());
        if (isPrivate) {
            Bytes d = Field(cx, f, "d");
            if (d.empty()) return nullptr;
            OSSL_PARAM_BLD_push_BN(bld.get(), OSSL_PKEY_PARAM_PRIV_KEY, bn(d));
        }
    }
    std::unique_ptr<OSSL_PARAM, decltype(&OSSL_PARAM_free)> params(OSSL_PARAM_BLD_to_param(bld.get()), OSSL_PARAM_free);
    PkeyCtx ctx(EVP_PKEY_CTX_new_from_name(nullptr, kind == "RSA" ? "RSA" : "EC", nullptr));
    EVP_PKEY* k = nullptr;
    if (!params || !ctx || EVP_PKEY_fromdata_init(ctx.get()) != 1 ||
        EVP_PKEY_fromdata(ctx.get(), &k, isPrivate ? EVP_PKEY_KEYPAIR : EVP_PKEY_PUBLIC_KEY, params.get()) != 1) {
        ERR_clear_error();
        return nullptr;
    }
    Pkey made(k);
    // A point not on the curve, or an RSA key whose parts do not agree, is no key.
    PkeyCtx check(EVP_PKEY_CTX_new_from_pkey(nullptr, k, nullptr));
    int ok = check ? (isPrivate ? EVP_PKEY_pairwise_check(check.get()) : EVP_PKEY_public_check(check.get())) : 0;
    ERR_clear_error();
    return ok == 1 ? std::move(made) : nullptr;
}

// host.keyRead(format, data, isPrivate, curve): the key's description (see Describe), or
// null when the data holds no such key. format: "der" (SPKI or PKCS #8), "jwk" (data:
// fields as bytes, with kind), "raw" (an EC point).
bool HostKeyRead(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setNull();
    std::string format = TextOf(cx, args.get(0));
    bool isPrivate = JS::ToBoolean(args.get(2));
    std::string curve = args.get(3).isString() ? TextOf(cx, args.get(3)) : std::string();
    Pkey k;
    if (format == "der") {
        k = ReadKey(BytesOf(args.get(1)), isPrivate);
    } else if (args.get(1).isObject()) {
        JS::RootedObject fields(cx, &args.get(1).toObject());
        JS::RootedValue kindValue(cx);
        if (!JS_GetProperty(cx, fields, "kind", &kindValue)) return false;
        std::string kind = format == "raw" ? "EC" : TextOf(cx, kindValue);
        k = FromFields(cx, kind, curve, fields, isPrivate);
    }
    if (!k) return true;
    return Describe(cx, k.get(), isPrivate, args.rval());
}

// host.keyMake(kind, bitsOrCurve, exponent): a new pair {privateKey, publicKey} of
// descriptions, or null.
bool HostKeyMake(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setNull();
    std::string kind = TextOf(cx, args.get(0));
    EVP_PKEY* made = nullptr;
    if (kind == "RSA") {
        double bits = args.get(1).isNumber() ? args.get(1).toNumber() : 0;
        Bytes e = BytesOf(args.get(2));
        if (!(bits >= 256 && bits <= 16384) || std::fmod(bits, 8) != 0 || e.empty() || e.size() > 8) return true;
        PkeyCtx ctx(EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr));
        Bn exponent(BN_bin2bn(e.data(), static_cast<int>(e.size()), nullptr));
        if (!ctx || EVP_PKEY_keygen_init(ctx.get()) != 1 || EVP_PKEY_CTX_set_rsa_keygen_bits(ctx.get(), static_cast<int>(bits)) != 1 ||
            EVP_PKEY_CTX_set1_rsa_keygen_pubexp(ctx.get(), exponent.get()) != 1 || EVP_PKEY_generate(ctx.get(), &made) != 1) {
            ERR_clear_error();
            return true;
        }
    } else {
        const char* group = GroupOfCurve(TextOf(cx, args.get(1)));
        if (!group) return true;
        made = EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", group);
        ERR_clear_error();
        if (!made) return true;
    }
    Pkey pair(made);
    JS::RootedObject o(cx, JS_NewPlainObject(cx));
    JS::RootedValue priv(cx), pub(cx);
    if (!o || !Describe(cx, pair.get(), true, &priv) || !Describe(cx, pair.get(), false, &pub) ||
        !JS_DefineProperty(cx, o, "privateKey", priv, JSPROP_ENUMERATE) || !JS_DefineProperty(cx, o, "publicKey", pub, JSPROP_ENUMERATE))
        return false;
    args.rval().setObject(*o);
    return true;
}

/// An ECDSA signature as DER, from Web Crypto's r||s (and back).
Bytes EcdsaToDer(const Bytes& raw) {
    Bytes der;
    if (raw.empty() || raw.size() % 2) return der;
    size_t half = raw.size() / 2;
    ECDSA_SIG* sig = ECDSA_SIG_new();
    BIGNUM* r = BN_bin2bn(raw.data(), static_cast<int>(half), nullptr);
    BIGNUM* s = BN_bin2bn(raw.data() + half, static_cast<int>(half), nullptr);
    if (!sig || !r || !s || ECDSA_SIG_set0(sig, r, s) != 1) {
        BN_free(r);
        BN_free(s);
        ECDSA_SIG_free(sig);
        return der;
    }
    unsigned char* out = nullptr;
    int n = i2d_ECDSA_SIG(sig, &out);
    if (n > 0) der.assign(out, out + n);
    OPENSSL_free(out);
    ECDSA_SIG_free(sig);
    return der;
}

Bytes EcdsaFromDer(const Bytes& der, size_t size) {
    const unsigned char* p = der.data();
    ECDSA_SIG* sig = d2i_ECDSA_SIG(nullptr, &p, static_cast<long>(der.size()));
    Bytes raw;
    if (!sig) return raw;
    const BIGNUM *r = nullptr, *s = nullptr;
    ECDSA_SIG_get0(sig, &r, &s);
    raw = BnBytes(r, size);
    Bytes sb = BnBytes(s, size);
    raw.insert(raw.end(), sb.begin(), sb.end());
    ECDSA_SIG_free(sig);
    return raw;
}

/// Sets a signing or encrypting context's RSA padding as the algorithm asks.
bool RsaPadding(EVP_PKEY_CTX* ctx, const std::string& alg, const EVP_MD* md, int saltLength, const Bytes& label) {
    if (alg == "RSASSA-PKCS1-v1_5") return EVP_PKEY_CTX_set_rsa_padding(ctx, RSA_PKCS1_PADDING) == 1;
    if (alg == "RSA-PSS")
        return EVP_PKEY_CTX_set_rsa_padding(ctx, RSA_PKCS1_PSS_PADDING) == 1 && EVP_PKEY_CTX_set_rsa_pss_saltlen(ctx, saltLength) == 1 &&
               EVP_PKEY_CTX_set_rsa_mgf1_md(ctx, md) == 1;
    if (alg == "RSA-OAEP") {
        if (EVP_PKEY_CTX_set_rsa_padding(ctx, RSA_PKCS1_OAEP_PADDING) != 1 || EVP_PKEY_CTX_set_rsa_oaep_md(ctx, md) != 1 ||
            EVP_PKEY_CTX_set_rsa_mgf1_md(ctx, md) != 1)
            return false;
        if (label.empty()) return true;
        void* copy = OPENSSL_memdup(label.data(), label.size());
        if (EVP_PKEY_CTX_set0_rsa_oaep_label(ctx, copy, static_cast<int>(label.size())) != 1) {
            OPENSSL_free(copy);
            return false;
        }
        return true;
    }
    return true;
}

// host.keySign(alg, pkcs8, hash, data, saltLength): the signature, or null.
bool HostKeySign(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setNull();
    std::string alg = TextOf(cx, args.get(0));
    Pkey k = ReadKey(BytesOf(args.get(1)), true);
    const EVP_MD* md = DigestNamed(TextOf(cx, args.get(2)));
    Bytes data = BytesOf(args.get(3));
    int salt = args.get(4).isNumber() ? static_cast<int>(args.get(4).toNumber()) : 0;
    if (!k || !md) return true;
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> mctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    EVP_PKEY_CTX* pctx = nullptr;
    size_t n = 0;
    if (!mctx || EVP_DigestSignInit(mctx.get(), &pctx, md, nullptr, k.get()) != 1 || !RsaPadding(pctx, alg, md, salt, {}) ||
        EVP_DigestSign(mctx.get(), nullptr, &n, data.data(), data.size()) != 1) {
        ERR_clear_error();
        return true;
    }
    Bytes sig(n);
    if (EVP_DigestSign(mctx.get(), sig.data(), &n, data.data(), data.size()) != 1) {
        ERR_clear_error();
        return true;
    }
    sig.resize(n);
    if (alg == "ECDSA") {
        size_t size = 0;
        CurveOf(k.get(), &size);
        sig = EcdsaFromDer(sig, size);
    }
    return Give(cx, sig, args.rval());
}

// host.keyVerify(alg, spki, hash, signature, data, saltLength): whether it verifies.
bool HostKeyVerify(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setBoolean(false);
    std::string alg = TextOf(cx, args.get(0));
    Pkey k = ReadKey(BytesOf(args.get(1)), false);
    const EVP_MD* md = DigestNamed(TextOf(cx, args.get(2)));
    Bytes sig = BytesOf(args.get(3)), data = BytesOf(args.get(4));
    int salt = args.get(5).isNumber() ? static_cast<int>(args.get(5).toNumber()) : 0;
    if (!k || !md) return true;
    if (alg == "ECDSA") {
        size_t size = 0;
        CurveOf(k.get(), &size);
        if (sig.size() != size * 2) return true;
        sig = EcdsaToDer(sig);
    }
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> mctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    EVP_PKEY_CTX* pctx = nullptr;
    bool ok = mctx && EVP_DigestVerifyInit(mctx.get(), &pctx, md, nullptr, k.get()) == 1 && RsaPadding(pctx, alg, md, salt, {}) &&
              EVP_DigestVerify(mctx.get(), sig.data(), sig.size(), data.data(), data.size()) == 1;
    ERR_clear_error();
    args.rval().setBoolean(ok);
    return true;
}

// host.rsaOaep(encrypt, der, hash, label, data): the result, or null.
bool HostRsaOaep(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setNull();
    bool encrypt = JS::ToBoolean(args.get(0));
    Pkey k = ReadKey(BytesOf(args.get(1)), !encrypt);
    const EVP_MD* md = DigestNamed(TextOf(cx, args.get(2)));
    Bytes label = BytesOf(args.get(3)), data = BytesOf(args.get(4));
    if (!k || !md) return true;
    PkeyCtx ctx(EVP_PKEY_CTX_new_from_pkey(nullptr, k.get(), nullptr));
    size_t n = 0;
    auto run = [&](unsigned char* out, size_t* size) {
        return encrypt ? EVP_PKEY_encrypt(ctx.get(), out, size, data.data(), data.size())
                       : EVP_PKEY_decrypt(ctx.get(), out, size, data.data(), data.size());
    };
    if (!ctx || (encrypt ? EVP_PKEY_encrypt_init(ctx.get()) : EVP_PKEY_decrypt_init(ctx.get())) != 1 ||
        !RsaPadding(ctx.get(), "RSA-OAEP", md, 0, label) || run(nullptr, &n) != 1) {
        ERR_clear_error();
        return true;
    }
    Bytes out(n);
    if (run(out.data(), &n) != 1) {
        ERR_clear_error();
        return true;
    }
    out.resize(n);
    return Give(cx, out, args.rval());
}

// host.ecdh(pkcs8, peerSpki, bits): the shared secret's first bits, or null.
bool HostEcdh(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setNull();
    Pkey mine = ReadKey(BytesOf(args.get(0)), true), peer = ReadKey(BytesOf(args.get(1)), false);
    if (!mine || !peer) return true;
    PkeyCtx ctx(EVP_PKEY_CTX_new_from_pkey(nullptr, mine.get(), nullptr));
    size_t n = 0;
    if (!ctx || EVP_PKEY_derive_init(ctx.get()) != 1 || EVP_PKEY_derive_set_peer(ctx.get(), peer.get()) != 1 ||
        EVP_PKEY_derive(ctx.get(), nullptr, &n) != 1) {
        ERR_clear_error();
        return true;
    }
    Bytes secret(n);
    if (EVP_PKEY_derive(ctx.get(), secret.data(), &n) != 1) {
        ERR_clear_error();
        return true;
    }
    secret.resize(n);
    if (args.get(2).isNumber()) {
        double bits = args.get(2).toNumber();
        if (!(bits >= 0) || bits > static_cast<double>(secret.size() * 8)) return true;
        size_t keep = static_cast<size_t>(std::ceil(bits / 8));
        secret.resize(keep);
        int rest = static_cast<int>(bits) % 8;
        if (rest && keep) secret[keep - 1] &= static_cast<unsigned char>(0xFF << (8 - rest));
    }
    return Give(cx, secret, args.rval());
}

const JSFunctionSpec kCryptoFunctions[] = {
    JS_FN("digest", HostDigest, 2, 0), JS_FN("hmac", HostHmac, 3, 0),         JS_FN("aes", HostAes, 8, 0),
    JS_FN("pbkdf2", HostPbkdf2, 5, 0), JS_FN("hkdf", HostHkdf, 5, 0), JS_FN("sameBytes", HostSameBytes, 2, 0),
    JS_FN("keyRead", HostKeyRead, 4, 0), JS_FN("keyMake", HostKeyMake, 3, 0), JS_FN("keySign", HostKeySign, 5, 0),
    JS_FN("keyVerify", HostKeyVerify, 6, 0), JS_FN("rsaOaep", HostRsaOaep, 5, 0), JS_FN("ecdh", HostEcdh, 3, 0),
    JS_FS_END,
};

}  // namespace

bool DefineCryptoHost(JSContext* cx, JS::HandleObject host) { return JS_DefineFunctions(cx, host, kCryptoFunctions); }

}  // namespace qy::env
