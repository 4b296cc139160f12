// Builds the content service's URLs from the client identity and sends them through
// the tunnel. Category ids travel byte for byte; search keywords are percent-encoded.
#include "net/Endpoints.h"

#include <cstdarg>
#include <cstdio>

#include "BuildConfig.h"
#include "base/WindowMessages.h"
#include "net/Identity.h"
#include "net/Request.h"
#include "net/Text.h"

bool FormatUrl(std::string* out, const char* format, ...) {
    char buffer[kMaxUrlBytes];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    if (n < 0 || static_cast<size_t>(n) >= sizeof(buffer)) {
        out->clear();
        return false;
    }
    out->assign(buffer, n);
    return true;
}

namespace {

// The identity tail every content URL ends with.
#define IDENTITY_QUERY "h=%s&v=pcm%s&sdk=%s&pv=WIN"

std::string SendIfFits(const std::string& url) {
    if (url.empty()) return {};
    return SendRequest(url.c_str(), "GET");
}

}  // namespace

std::string CategoryListUrl() {
    const ClientIdentity& id = Identity();
    std::string url;
    FormatUrl(&url, "http://%s/allname?" IDENTITY_QUERY, build_config::kContentHost, id.h.c_str(),
              id.v.c_str(), id.sdk.c_str());
    return url;
}

std::string AdvertConfigUrl() {
    const ClientIdentity& id = Identity();
    std::string url;
    FormatUrl(&url, "http://%s/pc/adv?" IDENTITY_QUERY, build_config::kContentHost, id.h.c_str(),
              id.v.c_str(), id.sdk.c_str());
    return url;
}

std::string CategoryPageUrl(const std::string& categoryId, int page) {
    const ClientIdentity& id = Identity();
    std::string url;
    FormatUrl(&url, "http://%s/sublist?subid=%s&page=%d&dpi=240&" IDENTITY_QUERY,
              build_config::kContentHost, categoryId.c_str(), page, id.h.c_str(), id.v.c_str(),
              id.sdk.c_str());
    return url;
}

std::string SearchPageUrl(const std::string& keywordUtf8, int page) {
    const ClientIdentity& id = Identity();
    std::string url;
    FormatUrl(&url, "http://%s/query?key=%s&page=%d&dpi=240&" IDENTITY_QUERY,
              build_config::kContentHost, UrlEncode(keywordUtf8).c_str(), page, id.h.c_str(),
              id.v.c_str(), id.sdk.c_str());
    return url;
}

void RequestCategoryList(std::string& reply, HWND mainWindow) {
    reply = SendIfFits(CategoryListUrl());
    PostMessageW(mainWindow, UM_CATEGORIES_ARRIVED, 0, 0);
}

std::string RequestAdvertConfig() {
    return SendIfFits(AdvertConfigUrl());
}

std::string RequestCategoryPage(const std::string& categoryId, int page) {
    return SendIfFits(CategoryPageUrl(categoryId, page));
}

std::string RequestSearchPage(const std::string& keywordUtf8, int page) {
    return SendIfFits(SearchPageUrl(keywordUtf8, page));
}
