// The clipboard formats of a picture: exact bytes and offsets, the order of the formats,
// paths outside the ANSI code page, partial format sets, repeated writes and a clipboard
// that another thread holds open.
#include "delivery/Clipboard.h"
#include "tests/paste/DesktopHelpers.h"
#include <gtest/gtest.h>
#include <thread>

namespace {
// 20 bytes in the ANSI code page.
const wchar_t kTwentyBytePath[] = L"C:\\Zindle\\pic\\01.gif";
const char kTwentyBytePathAnsi[] = "C:\\Zindle\\pic\\01.gif";

const char kExpectedRichEdit[] =
    R"(<QQRichEditFormat><Info version="1001"></Info><EditElement type="1" filepath="C:\Zindle\pic\01.gif" shortcut=""></EditElement></QQRichEditFormat>)";
const char kExpectedHtml[] =
    "Version:0.9\r\nStartHTML:00000112\r\nEndHTML:00000218\r\n"
    "StartFragment:00000124\r\nEndFragment:00000186\r\n<!doctype html>"
    R"(<html><body><!--StartFragment --><IMG src="file:///C:\Zindle\pic\01.gif" ><!--EndFragment--></body></html>)";

std::string Terminated(const std::string& text) {
    return std::string(text.c_str(), text.size() + 1);
}

// The byte formats are stored with their terminating zero; the system may round a
// block up, so only what follows the zero may differ.
void ExpectBlockHolds(UINT format, const std::string& text) {
    std::string block = ClipboardBlock(format);
    ASSERT_GE(block.size(), text.size() + 1) << "format " << format;
    EXPECT_EQ(block.substr(0, text.size() + 1), Terminated(text)) << "format " << format;
}
}  // namespace

TEST(ClipboardText, TwentyBytePathGivesTheKnownBytesAndOffsets) {
    EXPECT_EQ(RichEditXmlFor(kTwentyBytePathAnsi), kExpectedRichEdit);
    std::string html = HtmlFormatFor(kTwentyBytePathAnsi);
    EXPECT_EQ(html, kExpectedHtml);
    EXPECT_EQ(html.size(), 112u + 106u);
    // The offsets point where they say: the body, its end and the two fragment markers.
    EXPECT_EQ(html.compare(112, 6, "<html>"), 0);
    EXPECT_EQ(html.compare(124, 21, "<!--StartFragment -->"), 0);
    EXPECT_EQ(html.compare(186, 18, "<!--EndFragment-->"), 0);
}

TEST(ClipboardText, OffsetsFollowThePathLength) {
    for (size_t length : {1u, 200u, 1000u}) {
        std::string path(length, 'p');
        std::string html = HtmlFormatFor(path);
        char header[128];
        snprintf(header, sizeof(header),
                 "Version:0.9\r\nStartHTML:%08d\r\nEndHTML:%08d\r\nStartFragment:%08d\r\nEndFragment:%08d\r\n",
                 112, int(112 + 86 + length), 124, int(112 + 51 + length + 3));
        EXPECT_EQ(html.substr(0, 97), header) << "path length " << length;
        EXPECT_EQ(html.size(), 112 + 86 + length);
        EXPECT_EQ(html.compare(112 + 51 + length + 3, 18, "<!--EndFragment-->"), 0);
    }
}

TEST(Clipboard, HoldsExactlyTheThreeFormatsInOrder) {
    PutPictureOnClipboard(ClipboardPicture{nullptr, kClipAllFormats}, kTwentyBytePath);
    std::vector<UINT> formats = ClipboardFormats();
    ASSERT_GE(formats.size(), 3u);
    EXPECT_EQ(formats[0], UINT(CF_UNICODETEXT));
    EXPECT_EQ(formats[1], RichEditFormat());
    EXPECT_EQ(formats[2], HtmlFormat());
    EXPECT_TRUE(OnlySynthesisedAfter(formats, 3));

    std::string text = ClipboardBlock(CF_UNICODETEXT);
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(0, 2), std::string(2, '\0')) << "plain-text targets paste an empty string";
    ExpectBlockHolds(RichEditFormat(), kExpectedRichEdit);
    ExpectBlockHolds(HtmlFormat(), kExpectedHtml);
}

TEST(Clipboard, PathCarriesTheAnsiCodePageWithTheDefaultCharacterForTheRest) {
    ASSERT_EQ(GetACP(), 936u);
    // 表情 is in code page 936; the Thai letters are not.
    const wchar_t path[] = L"C:\\\u8868\u60c5\\\u0e01\u0e02.gif";
    const std::string ansi = "C:\\\xb1\xed\xc7\xe9\\??.gif";
    PutPictureOnClipboard(ClipboardPicture{nullptr, kClipAllFormats}, path);
    ExpectBlockHolds(RichEditFormat(), RichEditXmlFor(ansi));
    ExpectBlockHolds(HtmlFormat(), HtmlFormatFor(ansi));
    // The lengths count bytes: the path is 14 bytes long.
    EXPECT_NE(UpToZero(ClipboardBlock(HtmlFormat())).find("EndHTML:00000212"), std::string::npos);
}

TEST(Clipboard, WritesOnlyTheChosenFormats) {
    struct Case {
        UINT formats;
        bool withPath;
        std::vector<UINT> expected;
    };
    const Case cases[] = {
        {kClipRichEditXml, true, {RichEditFormat()}},
        {kClipHtml, true, {HtmlFormat()}},
        {kClipEmptyUnicodeText, true, {CF_UNICODETEXT}},
        {kClipRichEditXml | kClipHtml, true, {RichEditFormat(), HtmlFormat()}},
        {0, true, {}},
        {kClipAllFormats, false, {CF_UNICODETEXT}},
    };
    for (const Case& c : cases) {
        PutMarkerOnClipboard();
        EXPECT_TRUE(PutPictureOnClipboard(ClipboardPicture{nullptr, c.formats}, c.withPath ? kTwentyBytePath : nullptr))
            << "formats " << c.formats;
        std::vector<UINT> formats = ClipboardFormats();
        ASSERT_GE(formats.size(), c.expected.size()) << "formats " << c.formats;
        EXPECT_EQ(std::vector<UINT>(formats.begin(), formats.begin() + c.expected.size()), c.expected)
            << "formats " << c.formats << (c.withPath ? "" : " without a path");
        EXPECT_TRUE(OnlySynthesisedAfter(formats, c.expected.size())) << "formats " << c.formats;
    }
}

TEST(Clipboard, SecondPictureReplacesTheFirst) {
    PutPictureOnClipboard(ClipboardPicture{nullptr, kClipAllFormats}, L"C:\\first\\one.gif");
    PutPictureOnClipboard(ClipboardPicture{nullptr, kClipAllFormats}, kTwentyBytePath);
    std::vector<UINT> formats = ClipboardFormats();
    ASSERT_GE(formats.size(), 3u);
    EXPECT_TRUE(OnlySynthesisedAfter(formats, 3));
    ExpectBlockHolds(RichEditFormat(), kExpectedRichEdit);
    ExpectBlockHolds(HtmlFormat(), kExpectedHtml);
}

TEST(Clipboard, ClipboardHeldOpenElsewhereIsLeftAlone) {
    PutMarkerOnClipboard();
    HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // Held by a window of another thread, as another program would hold it.
    std::thread holder([&] {
        HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        bool open = OpenClipboard(owner);
        SetEvent(opened);
        WaitForSingleObject(release, 10000);
        if (open) CloseClipboard();
        DestroyWindow(owner);
    });
    WaitForSingleObject(opened, 10000);
    // Reported, so that no key press pastes whatever the clipboard held.
    EXPECT_FALSE(PutPictureOnClipboard(ClipboardPicture{nullptr, kClipAllFormats}, kTwentyBytePath));
    SetEvent(release);
    holder.join();
    CloseHandle(opened);
    CloseHandle(release);
    EXPECT_TRUE(MarkerStillOnClipboard());
}
