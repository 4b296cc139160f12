// CImageScrollBar: the vertical bar at the right edge of the main window that pages the
// picture grid by screen pages of 18 pictures: an up button, a track and a down button.
// The track's range holds one position per page; the thumb comes to rest on a page, and
// reaching the last page asks the grid for the list's next batch. UI thread only, except
// PagePosition, which the download workers read.
#pragma once
#include <atomic>

#include "ui/ImageBase.h"
#include "ui/ScrollGeometry.h"
#include "uilib/UIButton.h"
#include "uilib/UISlider.h"

class CImageScrollBar : public CImageBase {
public:
    // The one scroll bar, made on first use; never replaced or deleted.
    static CImageScrollBar* Instance();

    // A list of count records is shown: reset puts it at its top page; otherwise (an
    // appended batch) the thumb stays on the page from which the batch was requested.
    void SetRange(int count, bool reset);
    // Shows page (the grid refills its tiles) and requests the next batch at the last
    // page, once per last page. Pages outside the list, a hidden bar or a single page do
    // nothing. The caller keeps currentPage.
    void GoToPage(int page);
    // Goes straight to page (the keyboard's Home and End), the thumb with it.
    void ShowPage(int page);
    void PageUp() override;
    void PageDown() override;
    int PageOffset(int page) const;
    int ValueToPage(int value) const;

    int CurrentPage() const { return currentPage; }
    int LastPage() const { return steps.lastPage; }
    bool IsSinglePage() const { return steps.singlePage; }
    const PageSteps& Steps() const { return steps; }
    CSliderUI* Slider() const { return slider; }
    // Any thread: the page position (maximum − value) div longStep, as the UI thread last
    // set it. The download workers compare readings to notice that the user is paging.
    int PagePosition() const { return pagePosition.load(); }

private:
    CImageScrollBar();

    bool OnSliderEvent(void* param);
    bool OnSliderNotify(void* param);
    bool OnButtonNotify(void* param);
    bool OnButtonDown(const TEventUI& event);
    bool OnDragMove(const TEventUI& event);
    void SnapThumb();
    void SetSliderValue(int value);
    void PublishPosition();

    CButtonUI* upButton = nullptr;
    CButtonUI* downButton = nullptr;
    CSliderUI* slider = nullptr;
    PageSteps steps;
    int currentPage = 0;
    bool dragging = false;
    int dragLastY = 0;
    int requestedPage = -1;  // the last page for which the next batch was requested
    std::atomic<int> pagePosition{0};
};
