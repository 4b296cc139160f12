// Helpers for tests on the shared Wine desktop: top-level windows of a chosen class,
// waiting while messages are pumped, and reading the clipboard back.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

// A visible top-level window of class className (registered on first use). When it
// receives the focus it passes it on to its first child, as a chat window does.
HWND MakeTopWindow(const wchar_t* className);
// Brings a window forward and waits until it is the foreground window.
bool BringToFront(HWND window);
// Pumps this thread's messages for ms milliseconds.
void PumpFor(DWORD ms);
// Pumps messages until done() or timeoutMs; returns done().
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);

// The clipboard's formats in enumeration order, and one format's block as bytes.
std::vector<UINT> ClipboardFormats();
std::string ClipboardBlock(UINT format);
// A byte text up to (not including) its first zero.
std::string UpToZero(const std::string& block);
// Leaves a known Unicode text on the clipboard, and tells whether it is still there.
void PutMarkerOnClipboard();
bool MarkerStillOnClipboard();
// True when every format after the first `count` is one the system derives itself.
bool OnlySynthesisedAfter(const std::vector<UINT>& formats, size_t count);

UINT RichEditFormat();
UINT HtmlFormat();
