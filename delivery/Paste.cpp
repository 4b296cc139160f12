// Pastes a picture into the remembered chat window with a synthesised Shift+Insert.
#include "delivery/Paste.h"
#include "delivery/ActivityWnd.h"
#include "delivery/Clipboard.h"
#include <windows.h>

namespace {
// Shift+Insert by scan code (chat windows that ignore Ctrl+V still take it). Windows
// ignores wVk when KEYEVENTF_SCANCODE is set; Wine delivers it as the message's virtual
// key, and a record with wVk 0 arrives there as key 0 and pastes nothing.
struct KeyRecord {
    WORD virtualKey;
    WORD scanCode;
    DWORD flags;
};
const KeyRecord kShiftInsert[] = {
    {VK_SHIFT, 0x2A, KEYEVENTF_SCANCODE},
    {VK_INSERT, 0x52, KEYEVENTF_SCANCODE | KEYEVENTF_EXTENDEDKEY},
    {VK_INSERT, 0x52, KEYEVENTF_SCANCODE | KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP},
    {VK_SHIFT, 0x2A, KEYEVENTF_SCANCODE | KEYEVENTF_KEYUP},
};
constexpr DWORD kSettleAfterForegroundMs = 100;
constexpr DWORD kSettleAfterKeysMs = 50;

// True when all four key records were injected.
bool SendShiftInsert() {
    INPUT inputs[4] = {};
    for (int i = 0; i < 4; i++) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = kShiftInsert[i].virtualKey;
        inputs[i].ki.wScan = kShiftInsert[i].scanCode;
        inputs[i].ki.dwFlags = kShiftInsert[i].flags;
    }
    // One call, so no other input can come between the four records.
    return SendInput(4, inputs, sizeof(INPUT)) == 4;
}
}  // namespace

bool PastePicture(const std::wstring& path) {
    HWND target = CActivityWnd::GetInstance()->GetTarget();
    // A target that has been closed since is no target: the key press would land in
    // whatever window is in front and the picture would be counted as sent.
    if (!target || !IsWindow(target)) return false;
    SetForegroundWindow(target);
    Sleep(kSettleAfterForegroundMs);
    // A clipboard another program holds, or keys the system would not inject, paste
    // nothing of ours: the chat window would get whatever the clipboard held before.
    if (!PutPictureOnClipboard(ClipboardPicture{nullptr, kClipAllFormats}, path.c_str())) return false;
    if (!SendShiftInsert()) return false;
    Sleep(kSettleAfterKeysMs);
    return true;
}
