// Server side of the tunnel's envelope, on OpenSSL's EVP interface and zlib.
#include "Envelope.h"

#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <zlib.h>

#include <cstdio>

namespace {

struct EvpCipherFree {
    void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
struct EvpPkeyCtxFree {
    void operator()(EVP_PKEY_CTX* ctx) const { EVP_PKEY_CTX_free(ctx); }
};

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+' || c == ' ') return 62;
    if (c == '/') return 63;
    return -1;
}

// The wire carries the RSA ciphertext big-endian, which is what OpenSSL expects.
bool RsaOpen(EVP_PKEY* key, const std::string& cipher, std::string* plain) {
    std::unique_ptr<EVP_PKEY_CTX, EvpPkeyCtxFree> ctx(EVP_PKEY_CTX_new(key, nullptr));
    if (!ctx || EVP_PKEY_decrypt_init(ctx.get()) <= 0 ||
        EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) <= 0)
        return false;
    size_t len = 0;
    auto in = reinterpret_cast<const unsigned char*>(cipher.data());
    if (EVP_PKEY_decrypt(ctx.get(), nullptr, &len, in, cipher.size()) <= 0) return false;
    plain->resize(len);
    if (EVP_PKEY_decrypt(ctx.get(), reinterpret_cast<unsigned char*>(&(*plain)[0]), &len, in, cipher.size()) <= 0)
        return false;
    plain->resize(len);
    return true;
}

bool AesRun(bool encrypt, const std::string& in, const RequestKeys& keys, std::string* out) {
    if (keys.key.size() != 32 || keys.iv.size() != 16) return false;
    std::unique_ptr<EVP_CIPHER_CTX, EvpCipherFree> ctx(EVP_CIPHER_CTX_new());
    auto key = reinterpret_cast<const unsigned char*>(keys.key.data());
    auto iv = reinterpret_cast<const unsigned char*>(keys.iv.data());
    if (!ctx || EVP_CipherInit_ex(ctx.get(), EVP_aes_256_cbc(), nullptr, key, iv, encrypt ? 1 : 0) != 1) return false;
    out->resize(in.size() + 32);
    auto dst = reinterpret_cast<unsigned char*>(&(*out)[0]);
    int n = 0, tail = 0;
    if (EVP_CipherUpdate(ctx.get(), dst, &n, reinterpret_cast<const unsigned char*>(in.data()),
                         static_cast<int>(in.size())) != 1 ||
        EVP_CipherFinal_ex(ctx.get(), dst + n, &tail) != 1)
        return false;
    out->resize(static_cast<size_t>(n + tail));
    return true;
}

// Splits "k=..&v=..&u=..&g=.." into its fields; the Base64 values are not percent-encoded.
std::string FormField(const std::string& body, const char* name) {
    std::string prefix = std::string(name) + "=";
    size_t start = 0;
    while (start <= body.size()) {
        size_t end = body.find('&', start);
        if (end == std::string::npos) end = body.size();
        if (body.compare(start, prefix.size(), prefix) == 0)
            return body.substr(start + prefix.size(), end - start - prefix.size());
        start = end + 1;
    }
    return "";
}

// One URL half: Base64, then AES, then raw inflate. An absent field is an empty half.
bool OpenText(const std::string& field, const RequestKeys& keys, std::string* text) {
    text->clear();
    if (field.empty()) return true;
    std::string cipher, packed;
    return Base64Decode(field, &cipher) && AesOpen(cipher, keys, &packed) && RawInflate(packed, 64 * 1024, text);
}

}  // namespace

PrivateKey LoadPrivateKey(const std::string& pemPath) {
    FILE* f = fopen(pemPath.c_str(), "rb");
    if (!f) return nullptr;
    EVP_PKEY* key = PEM_read_PrivateKey(f, nullptr, nullptr, nullptr);
    fclose(f);
    return PrivateKey(key);
}

bool OpenRequest(EVP_PKEY* key, const std::string& body, OpenedRequest* out) {
    std::string kCipher, vCipher;
    if (!Base64Decode(FormField(body, "k"), &kCipher) || !Base64Decode(FormField(body, "v"), &vCipher)) return false;
    if (!RsaOpen(key, kCipher, &out->keys.key) || !RsaOpen(key, vCipher, &out->keys.iv)) return false;
    if (out->keys.key.size() != 32 || out->keys.iv.size() != 16) return false;
    std::string uField = FormField(body, "u");
    if (uField.empty()) return false;
    return OpenText(uField, out->keys, &out->base) && OpenText(FormField(body, "g"), out->keys, &out->query);
}

std::string Base64Encode(const std::string& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    auto at = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    for (; i + 3 <= bytes.size(); i += 3) {
        uint32_t v = (at(i) << 16) | (at(i + 1) << 8) | at(i + 2);
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    size_t rest = bytes.size() - i;
    if (rest > 0) {
        uint32_t v = at(i) << 16;
        if (rest == 2) v |= at(i + 1) << 8;
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

bool Base64Decode(const std::string& text, std::string* out) {
    out->clear();
    uint32_t acc = 0;
    int pending = 0;
    for (char c : text) {
        if (c == '=') break;
        int v = Base64Value(c);
        if (v < 0) return false;
        acc = (acc << 6) | static_cast<uint32_t>(v);
        if (++pending == 4) {
            out->push_back(static_cast<char>(acc >> 16));
            out->push_back(static_cast<char>(acc >> 8));
            out->push_back(static_cast<char>(acc));
            acc = 0;
            pending = 0;
        }
    }
    if (pending == 1) return false;
    if (pending == 2) out->push_back(static_cast<char>(acc >> 4));
    if (pending == 3) {
        out->push_back(static_cast<char>(acc >> 10));
        out->push_back(static_cast<char>(acc >> 2));
    }
    return true;
}

std::string AesSeal(const std::string& plain, const RequestKeys& keys) {
    std::string out;
    return AesRun(true, plain, keys, &out) ? out : std::string();
}

bool AesOpen(const std::string& cipher, const RequestKeys& keys, std::string* plain) {
    return !cipher.empty() && cipher.size() % 16 == 0 && AesRun(false, cipher, keys, plain);
}

std::string RawDeflate(const std::string& bytes) {
    z_stream zs{};
    if (deflateInit2(&zs, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return "";
    std::string out(deflateBound(&zs, bytes.size()), '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    zs.avail_in = static_cast<uInt>(bytes.size());
    zs.next_out = reinterpret_cast<Bytef*>(&out[0]);
    zs.avail_out = static_cast<uInt>(out.size());
    int rc = deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return rc == Z_STREAM_END ? out : std::string();
}

bool RawInflate(const std::string& stream, size_t maxBytes, std::string* out) {
    out->clear();
    z_stream zs{};
    if (inflateInit2(&zs, -15) != Z_OK) return false;
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
    zs.avail_in = static_cast<uInt>(stream.size());
    char buf[16384];
    int rc = Z_OK;
    while (rc == Z_OK) {
        zs.next_out = reinterpret_cast<Bytef*>(buf);
        zs.avail_out = sizeof buf;
        rc = inflate(&zs, Z_NO_FLUSH);
        out->append(buf, sizeof buf - zs.avail_out);
        if (out->size() > maxBytes) rc = Z_DATA_ERROR;
        if (rc == Z_BUF_ERROR) break;  // input ended before the stream did
    }
    inflateEnd(&zs);
    return rc == Z_STREAM_END;
}

std::string ReplyFrame(uint32_t declaredLength, const std::string& deflated) {
    std::string frame(4, '\0');
    frame[0] = static_cast<char>(declaredLength >> 24);
    frame[1] = static_cast<char>(declaredLength >> 16);
    frame[2] = static_cast<char>(declaredLength >> 8);
    frame[3] = static_cast<char>(declaredLength);
    return frame + deflated;
}

std::string SealReply(const std::string& text, const RequestKeys& keys) {
    return Base64Encode(AesSeal(ReplyFrame(static_cast<uint32_t>(text.size()), RawDeflate(text)), keys));
}
