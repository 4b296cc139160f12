// The picture tile: its frame, picture and click layer, what it shows while its picture
// is awaited or failed, the hover look and the click that sends the picture.
#include "ui/SingleImage.h"

#include <mutex>

#include "delivery/Files.h"
#include "delivery/Paste.h"
#include "net/Pings.h"
#include "net/Text.h"
#include "ui/ImageContainer.h"

namespace {

// Shared by all tiles and the download workers. Lock order: the tile-picture lock, then
// the tile-state lock; never the other way round.
std::mutex tileStateLock;    // each tile's downloadRequested, url and localPath
std::mutex tilePictureLock;  // what a tile's picture control shows

constexpr DWORD kBorderColor = 0xFFE6EAED;
constexpr DWORD kHotBorderColor = 0xFFFE839D;
constexpr wchar_t kLoadingImage[] = L"Res\\loading.gif";
constexpr wchar_t kLoadFailImage[] = L"Res\\LoadFail.png";

bool FileExists(const std::wstring& path) {
    return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

CSingleImage::CSingleImage(int x, int y) {
    SetMyPos(RECT{x, y, x + kSize, y + kSize});
    SetBorderSize(1);
    SetBorderColor(kBorderColor);

    pictureFrame = new CImageBase;
    pictureFrame->SetMyPos(RECT{1, 1, kSize - 1, kSize - 1});
    picture = new CGifAnimUI;
    picture->SetMyPos(RECT{0, 0, kSize - 2, kSize - 2});
    picture->SetMyAutoSize(true);
    picture->SetAutoPlay(false);
    clickLayer = new CButtonUI;
    clickLayer->SetMyPos(RECT{0, 0, kSize - 2, kSize - 2});
    // The click layer lies over the frame and takes the wheel there: it pages itself.
    clickLayer->OnEvent += MakeDelegate(&CImageBase::PageGridOnWheel);
    clickLayer->OnEvent += MakeDelegate(this, &CSingleImage::OnClickLayerEvent);
    clickLayer->OnNotify += MakeDelegate(this, &CSingleImage::OnClickLayerNotify);
    pictureFrame->Add(picture);
    pictureFrame->Add(clickLayer);
    Add(pictureFrame);
    SetVisible(false);
}

CSingleImage::~CSingleImage() = default;

void CSingleImage::SetPicture(const std::string& newUrl, const std::string& newImageId, const std::wstring& context,
                              const std::string& newSource, bool newFromSearch) {
    std::wstring path = TempFolderPath(newImageId);
    {
        std::lock_guard<std::mutex> lock(tileStateLock);
        url = newUrl;
        localPath = path;
    }
    imageId = newImageId;
    source = newSource;
    fromSearch = newFromSearch;
    if (fromSearch) searchKeyword = context;
    else categoryText = context;
    if (path.empty()) {
        // No cache file can be named for this id: nothing can ever be fetched for it, so
        // it fails at once rather than keep showing (and sending) the previous picture.
        SetDownloadRequested(false);
        retryCount = kMaxRetries;
        std::lock_guard<std::mutex> lock(tilePictureLock);
        ShowStatusImage(kLoadFailImage, false);
        return;
    }
    LoadPicture();
}

void CSingleImage::LoadPicture() {
    if (FileExists(GetLocalPath())) {
        ShowPicture();
        return;
    }
    SetDownloadRequested(true);
    retryCount = 0;
    std::lock_guard<std::mutex> lock(tilePictureLock);
    ShowStatusImage(kLoadingImage, true);
}

void CSingleImage::ShowPicture() {
    std::lock_guard<std::mutex> lock(tilePictureLock);
    std::wstring path = GetLocalPath();
    if (FileExists(path)) {
        picture->SetBkImage(path.c_str());
        picture->SetAutoPlay(animate);
        if (animate || hot) picture->PlayGif();
        else if (picture->IsAutoPlay()) picture->PauseGif();
        SetDownloadRequested(false);
    } else if (downloadRequested) {
        ShowStatusImage(kLoadingImage, true);
    } else if (retryCount < kMaxRetries && !path.empty()) {
        SetDownloadRequested(true);  // the row's worker tries again
        retryCount += 1;
    } else {
        ShowStatusImage(kLoadFailImage, false);
    }
}

// Caller holds the tile-picture lock.
void CSingleImage::ShowStatusImage(LPCTSTR image, bool animated) {
    picture->SetBkImage(image);
    picture->SetAutoPlay(animated);
    if (animated) picture->PlayGif();
}

void CSingleImage::SetAnimate(bool on) {
    animate = on;
    if (on) {
        picture->PlayGif();
        picture->SetAutoPlay(true);
    } else {
        picture->PauseGif();
        picture->SetAutoPlay(false);
    }
}

std::string CSingleImage::GetUrl() const {
    std::lock_guard<std::mutex> lock(tileStateLock);
    return url;
}

std::wstring CSingleImage::GetLocalPath() const {
    std::lock_guard<std::mutex> lock(tileStateLock);
    return localPath;
}

void CSingleImage::SetDownloadRequested(bool value) {
    std::lock_guard<std::mutex> lock(tileStateLock);
    downloadRequested = value;
}

void CSingleImage::SetRinged(bool on) {
    ringed = on;
    UpdateBorder();
}

void CSingleImage::UpdateBorder() {
    SetBorderSize(ringed ? 2 : 1);
    SetBorderColor(ringed || hot ? kHotBorderColor : kBorderColor);
}

bool CSingleImage::HasFailed() const {
    return !downloadRequested && !FileExists(GetLocalPath());
}

bool CSingleImage::OnClickLayerEvent(void* param) {
    auto* event = static_cast<TEventUI*>(param);
    if (event->Type == UIEVENT_MOUSEENTER) {
        hot = true;
        UpdateBorder();
        if (!animate) {
            picture->SetAutoPlay(true);
            picture->PlayGif();
        }
    } else if (event->Type == UIEVENT_MOUSELEAVE) {
        hot = false;
        UpdateBorder();
        if (!animate) {
            picture->SetAutoPlay(false);
            picture->PauseGif();
        }
    }
    return true;
}

bool CSingleImage::OnClickLayerNotify(void* param) {
    auto* msg = static_cast<TNotifyUI*>(param);
    if (msg->sType == DUI_MSGTYPE_CLICK) Send();
    return true;
}

// Pastes the picture into the chat window, records it as sent when that worked, and
// reports the send either way. A tile still loading sends nothing; one whose picture
// failed asks for it again instead of sending its failure image.
void CSingleImage::Send() {
    if (downloadRequested) return;
    if (HasFailed()) {
        if (GetLocalPath().empty()) return;
        retryCount = 0;
        LoadPicture();
        return;
    }
    if (PastePicture(GetLocalPath())) CImageContainer::Instance()->AddSessionPick(imageId, GetUrl());
    if (fromSearch) PingPictureSentSearch(FromWide(searchKeyword, CP_UTF8), imageId, source);
    else PingPictureSentCategory(FromWide(categoryText, CP_ACP), imageId, source);
}
