#include "env/CryptoHost.h"

#include <js/ArrayBuffer.h>
#include <js/Conversions.h>
#include <js/experimental/TypedData.h>
#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/kdf.h>
#include <openssl/params.h>

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

const JSFunctionSpec kCryptoFunctions[] = {
    JS_FN("digest", HostDigest, 2, 0), JS_FN("hmac", HostHmac, 3, 0),         JS_FN("aes", HostAes, 8, 0),
    JS_FN("pbkdf2", HostPbkdf2, 5, 0), JS_FN("hkdf", HostHkdf, 5, 0), JS_FN("sameBytes", HostSameBytes, 2, 0),
    JS_FS_END,
};

}  // namespace

bool DefineCryptoHost(JSContext* cx, JS::HandleObject host) { return JS_DefineFunctions(cx, host, kCryptoFunctions); }

}  // namespace qy::env
