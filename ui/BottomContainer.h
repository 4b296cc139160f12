// CBottomContainer: the strip along the lower edge of the main window, with the GIF
// animation switch, the feedback link and the advertisement link. UI thread only.
#pragma once
#include "uilib/UIContainer.h"

class CBottomContainer : public CContainerUI {
public:
    CBottomContainer();
    ~CBottomContainer() override;

    // Starts loading the advertisement configuration on a worker.
    void StartAdvertLoad();
    // The advertisement is ready: the switch, the feedback link and the advertisement.
    void BuildControls();

private:
    CContainerUI* separatorLine = nullptr;
};
