// The sealed envelope around every request to the tunnelling endpoint and its reply:
// a fresh AES-256 key and IV per request, wrapped with the endpoint's RSA key.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

#include "net/Crypto.h"
#include "net/ReplyFrame.h"  // kMaxReplyLength

// One request's key material: bytes 0-15 the IV, 16-47 the AES-256 key. Wiped when released.
class RequestKeys {
public:
    RequestKeys() = default;
    ~RequestKeys() { SecureZeroMemory(block_, sizeof(block_)); }
    RequestKeys(const RequestKeys&) = delete;
    RequestKeys& operator=(const RequestKeys&) = delete;

    // Draws all 48 bytes from the system's cryptographic generator.
    bool Generate();
    // For tests and tools that need known keys.
    void Set(const BYTE* iv, const BYTE* key);

    const BYTE* Iv() const { return block_; }
    const BYTE* Key() const { return block_ + kAesIvSize; }

private:
    BYTE block_[kAesIvSize + kAesKeySize] = {};
};

// Makes fresh keys and the form body "k=..&v=..&u=..[&g=..]" for the URL's two halves.
bool SealRequest(const std::string& base, const std::string& query, RequestKeys& keys,
                 std::string& body);
// The same with keys the caller already holds.
bool SealRequestWith(const RequestKeys& keys, const std::string& base, const std::string& query,
                     std::string& body);
// One form field: raw deflate, AES with the request's key and IV, Base64. Empty text gives "".
bool SealText(const std::string& text, const RequestKeys& keys, std::string& field);
// Base64, AES, 4-byte big-endian length, raw inflate: the reply's UTF-8 text.
bool OpenReply(const RequestKeys& keys, const std::string& reply, std::string& text);
