// Test helpers: a real top-level window driven by the library, input delivered as
// the window messages the system would send, pixels read back from the window's own
// painting, and scratch files for pictures.
#pragma once
#include "uilib/UILib.h"
#include <ostream>
#include <string>
#include <vector>

// Test failures show CDuiString values as text.
void PrintTo(const CDuiString& s, std::ostream* os);

// Records what a control's event source sees, as "<type>" or "<type>:<name>".
struct EventLog {
    std::vector<std::wstring> entries;
    bool consume = false;  // what the handler returns is !consume

    bool OnEvent(void* param);
    bool OnNotify(void* param);
    void Attach(CControlUI* control);  // both sources
};

class TestWindow : public CWindowWnd, public INotifyUI {
public:
    TestWindow() = default;
    ~TestWindow() override;

    // Creates a popup of the given client size at (x, y) with root as its tree.
    bool Open(CControlUI* root, int width, int height, int x = 20, int y = 20);
    void Destroy();

    void Notify(TNotifyUI& msg) override;

    // Input as the system delivers it (client coordinates).
    void MouseMove(int x, int y, WPARAM keys = 0);
    void MouseDown(int x, int y);
    void MouseUp(int x, int y);
    void DoubleClick(int x, int y);
    void MouseLeaveWindow();
    void Wheel(int x, int y, int delta);
    void Click(int x, int y);  // move, down, up
    void KeyDown(UINT key);

    // Runs queued messages (paints, posts, timers that are due).
    static void Pump();
    // The window's client area as it paints it, 0x00RRGGBB per pixel.
    struct Pixels {
        int width = 0, height = 0;
        std::vector<DWORD> data;
        DWORD At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
    };
    Pixels Snapshot();
    DWORD PixelAt(int x, int y) { return Snapshot().At(x, y); }

    CPaintManagerUI pm;
    std::vector<std::wstring> notifications;  // "type:name" seen by the window
    std::vector<UINT> messages;                // set record = true to collect

protected:
    LPCTSTR GetWindowClassName() const override { return L"UiLibTestWindow"; }
    UINT GetClassStyle() const override { return CS_DBLCLKS; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
};

// A folder of scratch files for one test program, removed with its files at exit.
std::wstring ScratchFolder();
// Writes bytes to ScratchFolder()\name and returns the full path.
std::wstring WriteScratchFile(const std::wstring& name, const std::string& bytes);
// Saves a width x height picture filled by fill(x, y) -> ARGB with GDI+ as PNG or JPEG.
std::wstring SavePicture(const std::wstring& name, int width, int height, DWORD (*fill)(int, int),
                         const wchar_t* mimeType);

// A GIF with one size x size frame per entry; each frame a single palette colour.
// loopCount -1 writes no looping extension.
struct GifFrameSpec {
    int colorIndex;  // 0..3 in the palette red, green, blue, white
    int delayCs;     // in hundredths of a second
};
std::string MakeGif(const std::vector<GifFrameSpec>& frames, int loopCount = -1, int size = 4);
