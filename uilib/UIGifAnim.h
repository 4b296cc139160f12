// CGifAnimUI: shows a picture file as its background: animated GIFs play with their
// own frame delays and looping, on the window's animation clock; stills just show.
// With SetMyAutoSize(true) any picture is fitted into the control, aspect kept,
// centred; otherwise it is stretched to the control.
#pragma once
#include "uilib/UIControl.h"
#include <memory>

class UIImage;

class CGifAnimUI : public CControlUI {
public:
    CGifAnimUI();
    ~CGifAnimUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;

    // A new picture starts at its first frame; playing follows the auto-play setting.
    void SetBkImage(LPCTSTR pStrImage) override;
    void SetAutoPlay(bool bIsAuto = true);
    bool IsAutoPlay() const;
    void SetAutoSize(bool bIsAuto = true);
    bool IsAutoSize() const;
    void SetMyAutoSize(bool bFit = true);
    bool IsMyAutoSize() const;
    void PlayGif();
    void PauseGif();
    void StopGif();  // pause and back to the first frame
    // Playing: PlayGif was called, or a new picture follows the auto-play setting.
    bool IsPlaying() const;
    UINT GetFrameCount() const;
    UINT GetCurrentFrame() const;

    void SetVisible(bool bVisible = true) override;
    void SetInternVisible(bool bVisible = true) override;
    void SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit = true) override;
    void DoInit() override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintBkImage(HDC hDC) override;
    DWORD OnAnimationTick(DWORD nowTick) override;

protected:
    enum class PlayState { FollowAutoPlay, Playing, Paused };

    void LoadPicture();
    void UpdateClock();
    void RestartFrameTimer();

    std::shared_ptr<UIImage> m_image;
    UINT m_nFramePosition = 0;
    DWORD m_dwFrameDue = 0;  // tick at which the next frame is shown
    UINT m_nLoopsDone = 0;
    bool m_bIsAutoPlay = true;
    bool m_bIsAutoSize = false;
    bool m_bMyAutoSize = false;
    PlayState m_ePlay = PlayState::FollowAutoPlay;
    bool m_bFinished = false;  // a GIF with a loop count played all its loops
    bool m_bLoaded = false;
};
