// Move-only owners for every kind of Windows handle the program holds: each closes
// its handle exactly once, with the function that kind of handle needs.
#pragma once
#include <windows.h>
#include <wininet.h>
#include <wincrypt.h>
#include <utility>

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type h) : handle_(h) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Type Get() const { return handle_; }
    bool IsValid() const { return Traits::IsValid(handle_); }
    explicit operator bool() const { return IsValid(); }

    // Gives up ownership without closing.
    Type Release() {
        Type h = handle_;
        handle_ = Traits::Invalid();
        return h;
    }
    void Reset(Type h = Traits::Invalid()) {
        if (Traits::IsValid(handle_)) Traits::Close(handle_);
        handle_ = h;
    }
    // For APIs that return the handle through an out parameter.
    Type* Receive() {
        Reset();
        return &handle_;
    }

private:
    Type handle_ = Traits::Invalid();
};

// Traits for handle kinds whose "no handle" value is zero.
template <typename T, void (*CloseFn)(T)>
struct ZeroInvalidTraits {
    using Type = T;
    static Type Invalid() { return Type(); }
    static bool IsValid(Type h) { return h != Type(); }
    static void Close(Type h) { CloseFn(h); }
};

namespace handle_close {
inline void Internet(HINTERNET h) { InternetCloseHandle(h); }
inline void CryptProv(HCRYPTPROV h) { CryptReleaseContext(h, 0); }
inline void CryptKey(HCRYPTKEY h) { CryptDestroyKey(h); }
inline void RegKey(HKEY h) { RegCloseKey(h); }
inline void Kernel(HANDLE h) { CloseHandle(h); }
inline void Global(HGLOBAL h) { GlobalFree(h); }
inline void GdiObject(HGDIOBJ h) { DeleteObject(h); }
inline void MemoryDc(HDC h) { DeleteDC(h); }
inline void Library(HMODULE h) { FreeLibrary(h); }
inline void Icon(HICON h) { DestroyIcon(h); }
}  // namespace handle_close

// File handles use INVALID_HANDLE_VALUE for "none"; most other kernel handles use NULL.
// Both are refused, so either kind of failure result can be stored safely.
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { CloseHandle(h); }
};

using InternetHandle = UniqueHandle<ZeroInvalidTraits<HINTERNET, handle_close::Internet>>;
using CryptProvHandle = UniqueHandle<ZeroInvalidTraits<HCRYPTPROV, handle_close::CryptProv>>;
using CryptKeyHandle = UniqueHandle<ZeroInvalidTraits<HCRYPTKEY, handle_close::CryptKey>>;
using RegKeyHandle = UniqueHandle<ZeroInvalidTraits<HKEY, handle_close::RegKey>>;
using KernelHandle = UniqueHandle<KernelHandleTraits>;
// Not "GlobalHandle": that is the name of a Win32 function.
using GlobalMemoryHandle = UniqueHandle<ZeroInvalidTraits<HGLOBAL, handle_close::Global>>;
using GdiObjectHandle = UniqueHandle<ZeroInvalidTraits<HGDIOBJ, handle_close::GdiObject>>;
using MemoryDcHandle = UniqueHandle<ZeroInvalidTraits<HDC, handle_close::MemoryDc>>;
using LibraryHandle = UniqueHandle<ZeroInvalidTraits<HMODULE, handle_close::Library>>;
using IconHandle = UniqueHandle<ZeroInvalidTraits<HICON, handle_close::Icon>>;
