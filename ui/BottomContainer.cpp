// The bottom bar: the animation switch and what it tells the grid and the statistics,
// the feedback link's looks, and the advertisement's start.
#include "ui/BottomContainer.h"

#include "BuildConfig.h"
#include "advert/BrowserLink.h"
#include "base/DetachedThread.h"
#include "net/Pings.h"
#include "ui/ImageContainer.h"
#include "uilib/UIManager.h"

namespace {

constexpr DWORD kBarBackground = 0xFFEEF1F2;
constexpr DWORD kSeparatorColor = 0xFFDFE3E7;
constexpr DWORD kLabelColor = 0xFF646464;
constexpr int kLabelFont = 3;
constexpr int kUnitWidth = 13;
constexpr int kLinkPadding = 10;
constexpr int kFeedbackRight = 170;
constexpr char kStaticMode[] = "static";
constexpr char kDynamicMode[] = "dynamic";
constexpr wchar_t kPlayingImage[] = L"Res\\Static_On.png";
constexpr wchar_t kStillImage[] = L"Res\\Static_Off.png";

}  // namespace

std::wstring FeedbackPageUrl() {
    return std::wstring(L"http://") + build_config::kSupportHost + L"/proxy/inputclient.php?t=zdl";
}

CBottomContainer::CBottomContainer() {
    SetMyPos(RECT{1, 440, 699, 469});
    SetBkColor(kBarBackground);
    separatorLine = new CContainerUI;
    separatorLine->SetMyPos(RECT{0, 0, 698, 1});
    separatorLine->SetBkColor(kSeparatorColor);
    advertButton = new CAdvButton;
    advertButton->SetName(L"AdvertBtn");
    feedbackLink = new CButtonUI;
    feedbackLink->SetName(L"FeedbackBtn");
    Add(separatorLine);
    Add(advertButton);
}

CBottomContainer::~CBottomContainer() {
    // Added to the bar only by BuildControls; before that it is the bar's own to delete.
    if (!built) delete feedbackLink;
}

void CBottomContainer::StartAdvertLoad() {
    if (advertLoadStarted || !m_pManager) return;
    advertLoadStarted = true;
    CAdvButton* button = advertButton;
    HWND window = m_pManager->GetPaintWindow();
    StartDetachedThread([button, window] { button->LoadAdvert(window); });
}

void CBottomContainer::BuildControls() {
    if (built) return;
    built = true;
    animationLabel = new CLabelUI;
    animationLabel->SetName(L"AnimationLabel");
    animationLabel->SetMyPos(RECT{20, 0, 70, 30});
    animationLabel->SetText(L"动画效果");
    animationLabel->SetTextColor(kLabelColor);
    animationLabel->SetFont(kLabelFont);
    Add(animationLabel);
    BuildToggle();
    advertButton->ShowAdvert();
    BuildFeedbackLink();
}

// Until the user has chosen, the server's mode applies; only "static" stands still.
void CBottomContainer::BuildToggle() {
    gifToggle = new CButtonUI;
    gifToggle->SetName(L"GifToggleBtn");
    gifToggle->SetMyPos(RECT{75, 6, 109, 26});
    grid = CImageContainer::Instance();
    int choice = grid->GifAutoPlay();
    gifMode = choice == -1 ? advertButton->GetMode() : (choice != 0 ? kDynamicMode : kStaticMode);
    ShowMode(gifMode == kStaticMode);
    if (gifMode != kStaticMode) gifMode = kDynamicMode;
    gifToggle->OnNotify += MakeDelegate(this, &CBottomContainer::OnToggleNotify);
    Add(gifToggle);
}

void CBottomContainer::ShowMode(bool isStatic) {
    grid->SetGifAutoPlay(isStatic);
    gifToggle->SetBkImage(isStatic ? kStillImage : kPlayingImage);
}

// Each click flips the mode, keeps the choice for the recent-list file and reports it.
bool CBottomContainer::OnToggleNotify(void* param) {
    if (static_cast<TNotifyUI*>(param)->sType != DUI_MSGTYPE_CLICK) return true;
    int pageCode = grid->Mode() == ListMode::Search ? 2 : 1;
    bool nowStatic = gifMode != kStaticMode;
    ShowMode(nowStatic);
    gifMode = nowStatic ? kStaticMode : kDynamicMode;
    grid->SetGifAutoPlayChoice(nowStatic ? 0 : 1);
    PingGifAutoPlay(pageCode, !nowStatic);
    return true;
}

void CBottomContainer::BuildFeedbackLink() {
    feedbackText = L"意见反馈";
    feedbackHoverMarkup = LinkMarkup(L"#646464", feedbackText);
    feedbackPressedMarkup = LinkMarkup(L"#000000", feedbackText);
    int width = kUnitWidth * static_cast<int>(feedbackText.size()) + kLinkPadding;
    feedbackLink->SetText(feedbackText.c_str());
    feedbackLink->SetTextColor(kLabelColor);
    feedbackLink->SetShowHtml(true);
    feedbackLink->SetMyPos(RECT{kFeedbackRight - width, 4, kFeedbackRight, 29});
    feedbackLink->OnNotify += MakeDelegate(this, &CBottomContainer::OnFeedbackNotify);
    feedbackLink->OnEvent += MakeDelegate(this, &CBottomContainer::OnFeedbackEvent);
    Add(feedbackLink);
}

bool CBottomContainer::OnFeedbackNotify(void* param) {
    if (static_cast<TNotifyUI*>(param)->sType == DUI_MSGTYPE_CLICK) OpenFeedbackPage();
    return true;
}

void CBottomContainer::OpenFeedbackPage() {
    OpenLinkInBrowser(FeedbackPageUrl());
}

bool CBottomContainer::OnFeedbackEvent(void* param) {
    auto* event = static_cast<TEventUI*>(param);
    if (event->Type == UIEVENT_MOUSEENTER) feedbackLink->SetText(feedbackHoverMarkup.c_str());
    else if (event->Type == UIEVENT_MOUSELEAVE) feedbackLink->SetText(feedbackText.c_str());
    else if (event->Type == UIEVENT_BUTTONDOWN) feedbackLink->SetText(feedbackPressedMarkup.c_str());
    return true;
}
