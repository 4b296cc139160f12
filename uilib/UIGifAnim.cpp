// CGifAnimUI: pictures with their frames decoded once; animation runs on the
// window's single animation clock and only while the control can be seen.
#include "uilib/UIGifAnim.h"
#include "uilib/UIImage.h"
#include "uilib/UIManager.h"
#include "uilib/Render.h"
#include "uilib/Attributes.h"

CGifAnimUI::CGifAnimUI() = default;

CGifAnimUI::~CGifAnimUI() {
    if (m_pManager) m_pManager->StopAnimation(this);
}

LPCTSTR CGifAnimUI::GetClass() const { return L"GifAnim"; }

LPVOID CGifAnimUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && wcscmp(pstrName, L"GifAnim") == 0) return this;
    return CControlUI::GetInterface(pstrName);
}

void CGifAnimUI::SetBkImage(LPCTSTR pStrImage) {
    CDuiString name(pStrImage);
    // The same file again keeps the animation where it is (a tile refresh sets it
    // again and again); a file that failed before is tried again.
    if (name == m_sBkImage && m_image) return;
    m_sBkImage = name;
    m_image.reset();
    m_bLoaded = false;
    m_nFramePosition = 0;
    m_nLoopsDone = 0;
    // Until PlayGif or PauseGif says otherwise, a new picture plays as the auto-play
    // setting says, whenever that is set.
    m_ePlay = PlayState::FollowAutoPlay;
    LoadPicture();
    UpdateClock();
    Invalidate();
}

void CGifAnimUI::LoadPicture() {
    if (m_bLoaded || !m_pManager) return;
    m_bLoaded = true;
    m_image = m_sBkImage.IsEmpty() ? nullptr : m_pManager->GetImage(m_sBkImage);
    m_nFramePosition = 0;
    m_nLoopsDone = 0;
    m_bFinished = false;
    if (m_image) m_dwFrameDue = ::GetTickCount() + m_image->GetFrame(0).delayMs;
}

void CGifAnimUI::SetAutoPlay(bool bIsAuto) {
    if (m_bIsAutoPlay == bIsAuto) return;
    bool wasPlaying = IsPlaying();
    m_bIsAutoPlay = bIsAuto;
    if (!wasPlaying && IsPlaying()) RestartFrameTimer();
    UpdateClock();
}
bool CGifAnimUI::IsAutoPlay() const { return m_bIsAutoPlay; }
void CGifAnimUI::SetAutoSize(bool bIsAuto) { m_bIsAutoSize = bIsAuto; }
bool CGifAnimUI::IsAutoSize() const { return m_bIsAutoSize; }

void CGifAnimUI::SetMyAutoSize(bool bFit) {
    if (m_bMyAutoSize == bFit) return;
    m_bMyAutoSize = bFit;
    Invalidate();
}

bool CGifAnimUI::IsMyAutoSize() const { return m_bMyAutoSize; }

void CGifAnimUI::RestartFrameTimer() {
    // Resuming shows the current frame for its full delay again.
    if (m_image) m_dwFrameDue = ::GetTickCount() + m_image->GetFrame(m_nFramePosition).delayMs;
    if (m_image && m_image->LoopCount() > 0 && m_nLoopsDone >= m_image->LoopCount())
        m_nLoopsDone = 0;  // a finished animation plays again when asked to
    m_bFinished = false;
}

void CGifAnimUI::PlayGif() {
    bool wasPlaying = IsPlaying();
    m_ePlay = PlayState::Playing;
    if (!wasPlaying || m_bFinished) RestartFrameTimer();
    UpdateClock();
}

void CGifAnimUI::PauseGif() {
    m_ePlay = PlayState::Paused;
    UpdateClock();
}

void CGifAnimUI::StopGif() {
    m_ePlay = PlayState::Paused;
    m_nFramePosition = 0;
    m_nLoopsDone = 0;
    m_bFinished = false;
    UpdateClock();
    Invalidate();
}

bool CGifAnimUI::IsPlaying() const {
    return m_ePlay == PlayState::Playing || (m_ePlay == PlayState::FollowAutoPlay && m_bIsAutoPlay);
}
UINT CGifAnimUI::GetFrameCount() const { return m_image ? m_image->FrameCount() : 0; }
UINT CGifAnimUI::GetCurrentFrame() const { return m_nFramePosition; }

void CGifAnimUI::UpdateClock() {
    if (!m_pManager) return;
    bool wanted = IsPlaying() && !m_bFinished && m_image && m_image->IsAnimated() && IsVisible();
    if (wanted) m_pManager->StartAnimation(this);
    else m_pManager->StopAnimation(this);
}

void CGifAnimUI::SetVisible(bool bVisible) {
    CControlUI::SetVisible(bVisible);
    UpdateClock();
}

void CGifAnimUI::SetInternVisible(bool bVisible) {
    CControlUI::SetInternVisible(bVisible);
    UpdateClock();
}

void CGifAnimUI::SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit) {
    if (m_pManager && m_pManager != pManager) m_pManager->StopAnimation(this);
    CControlUI::SetManager(pManager, pParent, bInit);
    // A picture set before the control joined a window loads now.
    if (m_pManager && !m_bLoaded && !m_sBkImage.IsEmpty()) LoadPicture();
    UpdateClock();
}

void CGifAnimUI::DoInit() { UpdateClock(); }

void CGifAnimUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) {
    CDuiString name(pstrName);
    if (name == L"autoplay") SetAutoPlay(attr::ParseBool(pstrValue));
    else if (name == L"autosize") SetAutoSize(attr::ParseBool(pstrValue));
    else if (name == L"myautosize") SetMyAutoSize(attr::ParseBool(pstrValue));
    else if (name == L"bkimage") SetBkImage(attr::ImageFileName(pstrValue).c_str());
    else CControlUI::SetAttribute(pstrName, pstrValue);
}

void CGifAnimUI::PaintBkImage(HDC /*hDC*/) {
    LoadPicture();
    if (!m_image) return;
    render::DrawImage(m_pManager, m_rcItem, *m_image, m_nFramePosition, m_bMyAutoSize);
}

DWORD CGifAnimUI::OnAnimationTick(DWORD nowTick) {
    if (!IsPlaying() || m_bFinished || !m_image || !m_image->IsAnimated() || !IsVisible()) return 0;
    if (static_cast<LONG>(nowTick - m_dwFrameDue) < 0) return m_dwFrameDue - nowTick;
    UINT count = m_image->FrameCount();
    // Catch up with frames whose time passed while the window was busy, but never
    // replay a long backlog: after a stall the animation simply continues from now.
    int skipped = 0;
    while (static_cast<LONG>(nowTick - m_dwFrameDue) >= 0) {
        UINT next = m_nFramePosition + 1;
        if (next >= count) {
            m_nLoopsDone++;
            if (m_image->LoopCount() > 0 && m_nLoopsDone >= m_image->LoopCount()) {
                m_bFinished = true;  // played as often as the file asks: stay on the last frame
                Invalidate();
                return 0;
            }
            next = 0;
        }
        m_nFramePosition = next;
        m_dwFrameDue += m_image->GetFrame(next).delayMs;
        if (++skipped > static_cast<int>(count)) {
            m_dwFrameDue = nowTick + m_image->GetFrame(next).delayMs;
            break;
        }
    }
    Invalidate();
    return m_dwFrameDue - nowTick;
}
