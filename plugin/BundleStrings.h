// Texts the host shows or keys on; both records share the display name and description.
#pragma once

inline constexpr wchar_t kBundleId[] = L"ZindleBundle";
inline constexpr wchar_t kDisplayName[] = L"Zindle";
// "萌帅酷炫の表情，让聊天变得更有趣^_^"
inline constexpr wchar_t kDescription[] =
    L"\u840C\u5E05\u9177\u70AB\u306E\u8868\u60C5\uFF0C\u8BA9\u804A\u5929\u53D8\u5F97\u66F4\u6709\u8DA3^_^";
