// Drawing helpers: GDI+ for colours and pictures (alpha), GDI for text (the system's
// font linking gives Chinese glyphs in any face).
#include "uilib/Render.h"
#include "uilib/UIImage.h"
#include "uilib/UIManager.h"
#include <algorithm>
#include <cwchar>
#include <objidl.h>
#include <gdiplus.h>

namespace render {
namespace {

COLORREF ToColorRef(DWORD argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

// GDI text drawing after GDI+ drawing on the same DC must see GDI+'s output.
void SyncForGdi(CPaintManagerUI* pm) {
    if (auto* g = pm->GetPaintGraphics()) g->Flush(Gdiplus::FlushIntentionSync);
}

struct MarkupState {
    std::vector<bool> bold, italic, underline, link;
    std::vector<DWORD> color;
    std::vector<int> font;
};

template <typename T>
T Top(const std::vector<T>& stack, T fallback) {
    return stack.empty() ? fallback : stack.back();
}

template <typename T>
void Pop(std::vector<T>& stack) {
    if (!stack.empty()) stack.pop_back();
}

// Applies one tag (without braces); false when it is no tag we know.
bool ApplyTag(const std::wstring& tag, MarkupState& st, bool& newline) {
    if (tag == L"b") st.bold.push_back(true);
    else if (tag == L"/b") Pop(st.bold);
    else if (tag == L"i") st.italic.push_back(true);
    else if (tag == L"/i") Pop(st.italic);
    else if (tag == L"u") st.underline.push_back(true);
    else if (tag == L"/u") Pop(st.underline);
    else if (tag == L"a" || tag.rfind(L"a ", 0) == 0) st.link.push_back(true);
    else if (tag == L"/a") Pop(st.link);
    else if (tag == L"/c") Pop(st.color);
    else if (tag == L"/f") Pop(st.font);
    else if (tag == L"n") newline = true;
    else if (tag.rfind(L"c ", 0) == 0) {
        DWORD c = ParseColor(tag.c_str() + 2);
        if (c == 0) return false;
        st.color.push_back(c);
    } else if (tag.rfind(L"f ", 0) == 0) {
        wchar_t* end = nullptr;
        long id = wcstol(tag.c_str() + 2, &end, 10);
        if (end == tag.c_str() + 2) return false;
        st.font.push_back(static_cast<int>(id));
    } else {
        return false;
    }
    return true;
}

TextRun MakeRun(const MarkupState& st) {
    TextRun run;
    run.bold = Top(st.bold, false);
    run.italic = Top(st.italic, false);
    run.underline = Top(st.underline, false);
    run.link = Top(st.link, false);
    run.color = Top(st.color, DWORD(0));
    run.font = Top(st.font, -1);
    return run;
}

struct LineLayout {
    std::vector<const TextRun*> runs;
    std::vector<SIZE> sizes;
    int width = 0;
    int height = 0;
};

HFONT RunFont(CPaintManagerUI* pm, const TextRun& run, int baseFont) {
    int id = run.font >= 0 ? run.font : baseFont;
    return pm->GetFontVariant(id, run.bold, run.underline, run.italic);
}

std::vector<LineLayout> LayoutLines(CPaintManagerUI* pm, HDC hdc, const std::vector<TextRun>& runs,
                                    int baseFont) {
    std::vector<LineLayout> lines(1);
    for (const TextRun& run : runs) {
        if (run.newline) lines.emplace_back();
        LineLayout& line = lines.back();
        HGDIOBJ old = SelectObject(hdc, RunFont(pm, run, baseFont));
        SIZE sz = {0, 0};
        GetTextExtentPoint32W(hdc, run.text.c_str(), static_cast<int>(run.text.size()), &sz);
        if (run.text.empty()) {
            TEXTMETRICW tm = {};
            GetTextMetricsW(hdc, &tm);
            sz.cy = tm.tmHeight;
        }
        SelectObject(hdc, old);
        line.runs.push_back(&run);
        line.sizes.push_back(sz);
        line.width += sz.cx;
        line.height = std::max<int>(line.height, sz.cy);
    }
    return lines;
}

}  // namespace

DWORD ParseColor(const wchar_t* text) {
    if (!text) return 0;
    while (*text == L' ') text++;
    if (*text == L'#') text++;
    else if (text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) text += 2;
    const wchar_t* start = text;
    DWORD value = 0;
    while (iswxdigit(*text)) {
        wchar_t c = *text++;
        int digit = iswdigit(c) ? c - L'0' : (towlower(c) - L'a' + 10);
        value = (value << 4) | static_cast<DWORD>(digit);
    }
    while (*text == L' ') text++;
    size_t digits = text - start;
    if (*text != 0) return 0;
    if (digits == 6) return 0xFF000000 | value;
    if (digits == 8) return value;
    return 0;
}

std::vector<TextRun> ParseMarkup(const std::wstring& text) {
    std::vector<TextRun> runs;
    MarkupState st;
    std::wstring pending;
    bool newline = false;
    auto flush = [&] {
        if (pending.empty() && !newline) return;
        TextRun run = MakeRun(st);
        run.text = pending;
        run.newline = newline;
        runs.push_back(run);
        pending.clear();
        newline = false;
    };
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == L'{') {
            size_t close = text.find(L'}', i + 1);
            if (close != std::wstring::npos) {
                std::wstring tag = text.substr(i + 1, close - i - 1);
                MarkupState before = st;
                bool breakLine = false;
                if (ApplyTag(tag, st, breakLine)) {
                    // Text so far belongs to the looks before this tag.
                    MarkupState after = st;
                    st = before;
                    flush();
                    st = after;
                    if (breakLine) newline = true;
                    i = close + 1;
                    continue;
                }
            }
        }
        pending += text[i++];
    }
    flush();
    return runs;
}

std::wstring StripMarkup(const std::wstring& text) {
    std::wstring out;
    for (const TextRun& run : ParseMarkup(text)) {
        if (run.newline) out += L'\n';
        out += run.text;
    }
    return out;
}

ClipScope::ClipScope(CPaintManagerUI* pm, HDC hdc, const RECT& rc) : pm_(pm), hdc_(hdc) {
    if (Gdiplus::Graphics* g = pm_ ? pm_->GetPaintGraphics() : nullptr) {
        state_ = g->Save();
        g->IntersectClip(Gdiplus::Rect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top));
    }
    if (hdc_) {
        savedDc_ = ::SaveDC(hdc_);
        ::IntersectClipRect(hdc_, rc.left, rc.top, rc.right, rc.bottom);
    }
}

ClipScope::~ClipScope() {
    if (Gdiplus::Graphics* g = pm_ ? pm_->GetPaintGraphics() : nullptr) g->Restore(state_);
    if (hdc_ && savedDc_) ::RestoreDC(hdc_, savedDc_);
}

void FillColor(CPaintManagerUI* pm, const RECT& rc, DWORD argb) {
    Gdiplus::Graphics* g = pm ? pm->GetPaintGraphics() : nullptr;
    if (!g || argb == 0 || rc.right <= rc.left || rc.bottom <= rc.top) return;
    // An opaque colour gives the same pixels through GDI, which fills many times faster
    // than GDI+ under Wine (backgrounds and the tiles' borders are painted every frame).
    if ((argb >> 24) == 0xFF && pm->GetPaintDC()) {
        SyncForGdi(pm);
        GdiObjectHandle brush(::CreateSolidBrush(ToColorRef(argb)));
        if (brush && ::FillRect(pm->GetPaintDC(), &rc, static_cast<HBRUSH>(brush.Get()))) return;
    }
    Gdiplus::SolidBrush brush{Gdiplus::Color(argb)};
    g->FillRectangle(&brush, static_cast<INT>(rc.left), static_cast<INT>(rc.top),
                     static_cast<INT>(rc.right - rc.left), static_cast<INT>(rc.bottom - rc.top));
}

void DrawBorder(CPaintManagerUI* pm, const RECT& rc, int size, DWORD argb) {
    if (size <= 0 || argb == 0) return;
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0) return;
    size = std::min({size, w / 2 + w % 2, h / 2 + h % 2});
    FillColor(pm, {rc.left, rc.top, rc.right, rc.top + size}, argb);
    FillColor(pm, {rc.left, rc.bottom - size, rc.right, rc.bottom}, argb);
    FillColor(pm, {rc.left, rc.top + size, rc.left + size, rc.bottom - size}, argb);
    FillColor(pm, {rc.right - size, rc.top + size, rc.right, rc.bottom - size}, argb);
}

RECT FitRect(const RECT& box, int width, int height) {
    int bw = box.right - box.left, bh = box.bottom - box.top;
    if (width <= 0 || height <= 0 || bw <= 0 || bh <= 0) return box;
    int w = width, h = height;
    if (w > bw || h > bh) {
        // Shrink by the tighter ratio; compare cross products to stay in integers.
        if (static_cast<long long>(width) * bh > static_cast<long long>(height) * bw) {
            w = bw;
            h = std::max(1, static_cast<int>(static_cast<long long>(height) * bw / width));
        } else {
            h = bh;
            w = std::max(1, static_cast<int>(static_cast<long long>(width) * bh / height));
        }
    }
    RECT r;
    r.left = box.left + (bw - w) / 2;
    r.top = box.top + (bh - h) / 2;
    r.right = r.left + w;
    r.bottom = r.top + h;
    return r;
}

namespace {

// A picture at its own size goes straight from its DIB: GDI blits (or blends, when it
// has transparent pixels) many times faster than GDI+ composes under Wine, and the
// result is the same pixels. False when it cannot, and GDI+ draws instead.
bool BlitFrame(CPaintManagerUI* pm, const RECT& dst, const UIImage::Frame& f, int w, int h) {
    HDC hdc = pm->GetPaintDC();
    if (!hdc || !f.dib) return false;
    SyncForGdi(pm);
    MemoryDcHandle source(::CreateCompatibleDC(hdc));
    if (!source) return false;
    HGDIOBJ old = ::SelectObject(source.Get(), f.dib.Get());
    BOOL ok;
    if (f.opaque) {
        ok = ::BitBlt(hdc, dst.left, dst.top, w, h, source.Get(), 0, 0, SRCCOPY);
    } else {
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ok = ::AlphaBlend(hdc, dst.left, dst.top, w, h, source.Get(), 0, 0, w, h, blend);
    }
    ::SelectObject(source.Get(), old);
    return ok != FALSE;
}

}  // namespace

void DrawImage(CPaintManagerUI* pm, const RECT& rc, const UIImage& img, UINT frame, bool fit) {
    Gdiplus::Graphics* g = pm ? pm->GetPaintGraphics() : nullptr;
    if (!g || img.FrameCount() == 0) return;
    RECT dst = fit ? FitRect(rc, img.Width(), img.Height()) : rc;
    int w = dst.right - dst.left, h = dst.bottom - dst.top;
    if (w <= 0 || h <= 0) return;
    const UIImage::Frame& f = img.GetFrame(frame);
    Gdiplus::Bitmap* bmp = f.bitmap.get();
    bool sameSize = static_cast<int>(bmp->GetWidth()) == w && static_cast<int>(bmp->GetHeight()) == h;
    if (sameSize && BlitFrame(pm, dst, f, w, h)) return;
    g->SetInterpolationMode(sameSize ? Gdiplus::InterpolationModeNearestNeighbor
                                     : Gdiplus::InterpolationModeHighQualityBilinear);
    g->SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    if (sameSize) {
        g->DrawImage(bmp, static_cast<INT>(dst.left), static_cast<INT>(dst.top));
        return;
    }
    // Clamp edge pixels so scaled pictures do not fade out at their borders.
    Gdiplus::ImageAttributes attrs;
    attrs.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    Gdiplus::Rect dest(dst.left, dst.top, w, h);
    g->DrawImage(bmp, dest, 0, 0, static_cast<INT>(bmp->GetWidth()), static_cast<INT>(bmp->GetHeight()),
                 Gdiplus::UnitPixel, &attrs);
}

void DrawPlainText(CPaintManagerUI* pm, HDC hdc, const RECT& rc, const std::wstring& text,
                   DWORD color, int font, UINT style) {
    if (text.empty() || !pm) return;
    SyncForGdi(pm);
    HGDIOBJ old = SelectObject(hdc, pm->GetFont(font));
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, ToColorRef(color));
    RECT r = rc;
    DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &r, style | DT_NOPREFIX);
    SelectObject(hdc, old);
}

void DrawMarkupText(CPaintManagerUI* pm, HDC hdc, const RECT& rc, const std::wstring& text,
                    DWORD color, int font, UINT style) {
    if (text.empty() || !pm) return;
    std::vector<TextRun> runs = ParseMarkup(text);
    std::vector<LineLayout> lines = LayoutLines(pm, hdc, runs, font);
    int total = 0;
    for (const LineLayout& line : lines) total += line.height;
    int y = rc.top;
    if (style & DT_VCENTER) y = rc.top + (rc.bottom - rc.top - total) / 2;
    else if (style & DT_BOTTOM) y = rc.bottom - total;

    SyncForGdi(pm);
    SetBkMode(hdc, TRANSPARENT);
    for (const LineLayout& line : lines) {
        int x = rc.left;
        if (style & DT_CENTER) x = rc.left + (rc.right - rc.left - line.width) / 2;
        else if (style & DT_RIGHT) x = rc.right - line.width;
        for (size_t k = 0; k < line.runs.size(); k++) {
            const TextRun& run = *line.runs[k];
            HGDIOBJ old = SelectObject(hdc, RunFont(pm, run, font));
            SetTextColor(hdc, ToColorRef(run.color ? run.color : (run.link ? 0xFF0000FF : color)));
            RECT cell = {x, y + line.height - line.sizes[k].cy, x + line.sizes[k].cx, y + line.height};
            ExtTextOutW(hdc, cell.left, cell.top, ETO_CLIPPED, &rc, run.text.c_str(),
                        static_cast<UINT>(run.text.size()), nullptr);
            SelectObject(hdc, old);
            x += line.sizes[k].cx;
        }
        y += line.height;
    }
}

SIZE MeasureText(CPaintManagerUI* pm, HDC hdc, const std::wstring& text, int font, bool markup) {
    SIZE result = {0, 0};
    if (!pm) return result;
    if (markup) {
        std::vector<TextRun> runs = ParseMarkup(text);
        for (const LineLayout& line : LayoutLines(pm, hdc, runs, font)) {
            result.cx = std::max<LONG>(result.cx, line.width);
            result.cy += line.height;
        }
        return result;
    }
    HGDIOBJ old = SelectObject(hdc, pm->GetFont(font));
    RECT r = {0, 0, 9999, 9999};
    DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(hdc, old);
    result.cx = r.right;
    result.cy = r.bottom;
    return result;
}

}  // namespace render
