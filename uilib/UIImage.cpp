// Picture decoding through GDI+: frames composed by GDI+, copied once into our own
// premultiplied buffers so painting never selects frames or converts pixels.
#include "uilib/UIImage.h"
#include "base/WinHandle.h"
#include <algorithm>
#include <cmath>
#include <mutex>
#include <objidl.h>
#include <gdiplus.h>

namespace {
std::once_flag gdiplusOnce;
ULONG_PTR gdiplusToken = 0;

// Decoded frames of one picture may take at most this much memory; bigger ones are
// decoded at a reduced size (the control draws them scaled anyway).
constexpr double kFrameBudgetBytes = 64.0 * 1024 * 1024;

struct GlobalStream {
    IStream* stream = nullptr;
    ~GlobalStream() {
        if (stream) stream->Release();
    }
};

bool MakeStream(const void* data, size_t size, GlobalStream& out) {
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!mem) return false;
    void* p = GlobalLock(mem);
    if (!p) {
        GlobalFree(mem);
        return false;
    }
    memcpy(p, data, size);
    GlobalUnlock(mem);
    if (FAILED(CreateStreamOnHGlobal(mem, TRUE, &out.stream))) {
        GlobalFree(mem);
        return false;
    }
    return true;
}

std::vector<UINT> ReadDelays(Gdiplus::Bitmap& src, UINT frameCount) {
    std::vector<UINT> delays(frameCount, 0);
    UINT size = src.GetPropertyItemSize(PropertyTagFrameDelay);
    if (size == 0) return delays;
    std::vector<BYTE> buf(size);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buf.data());
    if (src.GetPropertyItem(PropertyTagFrameDelay, size, item) != Gdiplus::Ok) return delays;
    UINT n = std::min<UINT>(frameCount, item->length / sizeof(LONG));
    auto* values = static_cast<const LONG*>(item->value);
    for (UINT i = 0; i < n; i++) delays[i] = values[i] > 0 ? static_cast<UINT>(values[i]) * 10 : 0;
    return delays;
}

UINT ReadLoopCount(Gdiplus::Bitmap& src) {
    UINT size = src.GetPropertyItemSize(PropertyTagLoopCount);
    if (size == 0) return 0;
    std::vector<BYTE> buf(size);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buf.data());
    if (src.GetPropertyItem(PropertyTagLoopCount, size, item) != Gdiplus::Ok) return 0;
    if (item->length < sizeof(USHORT)) return 0;
    return *static_cast<const USHORT*>(item->value);
}

// A zeroed 32bpp top-down DIB section of w x h for a frame's pixels.
bool AllocateFrame(int w, int h, UIImage::Frame& frame) {
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = -h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    frame.dib.Reset(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!frame.dib || !bits) return false;
    frame.pixels = static_cast<BYTE*>(bits);
    memset(frame.pixels, 0, static_cast<size_t>(w) * h * 4);
    return true;
}

bool AllOpaque(const BYTE* pixels, size_t count) {
    for (size_t i = 3; i < count * 4; i += 4) {
        if (pixels[i] != 255) return false;
    }
    return true;
}

// Copies the currently selected frame of src into a new premultiplied frame of w x h.
bool CopyFrame(Gdiplus::Bitmap& src, int w, int h, UIImage::Frame& frame) {
    if (!AllocateFrame(w, h, frame)) return false;
    frame.bitmap = std::make_unique<Gdiplus::Bitmap>(w, h, w * 4, PixelFormat32bppPARGB, frame.pixels);
    if (frame.bitmap->GetLastStatus() != Gdiplus::Ok) return false;
    {
        Gdiplus::Graphics g(frame.bitmap.get());
        g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        bool sameSize = static_cast<int>(src.GetWidth()) == w && static_cast<int>(src.GetHeight()) == h;
        g.SetInterpolationMode(sameSize ? Gdiplus::InterpolationModeNearestNeighbor
                                        : Gdiplus::InterpolationModeHighQualityBilinear);
        g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        if (g.DrawImage(&src, 0, 0, w, h) != Gdiplus::Ok) return false;
        g.Flush(Gdiplus::FlushIntentionSync);
    }
    frame.opaque = AllOpaque(frame.pixels, static_cast<size_t>(w) * h);
    return true;
}
}  // namespace

void EnsureGdiplus() {
    std::call_once(gdiplusOnce, [] {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr);
    });
}

UIImage::~UIImage() = default;

std::shared_ptr<UIImage> UIImage::Decode(const void* data, size_t size) {
    if (!data || size == 0) return nullptr;
    EnsureGdiplus();
    GlobalStream stream;
    if (!MakeStream(data, size, stream)) return nullptr;
    Gdiplus::Bitmap src(stream.stream);
    if (src.GetLastStatus() != Gdiplus::Ok) return nullptr;
    int w = static_cast<int>(src.GetWidth());
    int h = static_cast<int>(src.GetHeight());
    if (w <= 0 || h <= 0) return nullptr;

    UINT frameCount = src.GetFrameCount(&Gdiplus::FrameDimensionTime);
    if (frameCount == 0) frameCount = 1;
    double bytes = static_cast<double>(w) * h * 4 * frameCount;
    double scale = bytes > kFrameBudgetBytes ? std::sqrt(kFrameBudgetBytes / bytes) : 1.0;
    int fw = std::max(1, static_cast<int>(w * scale));
    int fh = std::max(1, static_cast<int>(h * scale));

    auto image = std::make_shared<UIImage>();
    image->width_ = w;
    image->height_ = h;
    std::vector<UINT> delays = ReadDelays(src, frameCount);
    if (frameCount > 1) image->loopCount_ = ReadLoopCount(src);
    image->frames_.resize(frameCount);
    for (UINT i = 0; i < frameCount; i++) {
        if (frameCount > 1 && src.SelectActiveFrame(&Gdiplus::FrameDimensionTime, i) != Gdiplus::Ok) {
            image->frames_.resize(i);
            break;
        }
        if (!CopyFrame(src, fw, fh, image->frames_[i])) {
            image->frames_.resize(i);
            break;
        }
        image->frames_[i].delayMs = NormalizeDelay(delays[i]);
    }
    if (image->frames_.empty()) return nullptr;
    return image;
}

std::shared_ptr<UIImage> UIImage::Load(const std::wstring& path) {
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;
    LARGE_INTEGER size = {};
    std::vector<BYTE> data;
    bool ok = GetFileSizeEx(file.Get(), &size) && size.QuadPart > 0 && size.QuadPart < (256LL << 20);
    if (ok) {
        data.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = ReadFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &read, nullptr) &&
             read == data.size();
    }
    return ok ? Decode(data.data(), data.size()) : nullptr;
}
