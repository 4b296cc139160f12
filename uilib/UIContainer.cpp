// Containers and the vertical and horizontal layouts.
#include "uilib/UIContainer.h"
#include "uilib/UIManager.h"
#include "uilib/Attributes.h"
#include "uilib/Render.h"
#include <algorithm>

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
    // Children go first, while this container still exists for their clean-up.
    auto items = std::move(m_items);
    m_items.clear();
    if (m_bAutoDestroy) {
        for (CControlUI* c : items) delete c;
    }
}

LPCTSTR CContainerUI::GetClass() const { return L"Container"; }

LPVOID CContainerUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && wcscmp(pstrName, L"Container") == 0) return this;
    return CControlUI::GetInterface(pstrName);
}

CControlUI* CContainerUI::GetItemAt(int iIndex) const {
    if (iIndex < 0 || iIndex >= static_cast<int>(m_items.size())) return nullptr;
    return m_items[iIndex];
}

int CContainerUI::GetItemIndex(CControlUI* pControl) const {
    auto it = std::find(m_items.begin(), m_items.end(), pControl);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

bool CContainerUI::SetItemIndex(CControlUI* pControl, int iIndex) {
    int old = GetItemIndex(pControl);
    if (old < 0 || iIndex < 0 || iIndex >= static_cast<int>(m_items.size())) return false;
    m_items.erase(m_items.begin() + old);
    m_items.insert(m_items.begin() + iIndex, pControl);
    NeedUpdate();
    return true;
}

int CContainerUI::GetCount() const { return static_cast<int>(m_items.size()); }

bool CContainerUI::Add(CControlUI* pControl) { return AddAt(pControl, GetCount()); }

bool CContainerUI::AddAt(CControlUI* pControl, int iIndex) {
    if (!pControl || iIndex < 0 || iIndex > GetCount() || GetItemIndex(pControl) >= 0) return false;
    m_items.insert(m_items.begin() + iIndex, pControl);
    pControl->SetManager(m_pManager, this, m_pManager != nullptr);
    pControl->SetInternVisible(IsVisible());
    // A child with its own rectangle can be placed now; the rest waits for the layout.
    if (pControl->HasMyPos()) pControl->SetMyPos(pControl->GetMyPos());
    NeedUpdate();
    return true;
}

bool CContainerUI::Remove(CControlUI* pControl, bool bDoNotDestroy) {
    int index = GetItemIndex(pControl);
    return index >= 0 && RemoveAt(index, bDoNotDestroy);
}

bool CContainerUI::RemoveAt(int iIndex, bool bDoNotDestroy) {
    CControlUI* c = GetItemAt(iIndex);
    if (!c) return false;
    Invalidate();
    m_items.erase(m_items.begin() + iIndex);
    if (m_bAutoDestroy && !bDoNotDestroy) {
        delete c;
    } else {
        c->SetManager(nullptr, nullptr, false);
    }
    NeedUpdate();
    return true;
}

void CContainerUI::RemoveAll() {
    while (!m_items.empty()) RemoveAt(GetCount() - 1);
}

bool CContainerUI::IsAutoDestroy() const { return m_bAutoDestroy; }
void CContainerUI::SetAutoDestroy(bool bAuto) { m_bAutoDestroy = bAuto; }
RECT CContainerUI::GetInset() const { return m_rcInset; }

void CContainerUI::SetInset(RECT rcInset) {
    m_rcInset = rcInset;
    NeedUpdate();
}

int CContainerUI::GetChildPadding() const { return m_iChildPadding; }

void CContainerUI::SetChildPadding(int iPadding) {
    m_iChildPadding = iPadding;
    NeedUpdate();
}

void CContainerUI::PageUp() {}
void CContainerUI::PageDown() {}

void CContainerUI::SetVisible(bool bVisible) {
    if (m_bVisible == bVisible) return;
    CControlUI::SetVisible(bVisible);
    for (CControlUI* c : m_items) c->SetInternVisible(IsVisible());
}

void CContainerUI::SetInternVisible(bool bVisible) {
    CControlUI::SetInternVisible(bVisible);
    for (CControlUI* c : m_items) c->SetInternVisible(IsVisible());
}

void CContainerUI::SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit) {
    for (CControlUI* c : m_items) c->SetManager(pManager, this, bInit);
    CControlUI::SetManager(pManager, pParent, bInit);
}

CControlUI* CContainerUI::FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) {
    if ((uFlags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
    if ((uFlags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
    if ((uFlags & UIFIND_HITTEST) && !::PtInRect(&m_rcItem, *static_cast<LPPOINT>(pData))) return nullptr;
    if (uFlags & UIFIND_ME_FIRST) {
        if (CControlUI* me = CControlUI::FindControl(Proc, pData, uFlags)) return me;
    }
    // Children added later lie on top: with TOP_FIRST they are asked first.
    if (uFlags & UIFIND_TOP_FIRST) {
        for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
            if (CControlUI* found = (*it)->FindControl(Proc, pData, uFlags)) return found;
        }
    } else {
        for (CControlUI* c : m_items) {
            if (CControlUI* found = c->FindControl(Proc, pData, uFlags)) return found;
        }
    }
    return CControlUI::FindControl(Proc, pData, uFlags);
}

RECT CContainerUI::InnerRect() const {
    RECT rc = m_rcItem;
    rc.left += m_rcInset.left;
    rc.top += m_rcInset.top;
    rc.right -= m_rcInset.right;
    rc.bottom -= m_rcInset.bottom;
    return rc;
}

void CContainerUI::SetMyPosChildren() {
    for (CControlUI* c : m_items) {
        if (c->HasMyPos()) c->SetMyPos(c->GetMyPos());
    }
}

void CContainerUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    RECT inner = InnerRect();
    for (CControlUI* c : m_items) {
        if (c->HasMyPos()) continue;
        // Fixed sizes are kept from the top left corner; the rest fills the inside.
        RECT r = inner;
        if (c->GetFixedWidth() > 0) r.right = r.left + c->GetFixedWidth();
        if (c->GetFixedHeight() > 0) r.bottom = r.top + c->GetFixedHeight();
        c->SetPos(r);
    }
    SetMyPosChildren();
}

void CContainerUI::DoPaint(HDC hDC, const RECT& rcPaint) {
    RECT rcTemp;
    if (!::IntersectRect(&rcTemp, &rcPaint, &m_rcItem)) return;
    PaintBkColor(hDC);
    PaintBkImage(hDC);
    PaintStatusImage(hDC);
    PaintText(hDC);
    {
        // Children paint inside this container only, in the order they were added.
        render::ClipScope clip(m_pManager, hDC, rcTemp);
        for (CControlUI* c : m_items) {
            if (!c->IsVisible()) continue;
            RECT rcChild;
            if (!::IntersectRect(&rcChild, &rcTemp, &c->GetPos())) continue;
            c->DoPaint(hDC, rcTemp);
        }
    }
    // The border goes over the children so that they cannot hide it.
    PaintBorder(hDC);
}

void CContainerUI::DoEvent(TEventUI& event) { CControlUI::DoEvent(event); }

void CContainerUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) {
    if (wcscmp(pstrName, L"inset") == 0) {
        RECT rc;
        if (attr::ParseRect(pstrValue, rc)) SetInset(rc);
    } else if (wcscmp(pstrName, L"childpadding") == 0) {
        SetChildPadding(attr::ParseInt(pstrValue));
    } else {
        CControlUI::SetAttribute(pstrName, pstrValue);
    }
}

// ---- vertical and horizontal layouts ------------------------------------------------

namespace {
// Splits `space` between items along one axis: fixed sizes first, the others share
// what is left equally. Returns each item's extent.
std::vector<int> ShareSpace(const std::vector<int>& fixed, int space, int padding) {
    int fixedTotal = 0, flexible = 0;
    for (int f : fixed) {
        if (f > 0) fixedTotal += f;
        else flexible++;
    }
    int gaps = fixed.empty() ? 0 : padding * static_cast<int>(fixed.size() - 1);
    int rest = std::max(0, space - fixedTotal - gaps);
    int each = flexible ? rest / flexible : 0;
    int extra = rest - each * flexible;  // goes to the last flexible item
    std::vector<int> out;
    for (int f : fixed) {
        if (f > 0) {
            out.push_back(f);
        } else {
            flexible--;
            out.push_back(each + (flexible == 0 ? extra : 0));
        }
    }
    return out;
}

std::vector<CControlUI*> LaidOutItems(const std::vector<CControlUI*>& items) {
    std::vector<CControlUI*> out;
    for (CControlUI* c : items) {
        if (!c->HasMyPos() && c->IsOwnVisible()) out.push_back(c);
    }
    return out;
}
}  // namespace

LPCTSTR CVerticalLayoutUI::GetClass() const { return L"VerticalLayout"; }

LPVOID CVerticalLayoutUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && wcscmp(pstrName, L"VerticalLayout") == 0) return this;
    return CContainerUI::GetInterface(pstrName);
}

void CVerticalLayoutUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    RECT inner = InnerRect();
    auto items = LaidOutItems(m_items);
    std::vector<int> fixed;
    int paddings = 0;
    for (CControlUI* c : items) {
        fixed.push_back(c->GetFixedHeight());
        paddings += c->GetPadding().top + c->GetPadding().bottom;
    }
    std::vector<int> heights = ShareSpace(fixed, inner.bottom - inner.top - paddings, m_iChildPadding);
    int y = inner.top;
    for (size_t i = 0; i < items.size(); i++) {
        CControlUI* c = items[i];
        RECT pad = c->GetPadding();
        int left = inner.left + pad.left;
        int right = c->GetFixedWidth() > 0 ? left + c->GetFixedWidth() : inner.right - pad.right;
        y += pad.top;
        c->SetPos({left, y, right, y + heights[i]});
        y += heights[i] + pad.bottom + m_iChildPadding;
    }
    SetMyPosChildren();
}

LPCTSTR CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayout"; }

LPVOID CHorizontalLayoutUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && wcscmp(pstrName, L"HorizontalLayout") == 0) return this;
    return CContainerUI::GetInterface(pstrName);
}

void CHorizontalLayoutUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    RECT inner = InnerRect();
    auto items = LaidOutItems(m_items);
    std::vector<int> fixed;
    int paddings = 0;
    for (CControlUI* c : items) {
        fixed.push_back(c->GetFixedWidth());
        paddings += c->GetPadding().left + c->GetPadding().right;
    }
    std::vector<int> widths = ShareSpace(fixed, inner.right - inner.left - paddings, m_iChildPadding);
    int x = inner.left;
    for (size_t i = 0; i < items.size(); i++) {
        CControlUI* c = items[i];
        RECT pad = c->GetPadding();
        int top = inner.top + pad.top;
        int bottom = c->GetFixedHeight() > 0 ? top + c->GetFixedHeight() : inner.bottom - pad.bottom;
        x += pad.left;
        c->SetPos({x, top, x + widths[i], bottom});
        x += widths[i] + pad.right + m_iChildPadding;
    }
    SetMyPosChildren();
}
