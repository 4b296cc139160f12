// CBottomContainer: the strip along the lower edge of the main window: the GIF animation
// switch ("动画效果"), the feedback link ("意见反馈") and the advertisement's link. It
// starts the advertisement worker; the switch and the link appear once the advertisement
// is ready. UI thread only, except the advertisement worker.
#pragma once
#include <string>

#include "advert/AdvButton.h"
#include "uilib/UIButton.h"
#include "uilib/UIContainer.h"
#include "uilib/UILabel.h"

class CImageContainer;

class CBottomContainer : public CContainerUI {
public:
    CBottomContainer();
    ~CBottomContainer() override;

    // Starts the advertisement worker (once); it posts UM_ADVERT_READY when ready.
    void StartAdvertLoad();
    // The advertisement is ready: the switch with the saved or the server's GIF mode,
    // the advertisement's link and the feedback link. Once.
    void BuildControls();

    const std::string& GifMode() const { return gifMode; }
    CAdvButton* AdvertButton() const { return advertButton; }

private:
    void BuildToggle();
    void BuildFeedbackLink();
    bool OnToggleNotify(void* param);
    bool OnFeedbackNotify(void* param);
    bool OnFeedbackEvent(void* param);
    // Opens the feedback page in the browser, on a thread of its own.
    void OpenFeedbackPage();
    void ShowMode(bool isStatic);

    CContainerUI* separatorLine = nullptr;
    CAdvButton* advertButton = nullptr;
    CLabelUI* animationLabel = nullptr;
    std::string gifMode;  // "static" or "dynamic" once built
    CButtonUI* gifToggle = nullptr;
    CImageContainer* grid = nullptr;
    CButtonUI* feedbackLink = nullptr;
    std::wstring feedbackText;
    std::wstring feedbackHoverMarkup;
    std::wstring feedbackPressedMarkup;
    bool advertLoadStarted = false;
    bool built = false;
};

// The feedback page on the maker's support site.
std::wstring FeedbackPageUrl();
