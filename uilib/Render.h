// Drawing helpers shared by the controls: colours, borders, pictures, plain text and
// text with inline markup. Internal to the library; coordinates are window client
// coordinates, drawing happens on the paint manager's back buffer.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

class CPaintManagerUI;
class UIImage;

namespace render {

// One stretch of marked-up text with the looks its tags give it.
struct TextRun {
    std::wstring text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool link = false;
    bool newline = false;  // a line break before this run's text
    DWORD color = 0;       // 0: the label's own colour
    int font = -1;         // -1: the label's own font
};

// Parses {b} {i} {u} {a} {a url} {c #RRGGBB} {c #AARRGGBB} {f id} and their closing
// forms, and {n} for a line break. Anything else in braces stays as text.
std::vector<TextRun> ParseMarkup(const std::wstring& text);
// The text without its tags.
std::wstring StripMarkup(const std::wstring& text);
// "#RRGGBB", "#AARRGGBB", "0xAARRGGBB": ARGB with alpha FF when not given; 0 when malformed.
DWORD ParseColor(const wchar_t* text);

// Narrows the clip of both the GDI+ graphics and the DC to rc for its lifetime.
class ClipScope {
public:
    ClipScope(CPaintManagerUI* pm, HDC hdc, const RECT& rc);
    ~ClipScope();
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;

private:
    CPaintManagerUI* pm_;
    HDC hdc_;
    UINT state_ = 0;
    int savedDc_ = 0;
};

void FillColor(CPaintManagerUI* pm, const RECT& rc, DWORD argb);
void DrawBorder(CPaintManagerUI* pm, const RECT& rc, int size, DWORD argb);
// Draws frame `frame` of img into rc: stretched, or (fit) shrunk to fit with its
// aspect kept and centred, never enlarged.
void DrawImage(CPaintManagerUI* pm, const RECT& rc, const UIImage& img, UINT frame, bool fit);
RECT FitRect(const RECT& box, int width, int height);

void DrawPlainText(CPaintManagerUI* pm, HDC hdc, const RECT& rc, const std::wstring& text,
                   DWORD color, int font, UINT style);
void DrawMarkupText(CPaintManagerUI* pm, HDC hdc, const RECT& rc, const std::wstring& text,
                    DWORD color, int font, UINT style);
SIZE MeasureText(CPaintManagerUI* pm, HDC hdc, const std::wstring& text, int font, bool markup);

}  // namespace render
