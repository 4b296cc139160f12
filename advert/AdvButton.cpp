// The advertisement link: loading the configuration and its files on a worker, the
// link's looks, and what a click opens.
#include "advert/AdvButton.h"

#include "advert/AdvWnd.h"
#include "advert/AdvertConfig.h"
#include "advert/BrowserLink.h"
#include "base/WindowMessages.h"
#include "delivery/Download.h"
#include "delivery/Files.h"
#include "net/Endpoints.h"
#include "net/Text.h"
#include "uilib/UIManager.h"

namespace {

constexpr DWORD kLinkColor = 0xFF646464;
constexpr int kRightEdge = 690;
constexpr int kUnitWidth = 13;
constexpr int kPadding = 10;

}  // namespace

CAdvButton::CAdvButton() {
    SetVisible(false);
}

CAdvButton::~CAdvButton() = default;

void CAdvButton::LoadAdvert(HWND notifyWindow) {
    AdvertConfig config;
    if (!ParseAdvertConfig(RequestAdvertConfig(), &config)) return;
    mode = config.mode;
    openInBrowser = config.openInBrowser;
    url = config.url;
    name = config.name;
    if (!openInBrowser) {
        DownloadAdvertResources(config.resources);
        layout = LayoutWithTempFolder(config.xml, TempFolderPath(""));
    }
    if (ready) ::PostMessageW(notifyWindow, UM_ADVERT_READY, 0, 0);
}

// Every resource is tried; one that cannot be had (a failed download, a name that is no
// plain file name and would lead out of the folder) keeps the advertisement hidden.
void CAdvButton::DownloadAdvertResources(const std::string& resources) {
    for (const AdvertResource& resource : ParseAdvertResources(resources)) {
        std::wstring path = resource.name.empty() ? std::wstring() : TempFolderPath(resource.name);
        if (path.empty() || !DownloadToFile(ToWide(resource.url, CP_ACP), path, DownloadContent::Any)) ready = false;
    }
}

void CAdvButton::ShowAdvert() {
    SetVisible(true);
    int width = kUnitWidth * static_cast<int>(name.size()) + kPadding;
    // Built as strings, not in fixed buffers: a long name is kept whole.
    hoverMarkup = LinkMarkup(L"#646464", name);
    pressedMarkup = LinkMarkup(L"#222222", name);
    SetText(name.c_str());
    SetTextColor(kLinkColor);
    SetShowHtml(true);
    SetMyPos(RECT{kRightEdge - width, 4, kRightEdge, 29});
    if (subscribed) return;
    subscribed = true;
    OnNotify += MakeDelegate(this, &CAdvButton::OnAdvertClick);
    OnEvent += MakeDelegate(this, &CAdvButton::OnAdvertEvent);
}

bool CAdvButton::OnAdvertEvent(void* param) {
    auto* event = static_cast<TEventUI*>(param);
    switch (event->Type) {
    case UIEVENT_MOUSEENTER:
        SetText(hoverMarkup.c_str());
        break;
    case UIEVENT_MOUSELEAVE:
        SetText(name.c_str());
        break;
    case UIEVENT_BUTTONDOWN:
        SetText(pressedMarkup.c_str());
        break;
    default:
        break;
    }
    return true;
}

// Every click opens again: the link once more, or a new window.
bool CAdvButton::OnAdvertClick(void* param) {
    auto* msg = static_cast<TNotifyUI*>(param);
    if (msg->sType != DUI_MSGTYPE_CLICK) return true;
    if (openInBrowser) {
        OpenAdvertLink();
        return true;
    }
    HWND owner = m_pManager ? m_pManager->GetPaintWindow() : nullptr;
    auto* window = new CAdvWnd(layout);
    if (!window->Create(owner, L"", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU, WS_EX_WINDOWEDGE,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT)) {
        delete window;  // no window, so no final message to delete it
        return true;
    }
    window->CenterWindow();
    window->ShowModal();
    return true;
}

void CAdvButton::OpenAdvertLink() {
    OpenLinkInBrowser(ToWide(url, CP_ACP));
}
