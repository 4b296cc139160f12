// Decoded pictures: every frame of a file decoded once into a 32bpp premultiplied
// bitmap, with the frame delays of animated GIFs. Internal to the library.
#pragma once
#include <windows.h>
#include <memory>
#include "base/WinHandle.h"
#include <string>
#include <vector>

namespace Gdiplus { class Bitmap; }

class UIImage {
public:
    struct Frame {
        // The pixels, premultiplied BGRA top-down, live in a DIB section, so GDI can blit
        // them straight (fast where GDI+ composes slowly) and GDI+ can scale them.
        GdiObjectHandle dib;
        BYTE* pixels = nullptr;
        std::unique_ptr<Gdiplus::Bitmap> bitmap;  // over the same pixels; goes before dib
        UINT delayMs = 0;
        bool opaque = false;  // no pixel lets anything through
    };

    ~UIImage();

    // Decodes a picture from its bytes; null when they are no picture GDI+ reads.
    static std::shared_ptr<UIImage> Decode(const void* data, size_t size);
    static std::shared_ptr<UIImage> Load(const std::wstring& path);

    int Width() const { return width_; }    // the picture's own size
    int Height() const { return height_; }
    UINT FrameCount() const { return static_cast<UINT>(frames_.size()); }
    bool IsAnimated() const { return frames_.size() > 1; }
    const Frame& GetFrame(UINT index) const { return frames_[index < frames_.size() ? index : 0]; }
    UINT LoopCount() const { return loopCount_; }  // 0: forever

    // Delays below 20 ms (GIFs often say 0) play at 100 ms, as browsers do.
    static UINT NormalizeDelay(UINT delayMs) { return delayMs < 20 ? 100 : delayMs; }

private:
    int width_ = 0;
    int height_ = 0;
    UINT loopCount_ = 0;
    std::vector<Frame> frames_;
};

// Starts GDI+ once for the process (idempotent).
void EnsureGdiplus();
