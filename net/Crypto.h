// The envelope's cipher building blocks on CryptoAPI: RSA (PKCS #1 v1.5) with the
// tunnelling endpoint's public key, AES-256-CBC with PKCS #7 padding.
#pragma once
#include <windows.h>

#include <string>

constexpr size_t kAesKeySize = 32;
constexpr size_t kAesIvSize = 16;

// Encrypts with the endpoint's public key; the output is big-endian ciphertext,
// one 128-byte block per 117 input bytes.
bool RsaSeal(const std::string& bytes, std::string& sealed);
// key is kAesKeySize bytes, iv kAesIvSize bytes.
bool AesSeal(const std::string& bytes, const BYTE* key, const BYTE* iv, std::string& sealed);
// Fails on a wrong key, wrong padding or a length that is not a whole number of blocks.
bool AesOpen(const std::string& sealed, const BYTE* key, const BYTE* iv, std::string& bytes);
// Fills `size` bytes from the system's cryptographic generator.
bool RandomBytes(BYTE* out, size_t size);
