// The channel's pieces without a network: Base64, deflate, the AES provider rule, the
// text conversions and the envelope's edge cases, against replies built here the way
// the tunnelling endpoint builds them.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "net/Base64.h"
#include "net/CryptoProvider.h"
#include "net/Deflate.h"
#include "net/Envelope.h"
#include "net/ReplyFrame.h"
#include "net/Request.h"
#include "net/Text.h"

namespace {

// ---- Base64 ----

TEST(Base64, EncodesTheStandardVectors) {
    const struct { const char* in; const char* out; } cases[] = {
        {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},          {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
        {"\xFB\xFF\xBF", "+/+/"},
    };
    for (const auto& c : cases) EXPECT_EQ(Base64Encode(c.in), c.out) << c.in;
}

TEST(Base64, DecodesLenientlyAndFailsOnlyOnAnEarlyPad) {
    const struct {
        std::string in;
        bool ok;
        std::string out;
    } cases[] = {
        {"Zm9vYmFy", true, "foobar"},
        {"Zm9vYg==", true, "foob"},             // "=" after 2 pending: one more byte
        {"Zm9vYmE=", true, "fooba"},            // "=" after 3 pending: two more bytes
        {"Zm9vYg", true, "foob"},               // no padding: the end finishes the group
        {"Zm9vYmE", true, "fooba"},
        {"Zm9v\r\nYmFy", true, "foobar"},       // characters outside the alphabet are skipped
        {"Zm9v*Ym!Fy", true, "foobar"},
        {"Zm9v=YmFy", false, ""},               // "=" with nothing pending in its group
        {"Zm9vY=", false, ""},                  // "=" with one pending
        {"=", false, ""},
        {"Zm9vYg==trailing", true, "foob"},     // nothing after the first "=" is read
        {std::string("Zm9v\0YmFy", 9), true, "foo"},  // a NUL ends the text
        {"", true, ""},
        {"+/+/", true, "\xFB\xFF\xBF"},
        {" / /", true, "\xFB\xFF\xBF"},         // a space counts as "+"
    };
    for (const auto& c : cases) {
        std::string out = "unchanged";
        bool ok = Base64Decode(c.in, out);
        EXPECT_EQ(ok, c.ok) << c.in;
        if (c.ok) EXPECT_EQ(out, c.out) << c.in;
    }
}

TEST(Base64, RoundTripsEveryByteValue) {
    std::string all;
    for (int i = 0; i < 256; i++) all += static_cast<char>(i);
    for (size_t n = 0; n <= all.size(); n += 37) {
        std::string back;
        ASSERT_TRUE(Base64Decode(Base64Encode(all.substr(0, n)), back));
        EXPECT_EQ(back, all.substr(0, n));
    }
}

// ---- raw deflate ----

TEST(Deflate, InflatesOnlyToExactlyTheDeclaredLength) {
    const std::string text = "{\"picList\":[" + std::string(5000, 'x') + "]}";
    std::string stream;
    ASSERT_TRUE(RawDeflate(text, stream));
    ASSERT_LT(stream.size(), text.size());
    // A raw stream has no zlib header: 0x78 would open a wrapped one.
    EXPECT_NE(static_cast<unsigned char>(stream[0]), 0x78);

    std::string out;
    EXPECT_TRUE(RawInflate(stream.data(), stream.size(), text.size(), out));
    EXPECT_EQ(out, text);

    const struct { const char* what; size_t size; size_t length; } failing[] = {
        {"declared longer than the stream gives", stream.size(), text.size() + 1},
        {"declared shorter than the stream gives", stream.size(), text.size() - 1},
        {"stream cut short", stream.size() / 2, text.size()},
        {"empty stream", 0, text.size()},
    };
    for (const auto& f : failing) {
        std::string o;
        EXPECT_FALSE(RawInflate(stream.data(), f.size, f.length, o)) << f.what;
    }
    std::string corrupt = stream;
    corrupt[0] = static_cast<char>(0xFF);  // reserved block type 3
    EXPECT_FALSE(RawInflate(corrupt.data(), corrupt.size(), text.size(), out));
}

TEST(Deflate, InflatesAcrossEveryGrowthOfTheOutput) {
    // Sizes around the first room (64 KiB) and its doublings, and one byte.
    for (size_t n : {size_t{1}, size_t{65535}, size_t{65536}, size_t{65537}, size_t{131072}, size_t{300001},
                     size_t{1} << 20}) {
        std::string text(n, '\0');
        for (size_t i = 0; i < n; i++) text[i] = static_cast<char>('a' + (i * 7 + i / 13) % 26);
        std::string stream, out;
        ASSERT_TRUE(RawDeflate(text, stream)) << n;
        ASSERT_TRUE(RawInflate(stream.data(), stream.size(), n, out)) << n;
        EXPECT_EQ(out, text) << n;
        EXPECT_FALSE(RawInflate(stream.data(), stream.size(), n - 1, out)) << n;
        EXPECT_FALSE(RawInflate(stream.data(), stream.size(), n + 1, out)) << n;
        EXPECT_FALSE(RawInflate(stream.data(), stream.size(), n * 4 + 100, out)) << n;
    }
}

TEST(Deflate, ABombStopsAtTheDeclaredLength) {
    // 32 MiB of zeros deflate to about 32 KiB.
    const std::string zeros(32u << 20, '\0');
    std::string stream, out = "unchanged";
    ASSERT_TRUE(RawDeflate(zeros, stream));
    ASSERT_LT(stream.size(), 64u << 10);
    for (size_t declared : {size_t{0}, size_t{1000}, size_t{1} << 20, (size_t{32} << 20) - 1}) {
        EXPECT_FALSE(RawInflate(stream.data(), stream.size(), declared, out)) << declared;
        EXPECT_EQ(out, "unchanged") << declared;
    }
    ASSERT_TRUE(RawInflate(stream.data(), stream.size(), zeros.size(), out));
    EXPECT_EQ(out.size(), zeros.size());
}

// ---- provider choice ----

TEST(CryptoProvider, ChoosesByVersion) {
    const DWORD nt = VER_PLATFORM_WIN32_NT;
    const DWORD win9x = VER_PLATFORM_WIN32_WINDOWS;
    const auto P = AesProvider::Prototype;
    const auto N = AesProvider::Plain;
    const struct {
        OsVersion v;
        AesProvider want;
    } cases[] = {
        {{false, 0, 0, 0, 0}, P},             // GetVersionExA failed
        {{true, win9x, 4, 90, 3000}, P},      // not NT
        {{true, nt, 5, 0, 2195}, P},          // Windows 2000
        {{true, nt, 5, 1, 2600}, P},          // XP
        {{true, nt, 5, 2, 3790}, N},          // Server 2003
        {{true, nt, 5, 3, 0}, P},
        {{true, nt, 6, 0, 6002}, N},          // Vista
        {{true, nt, 6, 1, 7601}, N},          // 7
        {{true, nt, 6, 2, 9200}, N},          // 8, and later systems without a manifest
        {{true, nt, 6, 3, 9600}, N},          // 8.1
        {{true, nt, 6, 4, 9841}, P},
        {{true, nt, 10, 0, 10240}, N},
        {{true, nt, 10, 1, 10586}, P},
        {{true, nt, 10, 1, 14393}, N},
        {{true, nt, 10, 2, 22000}, N},
        {{true, nt, 4, 0, 1381}, N},          // any other major version
        {{true, nt, 11, 5, 0}, N},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseAesProvider(c.v), c.want)
            << c.v.known << " " << c.v.platformId << " " << c.v.major << "." << c.v.minor << "." << c.v.build;
    }
}

// ---- text conversions ----

TEST(Text, UrlEncodesBytes) {
    EXPECT_EQ(UrlEncode("a b/\xC3\xBC"), "a+b%2F%C3%BC");
    EXPECT_EQ(UrlEncode("AZaz09-_.~"), "AZaz09-_.~");
    EXPECT_EQ(UrlEncode("&=?%+\x01\xFF"), "%26%3D%3F%25%2B%01%FF");
    EXPECT_EQ(UrlEncode("\xE4\xB8\xAD"), "%E4%B8%AD");  // one Chinese character: three escapes
    EXPECT_EQ(UrlEncode(""), "");
}

TEST(Text, ConvertsBetweenUtf8AnsiAndUtf16) {
    ASSERT_EQ(GetACP(), 936u) << "the tests must run in the users' code page";
    const std::string utf8 = "{\"name\":\"\xE4\xB8\xAD\xE6\x96\x87\"}";  // {"name":"中文"}
    const std::string gbk = "{\"name\":\"\xD6\xD0\xCE\xC4\"}";
    EXPECT_EQ(Utf8ToAnsi(utf8), gbk);
    EXPECT_EQ(AnsiToUtf8(gbk), utf8);
    EXPECT_EQ(ToWide(gbk), L"{\"name\":\"\u4E2D\u6587\"}");
    EXPECT_EQ(FromWide(L"\u4E2D\u6587", CP_UTF8), "\xE4\xB8\xAD\xE6\x96\x87");

    // A character code page 936 lacks becomes the default character; the JSON around it stays.
    std::string thai = Utf8ToAnsi("[\"\xE0\xB8\x81\"]");
    EXPECT_EQ(thai.front(), '[');
    EXPECT_EQ(thai.substr(thai.size() - 2), "\"]");
    EXPECT_EQ(thai.find('\xE0'), std::string::npos);
}

TEST(Text, StrictConversionFailsOnTextThatIsNotUtf8) {
    ASSERT_EQ(GetACP(), 936u) << "the tests must run in the users' code page";
    const struct {
        std::string utf8;
        bool valid;
        std::string ansi;  // Utf8ToAnsiStrict's result when valid
    } cases[] = {
        {"\xE4\xB8\xAD\xE6\x96\x87", true, "\xD6\xD0\xCE\xC4"},  // "中文"
        {"plain", true, "plain"},
        {"\xB1\xED\xC7\xE9", false, ""},  // "表情" in code page 936
        {"a\x80", false, ""},                // a continuation byte alone
        {"\xE4\xB8", false, ""},            // a sequence cut short
        {"\xC0\xAF", false, ""},            // overlong
        {"\xFF", false, ""},
        {"", false, ""},                      // nothing to convert gives "" as every conversion does
    };
    for (const auto& c : cases) {
        EXPECT_EQ(!ToWideStrict(c.utf8, CP_UTF8).empty(), c.valid) << c.utf8;
        EXPECT_EQ(Utf8ToAnsiStrict(c.utf8), c.ansi) << c.utf8;
        // The lenient conversion still gives something for every non-empty text.
        EXPECT_EQ(ToWide(c.utf8, CP_UTF8).empty(), c.utf8.empty()) << c.utf8;
    }
    // Longer than the first attempt's buffer: the answer does not change.
    std::string longText;
    for (int i = 0; i < 600; i++) longText += "\xE4\xB8\xAD";
    EXPECT_EQ(ToWideStrict(longText, CP_UTF8).size(), 600u);
    EXPECT_EQ(ToWideStrict(longText + "\xB1", CP_UTF8), L"");
}

TEST(Text, StopsAtNulAndGivesEmptyOnNothing) {
    EXPECT_EQ(ToWide(std::string("ab\0cd", 5), CP_UTF8), L"ab");
    EXPECT_EQ(Utf8ToAnsi(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(ToWide(nullptr, 4, CP_ACP), L"");
    EXPECT_EQ(FromWide(static_cast<const wchar_t*>(nullptr), CP_ACP), "");
    EXPECT_EQ(ToWide("", 0, CP_ACP), L"");
    EXPECT_EQ(Utf8ToAnsi(""), "");
}

TEST(Text, ConvertsTextsLongerThanTheFirstBuffer) {
    // 600 Chinese characters: past the 511-unit first attempt in both directions.
    std::wstring wide;
    for (int i = 0; i < 600; i++) wide += static_cast<wchar_t>(0x4E00 + i % 64);
    std::string utf8 = FromWide(wide, CP_UTF8);
    EXPECT_EQ(utf8.size(), 1800u);
    EXPECT_EQ(ToWide(utf8, CP_UTF8), wide);
    std::string ansi = Utf8ToAnsi(utf8);
    EXPECT_EQ(ansi.size(), 1200u);
    EXPECT_EQ(AnsiToUtf8(ansi), utf8);
}

// ---- the envelope ----

const BYTE kIv[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
const BYTE kKey[32] = {0x10, 0x21, 0x32, 0x43, 0x54, 0x65, 0x76, 0x87, 0x98, 0xA9, 0xBA,
                       0xCB, 0xDC, 0xED, 0xFE, 0x0F, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66,
                       0x77, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x00};

void SetFixedKeys(RequestKeys& keys) {
    keys.Set(kIv, kKey);
}

std::string BigEndian32(size_t n) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; i++) s[i] = static_cast<char>((n >> (24 - 8 * i)) & 0xFF);
    return s;
}

// A reply as the tunnelling endpoint makes it: length, raw deflate, AES, Base64.
std::string EndpointReply(const RequestKeys& keys, const std::string& text, size_t declared) {
    std::string stream, sealed;
    EXPECT_TRUE(RawDeflate(text, stream));
    EXPECT_TRUE(AesSeal(BigEndian32(declared) + stream, keys.Key(), keys.Iv(), sealed));
    return Base64Encode(sealed);
}
std::string EndpointReply(const RequestKeys& keys, const std::string& text) {
    return EndpointReply(keys, text, text.size());
}

struct Field {
    std::string name, value;
};

std::vector<Field> ParseBody(const std::string& body) {
    std::vector<Field> fields;
    size_t start = 0;
    while (start <= body.size()) {
        size_t end = body.find('&', start);
        if (end == std::string::npos) end = body.size();
        std::string part = body.substr(start, end - start);
        size_t eq = part.find('=');
        fields.push_back({part.substr(0, eq), eq == std::string::npos ? "" : part.substr(eq + 1)});
        start = end + 1;
    }
    return fields;
}

std::string FieldOf(const std::vector<Field>& fields, const char* name) {
    for (const auto& f : fields)
        if (f.name == name) return f.value;
    return "<absent>";
}

TEST(Envelope, BodyHasFourFieldsOrThreeWithoutQuery) {
    RequestKeys keys;
    SetFixedKeys(keys);
    const struct {
        const char* url;
        std::vector<std::string> names;
    } cases[] = {
        {"http://c.test/allname?h=1&v=pcm&sdk=1.0.0.21&pv=WIN", {"k", "v", "u", "g"}},
        {"http://c.test/allname", {"k", "v", "u"}},
        {"http://c.test/allname?", {"k", "v", "u"}},  // a "?" at the end: no query
    };
    for (const auto& c : cases) {
        std::string base, query, body;
        SplitRequestUrl(c.url, base, query);
        EXPECT_EQ(base, "http://c.test/allname");
        ASSERT_TRUE(SealRequestWith(keys, base, query, body)) << c.url;
        auto fields = ParseBody(body);
        std::vector<std::string> names;
        for (const auto& f : fields) names.push_back(f.name);
        EXPECT_EQ(names, c.names) << c.url;
        EXPECT_EQ(FieldOf(fields, "k").size(), 172u);  // 128 bytes of RSA ciphertext
        EXPECT_EQ(FieldOf(fields, "v").size(), 172u);
        // Base64 travels as it is: "+", "/" and "=" are not percent-encoded.
        EXPECT_EQ(body.find('%'), std::string::npos);
    }
}

TEST(Envelope, SplitsAtTheFirstQuestionMark) {
    std::string base, query;
    SplitRequestUrl("http://c.test/query?key=a?b&page=1", base, query);
    EXPECT_EQ(base, "http://c.test/query");
    EXPECT_EQ(query, "key=a?b&page=1");
}

TEST(Envelope, FieldsAreWholeAesBlocksAndStartFromTheSameIv) {
    RequestKeys keys;
    SetFixedKeys(keys);
    // Find texts whose raw deflate is exactly 20 and 32 bytes: 32 and 48 bytes sealed.
    const std::string letters = "qwertyuiopasdfghjklzxcvbnmQWERTYUIOPASDFGHJKLZXCVBNM0123456789";
    std::set<size_t> seen;
    for (size_t n = 1; n <= letters.size(); n++) {
        std::string text = letters.substr(0, n), stream, field, sealed;
        ASSERT_TRUE(RawDeflate(text, stream));
        ASSERT_TRUE(SealText(text, keys, field));
        ASSERT_TRUE(Base64Decode(field, sealed));
        EXPECT_EQ(sealed.size(), (stream.size() / 16 + 1) * 16) << n;
        if (stream.size() == 20) EXPECT_EQ(sealed.size(), 32u);
        if (stream.size() == 32) EXPECT_EQ(sealed.size(), 48u);
        seen.insert(stream.size());
    }
    EXPECT_TRUE(seen.count(20) && seen.count(32)) << "no text deflated to 20 and 32 bytes";

    std::string body;
    ASSERT_TRUE(SealRequestWith(keys, "same text", "same text", body));
    auto fields = ParseBody(body);
    EXPECT_EQ(FieldOf(fields, "u"), FieldOf(fields, "g"));
}

TEST(Envelope, EachRequestDrawsFreshKeys) {
    RequestKeys a, b;
    std::string bodyA, bodyB;
    ASSERT_TRUE(SealRequest("http://c.test/allname", "", a, bodyA));
    ASSERT_TRUE(SealRequest("http://c.test/allname", "", b, bodyB));
    EXPECT_NE(std::string(reinterpret_cast<const char*>(a.Key()), 32),
              std::string(reinterpret_cast<const char*>(b.Key()), 32));
    EXPECT_NE(std::string(reinterpret_cast<const char*>(a.Iv()), 16),
              std::string(reinterpret_cast<const char*>(b.Iv()), 16));
    EXPECT_NE(FieldOf(ParseBody(bodyA), "u"), FieldOf(ParseBody(bodyB), "u"));
}

TEST(Envelope, OpensTheEndpointsReply) {
    RequestKeys keys;
    SetFixedKeys(keys);
    const std::string text = "{\"data\":[{\"name\":\"\xE4\xB8\xAD\"}],\"endFlag\":1}";
    std::string opened;
    ASSERT_TRUE(OpenReply(keys, EndpointReply(keys, text), opened));
    EXPECT_EQ(opened, text);

    // Form decoding may have turned every "+" into a space.
    std::string reply = EndpointReply(keys, text);
    std::string spaced = reply;
    for (char& c : spaced)
        if (c == '+') c = ' ';
    ASSERT_TRUE(OpenReply(keys, spaced, opened));
    EXPECT_EQ(opened, text);
}

TEST(Envelope, RefusesBrokenReplies) {
    RequestKeys keys, other;
    SetFixedKeys(keys);
    BYTE otherKey[32] = {};
    other.Set(kIv, otherKey);
    const std::string text(300, 'j');
    std::string tooShort;
    ASSERT_TRUE(AesSeal("abc", keys.Key(), keys.Iv(), tooShort));
    std::string notStream;
    ASSERT_TRUE(AesSeal(BigEndian32(10) + "\xFF\xFF\xFF\xFF", keys.Key(), keys.Iv(), notStream));
    std::string reply = EndpointReply(keys, text);

    const struct {
        const char* what;
        std::string reply;
    } cases[] = {
        {"sealed with another key", EndpointReply(other, text)},
        {"not Base64", "=notbase64"},
        {"not whole AES blocks", reply.substr(0, reply.size() - 8)},
        {"shorter than the length field", Base64Encode(tooShort)},
        {"length above the cap", EndpointReply(keys, text, kMaxReplyLength + 1)},
        {"length near 4 GiB", EndpointReply(keys, text, 0xFFFFFFF0u)},
        {"inflates to fewer bytes than declared", EndpointReply(keys, text, text.size() + 1)},
        {"inflates to more bytes than declared", EndpointReply(keys, text, text.size() - 1)},
        {"corrupt stream", Base64Encode(notStream)},
        {"empty", ""},
    };
    for (const auto& c : cases) {
        std::string opened;
        EXPECT_FALSE(OpenReply(keys, c.reply, opened)) << c.what;
    }
}

TEST(Envelope, TheFrameInsideTheAesLayer) {
    const std::string text = "{\"data\":[1,2,3]}";
    std::string stream;
    ASSERT_TRUE(RawDeflate(text, stream));
    const struct {
        const char* what;
        std::string plain;
        bool ok;
        std::string text;
    } cases[] = {
        {"sound", BigEndian32(text.size()) + stream, true, text},
        {"trailing bytes after the stream's end", BigEndian32(text.size()) + stream + "junk", true, text},
        {"zero length, whatever follows", BigEndian32(0) + "\xFF\xFF", true, ""},
        {"zero length alone", BigEndian32(0), true, ""},
        {"length field cut short", std::string("\0\0\0", 3), false, ""},
        {"nothing", "", false, ""},
        {"no stream", BigEndian32(text.size()), false, ""},
        {"length one more", BigEndian32(text.size() + 1) + stream, false, ""},
        {"length one less", BigEndian32(text.size() - 1) + stream, false, ""},
        {"the cap itself, a short stream", BigEndian32(kMaxReplyLength) + stream, false, ""},
        {"above the cap", BigEndian32(kMaxReplyLength + 1) + stream, false, ""},
        {"the largest length", BigEndian32(0xFFFFFFFFu) + stream, false, ""},
        {"stream cut short", BigEndian32(text.size()) + stream.substr(0, stream.size() - 2), false, ""},
    };
    for (const auto& c : cases) {
        std::string opened = "unchanged";
        EXPECT_EQ(OpenReplyFrame(c.plain, opened), c.ok) << c.what;
        EXPECT_EQ(opened, c.ok ? c.text : "unchanged") << c.what;
    }
}

TEST(Envelope, ZeroLengthIsAnEmptyReply) {
    RequestKeys keys;
    SetFixedKeys(keys);
    std::string opened = "unchanged";
    ASSERT_TRUE(OpenReply(keys, EndpointReply(keys, "ignored", 0), opened));
    EXPECT_EQ(opened, "");
}

}  // namespace
