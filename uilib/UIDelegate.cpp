// CEventSource: runs a control's handlers in order.
#include "uilib/UIDelegate.h"

void CEventSource::operator-=(const CDelegateBase& d) {
    for (auto it = delegates_.begin(); it != delegates_.end(); ++it) {
        if ((*it)->Equals(d)) {
            delegates_.erase(it);
            return;
        }
    }
}

bool CEventSource::operator()(void* param) {
    // A handler may add or remove handlers (or hide controls) while it runs: iterate
    // over a snapshot that keeps every handler alive until the call returns.
    auto snapshot = delegates_;
    for (auto& d : snapshot) {
        if (!(*d)(param)) return false;
    }
    return true;
}
