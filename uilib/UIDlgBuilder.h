// CDialogBuilder: builds a control tree from layout markup, given as the markup text
// itself or a file name (resolved against the resource path).
#pragma once
#include "uilib/UIDefs.h"

class CControlUI;
class CPaintManagerUI;

class IDialogBuilderCallback {
public:
    virtual CControlUI* CreateControl(LPCTSTR pstrClass) = 0;
protected:
    ~IDialogBuilderCallback() = default;
};

class CDialogBuilder {
public:
    // The root control, or null when the markup is empty, unreadable or malformed.
    CControlUI* Create(STRINGorID xml, LPCTSTR type = nullptr,
                       IDialogBuilderCallback* pCallback = nullptr,
                       CPaintManagerUI* pManager = nullptr, CControlUI* pParent = nullptr);
    // Why the last Create failed (empty when it did not).
    const CDuiString& GetLastError() const { return lastError_; }

private:
    CDuiString lastError_;
};
