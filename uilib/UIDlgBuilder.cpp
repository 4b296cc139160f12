// CDialogBuilder: layout markup to a control tree. <Window> carries the window's
// size, caption band and fonts; its first control element becomes the root.
#include "uilib/UIDlgBuilder.h"
#include "uilib/UIButton.h"
#include "uilib/UIContainer.h"
#include "uilib/UIEdit.h"
#include "uilib/UIGifAnim.h"
#include "uilib/UILabel.h"
#include "uilib/UIManager.h"
#include "uilib/UISlider.h"
#include "uilib/Attributes.h"
#include "base/WinHandle.h"
#include "uilib/Markup.h"
#include <cwchar>

namespace {

CControlUI* NewControl(const std::wstring& cls) {
    if (cls == L"Control") return new CControlUI;
    if (cls == L"Container") return new CContainerUI;
    if (cls == L"VerticalLayout") return new CVerticalLayoutUI;
    if (cls == L"HorizontalLayout") return new CHorizontalLayoutUI;
    if (cls == L"Label") return new CLabelUI;
    if (cls == L"Text") return new CTextUI;
    if (cls == L"Button") return new CButtonUI;
    if (cls == L"Option") return new COptionUI;
    if (cls == L"Edit") return new CEditUI;
    if (cls == L"Progress") return new CProgressUI;
    if (cls == L"Slider") return new CSliderUI;
    if (cls == L"GifAnim") return new CGifAnimUI;
    return nullptr;
}

bool IsWindowSetting(const std::wstring& name) {
    return name == L"Font" || name == L"Default" || name == L"Image" || name == L"Style";
}

void ApplyWindowAttributes(const markup::Element& window, CPaintManagerUI* pm) {
    if (!pm) return;
    if (const std::wstring* v = window.Attribute(L"size")) {
        SIZE sz;
        if (attr::ParseSize(v->c_str(), sz)) pm->SetInitSize(sz.cx, sz.cy);
    }
    if (const std::wstring* v = window.Attribute(L"caption")) {
        RECT rc;
        if (attr::ParseRect(v->c_str(), rc)) pm->SetCaptionRect(rc);
    }
    for (const auto& child : window.children) {
        if (child->name != L"Font") continue;
        const std::wstring* id = child->Attribute(L"id");
        const std::wstring* name = child->Attribute(L"name");
        const std::wstring* size = child->Attribute(L"size");
        auto flag = [&](const wchar_t* n) {
            const std::wstring* v = child->Attribute(n);
            return v && attr::ParseBool(v->c_str());
        };
        pm->AddFont(id ? attr::ParseInt(id->c_str()) : 0, name ? name->c_str() : L"",
                    size ? attr::ParseInt(size->c_str()) : 12, flag(L"bold"), flag(L"underline"), flag(L"italic"));
    }
}

// Reads a layout file named relative to the resource path.
bool ReadLayoutFile(LPCTSTR name, std::wstring& text) {
    CDuiString path = CPaintManagerUI::ResolveResourcePath(name);
    KernelHandle file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > (16 << 20)) return false;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!::ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size())
        return false;
    text = markup::DecodeText(bytes);
    return !text.empty();
}

class TreeBuilder {
public:
    TreeBuilder(IDialogBuilderCallback* callback, CPaintManagerUI* pm) : callback_(callback), pm_(pm) {}

    // Builds the control of e and, for containers, its children; null for an element
    // that names no control.
    CControlUI* Build(const markup::Element& e, CControlUI* parent) {
        CControlUI* control = NewControl(e.name);
        if (!control && callback_) control = callback_->CreateControl(e.name.c_str());
        if (!control) return nullptr;
        auto* container = static_cast<CContainerUI*>(control->GetInterface(L"Container"));
        if (parent) {
            auto* parentContainer = static_cast<CContainerUI*>(parent->GetInterface(L"Container"));
            if (parentContainer) parentContainer->Add(control);
        }
        for (const auto& a : e.attributes) control->SetAttribute(a.first.c_str(), a.second.c_str());
        for (const auto& child : e.children) {
            if (!container || IsWindowSetting(child->name)) continue;
            Build(*child, control);
        }
        return control;
    }

private:
    IDialogBuilderCallback* callback_;
    CPaintManagerUI* pm_;
};

}  // namespace

CControlUI* CDialogBuilder::Create(STRINGorID xml, LPCTSTR /*type*/, IDialogBuilderCallback* pCallback,
                                   CPaintManagerUI* pManager, CControlUI* pParent) {
    lastError_.Empty();
    if (!xml.m_lpstr || IS_INTRESOURCE(xml.m_lpstr)) {
        lastError_ = L"no layout text";
        return nullptr;
    }
    // Markup text itself, or the name of a file that holds it.
    std::wstring text = xml.m_lpstr;
    size_t first = text.find_first_not_of(L" \t\r\n\xFEFF");
    if (first == std::wstring::npos) {
        lastError_ = L"empty layout";
        return nullptr;
    }
    if (text[first] != L'<' && !ReadLayoutFile(xml.m_lpstr, text)) {
        lastError_ = L"cannot read the layout file";
        return nullptr;
    }
    std::wstring error;
    std::unique_ptr<markup::Element> doc = markup::Parse(text, error);
    if (!doc) {
        lastError_ = error.c_str();
        return nullptr;
    }

    const markup::Element* rootElement = doc.get();
    if (doc->name == L"Window") {
        ApplyWindowAttributes(*doc, pManager);
        rootElement = nullptr;
        for (const auto& child : doc->children) {
            if (!IsWindowSetting(child->name)) {
                rootElement = child.get();
                break;
            }
        }
    }
    if (!rootElement) {
        lastError_ = L"the layout has no control";
        return nullptr;
    }
    TreeBuilder builder(pCallback, pManager);
    CControlUI* root = builder.Build(*rootElement, pParent);
    if (!root) lastError_ = L"the root element names no control";
    return root;
}
