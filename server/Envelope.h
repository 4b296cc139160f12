// The tunnel's envelope, server side: opens a sealed request (RSA-wrapped AES key and IV,
// AES-256-CBC over raw-deflated URL halves, all Base64) and seals a reply under the
// request's own key and IV (4-byte big-endian length, raw deflate, AES, Base64).
#pragma once
#include <openssl/evp.h>

#include <memory>
#include <string>

struct EvpKeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
using PrivateKey = std::unique_ptr<EVP_PKEY, EvpKeyFree>;

// Reads a PEM private key; null when the file is missing or holds no key.
PrivateKey LoadPrivateKey(const std::string& pemPath);

struct RequestKeys {
    std::string key;  // 32 bytes, AES-256
    std::string iv;   // 16 bytes
};

struct OpenedRequest {
    RequestKeys keys;
    std::string base;   // the URL before "?"
    std::string query;  // after "?" ("" when the body had no g field)
};

// Opens a k/v/u/g form body. False on any malformed or undecryptable part.
bool OpenRequest(EVP_PKEY* key, const std::string& body, OpenedRequest* out);

// Standard alphabet with "=" padding, no line breaks.
std::string Base64Encode(const std::string& bytes);
// Decodes up to the first "="; a space counts as "+" (the text may have been form-decoded).
// False on a character outside the alphabet or a dangling group.
bool Base64Decode(const std::string& text, std::string* out);

std::string AesSeal(const std::string& plain, const RequestKeys& keys);
bool AesOpen(const std::string& cipher, const RequestKeys& keys, std::string* plain);

std::string RawDeflate(const std::string& bytes);  // level 9, no header, no checksum
// Inflates a raw stream; false when it is corrupt, incomplete or grows beyond maxBytes.
bool RawInflate(const std::string& stream, size_t maxBytes, std::string* out);

// The decrypted reply layout: L (big-endian, 4 bytes) then the raw-deflated text.
std::string ReplyFrame(uint32_t declaredLength, const std::string& deflated);
// Base64(AES(ReplyFrame(L = text size, RawDeflate(text)))).
std::string SealReply(const std::string& text, const RequestKeys& keys);
