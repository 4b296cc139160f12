// CAdvButton: the advertisement's link at the right end of the bottom bar. Its worker
// fetches the configuration and the advertisement window's files; a click opens the
// link in the browser or the advertisement window built from the server's layout.
// UI thread, except LoadAdvert (its own worker) and OpenAdvertLink (a short-lived thread).
#pragma once
#include <windows.h>

#include <string>

#include "uilib/UIButton.h"

class CAdvButton : public CButtonUI {
public:
    CAdvButton();
    ~CAdvButton() override;

    // Worker thread: fetches the configuration and its resources, and posts
    // UM_ADVERT_READY to notifyWindow when an advertisement is ready to be shown.
    void LoadAdvert(HWND notifyWindow);
    // UI thread, after UM_ADVERT_READY: the link takes its text and place.
    void ShowAdvert();
    // The server's default GIF mode; read after UM_ADVERT_READY.
    std::string GetMode() const { return mode; }
    bool IsReady() const { return ready; }
    bool OpensInBrowser() const { return openInBrowser; }
    const std::wstring& Layout() const { return layout; }

private:
    void DownloadAdvertResources(const std::string& resources);
    bool OnAdvertClick(void* param);
    bool OnAdvertEvent(void* param);
    void OpenAdvertLink();

    bool openInBrowser = false;
    bool ready = true;  // cleared when a resource could not be fetched
    std::wstring name;
    std::wstring hoverMarkup;
    std::wstring pressedMarkup;
    std::string url;
    std::wstring layout;
    std::string mode;
    bool subscribed = false;
};
