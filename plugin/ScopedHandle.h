// Owners that close the plug-in's registry keys and files when they go out of scope.
#pragma once
#include <windows.h>

class ScopedKey {
public:
    ScopedKey() = default;
    ~ScopedKey() {
        if (key_) RegCloseKey(key_);
    }
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;

    HKEY Get() const { return key_; }
    HKEY* Receive() { return &key_; }

private:
    HKEY key_ = nullptr;
};

class ScopedFile {
public:
    explicit ScopedFile(HANDLE file) : file_(file) {}
    ~ScopedFile() {
        if (IsValid()) CloseHandle(file_);
    }
    ScopedFile(const ScopedFile&) = delete;
    ScopedFile& operator=(const ScopedFile&) = delete;

    HANDLE Get() const { return file_; }
    bool IsValid() const { return file_ != INVALID_HANDLE_VALUE && file_ != nullptr; }

private:
    HANDLE file_;
};
