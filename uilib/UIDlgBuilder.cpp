// CDialogBuilder: layout markup to a control tree.
#include "uilib/UIDlgBuilder.h"
#include "uilib/UIControl.h"

CControlUI* CDialogBuilder::Create(STRINGorID /*xml*/, LPCTSTR /*type*/, IDialogBuilderCallback* /*pCallback*/,
                                   CPaintManagerUI* /*pManager*/, CControlUI* /*pParent*/) {
    lastError_ = L"layout markup is not supported yet";
    return nullptr;
}
