// A small XML reader for layout markup: elements, attributes, comments, the
// declaration and character references. Internal to the library.
#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace markup {

struct Element {
    std::wstring name;
    std::vector<std::pair<std::wstring, std::wstring>> attributes;
    std::vector<std::unique_ptr<Element>> children;

    const std::wstring* Attribute(const wchar_t* attrName) const;
};

// The document's root element, or null with a reason in error.
std::unique_ptr<Element> Parse(const std::wstring& text, std::wstring& error);

// Bytes of a markup file to text: UTF-8 (with or without BOM) or UTF-16 with BOM.
std::wstring DecodeText(const std::string& bytes);

}  // namespace markup
