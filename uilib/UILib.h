// Everything the program uses of the UI library.
#pragma once
#include "uilib/UIDefs.h"
#include "uilib/UIDelegate.h"
#include "uilib/UIManager.h"
#include "uilib/UIWindow.h"
#include "uilib/UIControl.h"
#include "uilib/UIContainer.h"
#include "uilib/UILabel.h"
#include "uilib/UIButton.h"
#include "uilib/UIEdit.h"
#include "uilib/UISlider.h"
#include "uilib/UIGifAnim.h"
#include "uilib/UIDlgBuilder.h"
