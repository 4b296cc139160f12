// Text markup, colour and attribute parsing, and layout markup to control trees.
#include "uilib/tests/TestWindow.h"
#include "uilib/Attributes.h"
#include "uilib/Render.h"
#include <gtest/gtest.h>

namespace {

struct RunExpect {
    const wchar_t* text;
    bool underline, link, bold, newline;
    DWORD color;
};

struct MarkupCase {
    const wchar_t* markup;
    std::vector<RunExpect> runs;
};

TEST(Markup, RunsCarryTheLooksOfTheirTags) {
    const MarkupCase cases[] = {
        {L"{u}{a}{c #646464}意见反馈{/c}{/a}{/u}", {{L"意见反馈", true, true, false, false, 0xFF646464}}},
        {L"plain", {{L"plain", false, false, false, false, 0}}},
        {L"a{b}b{/b}c", {{L"a", false, false, false, false, 0}, {L"b", false, false, true, false, 0},
                         {L"c", false, false, false, false, 0}}},
        // Nested colours return to the outer one when the inner closes.
        {L"{c #FF0000}r{c #00FF00}g{/c}r{/c}", {{L"r", false, false, false, false, 0xFFFF0000},
                                              {L"g", false, false, false, false, 0xFF00FF00},
                                              {L"r", false, false, false, false, 0xFFFF0000}}},
        {L"one{n}two", {{L"one", false, false, false, false, 0}, {L"two", false, false, false, true, 0}}},
        // Braces that are no tag stay text; a malformed colour is no tag.
        {L"{x}{c #12}", {{L"{x}{c #12}", false, false, false, false, 0}}},
        {L"{u}open", {{L"open", true, false, false, false, 0}}},
        {L"", {}},
    };
    for (const MarkupCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "markup #" << (&c - cases));
        auto runs = render::ParseMarkup(c.markup);
        ASSERT_EQ(runs.size(), c.runs.size());
        for (size_t i = 0; i < runs.size(); i++) {
            EXPECT_EQ(runs[i].text, c.runs[i].text);
            EXPECT_EQ(runs[i].underline, c.runs[i].underline);
            EXPECT_EQ(runs[i].link, c.runs[i].link);
            EXPECT_EQ(runs[i].bold, c.runs[i].bold);
            EXPECT_EQ(runs[i].newline, c.runs[i].newline);
            EXPECT_EQ(runs[i].color, c.runs[i].color);
        }
    }
}

TEST(Markup, ColoursAndAttributeValues) {
    const struct {
        const wchar_t* text;
        DWORD argb;
    } colours[] = {{L"#646464", 0xFF646464}, {L"#80FE829D", 0x80FE829D}, {L"0xFFA6ADB3", 0xFFA6ADB3},
                   {L"#12345", 0},           {L"#GGGGGG", 0},          {L"", 0}};
    for (const auto& c : colours) EXPECT_EQ(render::ParseColor(c.text), c.argb) << c.text;

    RECT rc;
    EXPECT_TRUE(attr::ParseRect(L"1, 2,3 ,4", rc));
    EXPECT_EQ(rc.left + rc.top + rc.right + rc.bottom, 10);
    EXPECT_FALSE(attr::ParseRect(L"1,2,3", rc));
    EXPECT_EQ(attr::ImageFileName(L"file='Res\\a.png' dest='0,0,1,1'"), L"Res\\a.png");
    EXPECT_EQ(attr::ImageFileName(L"Res\\b.png"), L"Res\\b.png");
    auto list = attr::ParseAttributeList(L"name=\"x\" text='y z'");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].second, L"y z");
    EXPECT_EQ(render::StripMarkup(L"{u}{a}{c #646464}反馈{/c}{/a}{/u}"), L"反馈");
}

// The advertisement window's kind of layout: window size and caption, nested layouts,
// padding, text with Chinese characters and entity references.
const wchar_t kAdvertLayout[] =
    L"<?xml version=\"1.0\" encoding=\"UTF-8\"?><Window size=\"380,250\" caption=\"0,0,0,36\">"
    L"<Font id=\"5\" name=\"宋体\" size=\"13\" bold=\"true\"/>"
    L"<VerticalLayout name=\"AdvMainLayout\" bkcolor=\"#FFFFFFFF\" bordersize=\"1\" bordercolor=\"#FFA7ADB3\">"
    L"<!-- title band --><HorizontalLayout height=\"36\" bkcolor=\"#FFFE829D\">"
    L"<Label name=\"Title\" text=\"表情大赛 &amp; more\" textcolor=\"#FFFFFFFF\" padding=\"12,0,0,0\"/>"
    L"<Button name=\"AdvCloseBtn\" text=\"关闭\" width=\"48\" textcolor=\"#FFFFFFFF\"/></HorizontalLayout>"
    L"<Control name=\"Banner\" padding=\"10,12,0,0\" width=\"360\" height=\"180\" bkimage=\"banner.png\"/>"
    L"<Button name=\"Floating\" float=\"true\" pos=\"5,200,55,230\"/>"
    L"</VerticalLayout></Window>";

TEST(DialogBuilder, BuildsTheAdvertisementLayout) {
    TestWindow wnd;
    ASSERT_TRUE(wnd.Open(new CVerticalLayoutUI, 100, 100));
    CDialogBuilder builder;
    CControlUI* root = builder.Create(kAdvertLayout, nullptr, nullptr, &wnd.pm);
    ASSERT_NE(root, nullptr) << builder.GetLastError().GetData();
    // The window takes the layout's size (no layout attached yet when it is built: the
    // test window attached one, so attach anew and size by hand as a window would).
    EXPECT_EQ(wnd.pm.GetInitSize().cx, 380);
    EXPECT_EQ(wnd.pm.GetCaptionRect().bottom, 36);
    EXPECT_STREQ(wnd.pm.GetFontInfo(5)->sFontName, L"宋体");
    ::SetWindowPos(wnd.GetHWND(), nullptr, 0, 0, 380, 250, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    wnd.pm.AttachDialog(root);
    TestWindow::Pump();
    wnd.pm.LayoutIfNeeded();

    CControlUI* title = wnd.pm.FindControl(L"Title");
    CControlUI* close = wnd.pm.FindControl(L"AdvCloseBtn");
    CControlUI* banner = wnd.pm.FindControl(L"Banner");
    CControlUI* floating = wnd.pm.FindControl(L"Floating");
    ASSERT_TRUE(title && close && banner && floating);
    EXPECT_EQ(title->GetText(), L"表情大赛 & more");
    EXPECT_STREQ(close->GetClass(), L"Button");
    EXPECT_EQ(wnd.pm.FindControl(L"AdvMainLayout")->GetBorderColor(), 0xFFA7ADB3u);
    const RECT expected[] = {{12, 0, 332, 36}, {332, 0, 380, 36}, {10, 48, 370, 228}, {5, 200, 55, 230}};
    CControlUI* controls[] = {title, close, banner, floating};
    for (int i = 0; i < 4; i++) {
        const RECT& r = controls[i]->GetPos();
        EXPECT_TRUE(::EqualRect(&r, &expected[i]))
            << i << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
}

TEST(DialogBuilder, RefusesWhatIsNoLayout) {
    const wchar_t* bad[] = {L"", L"   ", L"<Window><VerticalLayout></Window>", L"<Window size=\"1,1\"/>",
                            L"<Unknown/>", L"<Label text=\"a &bogus; b\"/>", L"no-such-layout-file.xml",
                            L"<Label text=\"unterminated/>"};
    for (const wchar_t* text : bad) {
        CDialogBuilder builder;
        EXPECT_EQ(builder.Create(text), nullptr) << text;
        EXPECT_FALSE(builder.GetLastError().IsEmpty()) << text;
    }
}

TEST(DialogBuilder, ReadsALayoutFile) {
    std::wstring path = WriteScratchFile(L"layout.xml", "\xEF\xBB\xBF<Window><Label name=\"L\" text=\"\xE4\xB8\xAD\"/></Window>");
    CDialogBuilder builder;
    CControlUI* root = builder.Create(path.c_str());
    ASSERT_NE(root, nullptr) << builder.GetLastError().GetData();
    EXPECT_EQ(root->GetText(), L"中");
    delete root;
}

}  // namespace
