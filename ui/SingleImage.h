// CSingleImage: one 105 x 105 cell of the picture grid. It shows one picture of the
// current list (animated or still), a loading animation while the file is awaited and
// a failure image when it cannot be had; a click sends the picture into the chat window.
// The grid re-targets its 18 tiles on every page change; the row download workers fetch
// what a tile asks for. UI thread, except the DownloadSlot side.
#pragma once
#include <atomic>
#include <string>

#include "delivery/DownloadWorker.h"
#include "ui/ImageBase.h"
#include "uilib/UIButton.h"
#include "uilib/UIGifAnim.h"

class CSingleImage : public CImageBase, public DownloadSlot {
public:
    static constexpr int kSize = 105;
    // Download attempts after the first before the failure image stands.
    static constexpr int kMaxRetries = 3;

    // Places the hidden tile with its top left corner at (x, y) of the grid.
    CSingleImage(int x, int y);
    ~CSingleImage() override;

    // Re-targets the tile. context: the keyword of a search list, else the category id
    // as text. A picture whose cache path cannot be made leaves the tile as it was.
    void SetPicture(const std::string& url, const std::string& imageId, const std::wstring& context,
                    const std::string& source, bool fromSearch);
    // Shows the cached file, or asks for it and shows the loading animation.
    void LoadPicture();
    // Brings the picture control up to date with the file and the request flag: the
    // file once it is there, the loading animation while a download is requested, a new
    // request while attempts remain, else the failure image. The grid calls it for each
    // tile of a row that a download worker reported.
    void ShowPicture();
    // Animation on (pictures play) or off (they play only under the mouse).
    void SetAnimate(bool on);
    // The keyboard's focus ring: the hover colour, two pixels wide.
    void SetRinged(bool on);
    // What a click does: paste the picture into the chat window, record and report it.
    void Send();

    // DownloadSlot, any thread.
    std::string GetUrl() const override;
    std::wstring GetLocalPath() const override;
    bool IsDownloadRequested() const override { return downloadRequested.load(); }
    void SetDownloadRequested(bool value) override;

    const std::string& ImageId() const { return imageId; }
    int RetryCount() const { return retryCount; }
    bool IsHot() const { return hot; }
    bool IsAnimate() const { return animate; }
    CGifAnimUI* Picture() const { return picture; }

private:
    bool OnClickLayerEvent(void* param);
    bool OnClickLayerNotify(void* param);
    void UpdateBorder();
    void ShowStatusImage(LPCTSTR image, bool animated);
    bool HasFailed() const;

    CImageBase* pictureFrame = nullptr;
    CGifAnimUI* picture = nullptr;
    CButtonUI* clickLayer = nullptr;
    std::string url;           // guarded by the tile-state lock (read by the workers)
    std::wstring localPath;    // guarded by the tile-state lock
    std::string imageId;
    std::atomic<bool> downloadRequested{false};
    bool fromSearch = false;
    std::wstring searchKeyword;
    std::wstring categoryText;
    std::string source;
    bool animate = false;
    int retryCount = 0;
    bool hot = false;
    bool ringed = false;
};
