// The shell opens links on a thread of its own.
#include "advert/BrowserLink.h"

#include <windows.h>
#include <shellapi.h>

#include "base/DetachedThread.h"

void OpenLinkInBrowser(const std::wstring& url) {
    if (url.empty()) return;
    StartDetachedThread([url] {
        ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    });
}

std::wstring LinkMarkup(const wchar_t* colour, const std::wstring& text) {
    return std::wstring(L"{u}{a}{c ") + colour + L"}" + text + L"{/c}{/a}{/u}";
}
