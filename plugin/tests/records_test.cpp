// The exports, the bundle and component records, and every slot of the handler and the
// component's three interfaces, called by index as the host calls them.
#include <cstring>
#include <string>
#include "PluginFixture.h"

namespace {

const wchar_t kDescription[] = L"萌帅酷炫の表情，让聊天变得更有趣^_^";

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

void ExampleInvalidParameter(const wchar_t*, const wchar_t*, const wchar_t*, unsigned, uintptr_t) {}

}  // namespace

using Records = PluginFixture;

TEST_F(Records, ExportsAnswerTrue) {
    EXPECT_TRUE(bundle.initialize(host.Object()));
    EXPECT_TRUE(bundle.setCrtHandler(&ExampleInvalidParameter));
    EXPECT_TRUE(bundle.setCrtHandler(nullptr));
    EXPECT_TRUE(bundle.uninitialize());
}

TEST_F(Records, BundleInfo) {
    const RawBundleInfo* info = bundle.info();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info, bundle.info()) << "one static record";
    static_assert(sizeof(RawBundleInfo) == 72, "seven pointers, two 64-bit words");

    struct Field {
        int index;
        const wchar_t* value;
    };
    const Field exact[] = {
        {0, L"ZindleBundle"}, {1, L"Zindle"}, {3, kDescription}, {4, L"1.0.0.1"}, {6, L"6.5.0.5678"},
    };
    for (const Field& f : exact) {
        ASSERT_NE(info->strings[f.index], nullptr) << "field " << f.index;
        EXPECT_STREQ(info->strings[f.index], f.value) << "field " << f.index;
    }
    ASSERT_NE(info->strings[2], nullptr);
    EXPECT_NE(std::wstring(info->strings[2]), L"") << "host product name";
    ASSERT_NE(info->strings[5], nullptr);
    std::wstring homePage = info->strings[5];
    EXPECT_EQ(homePage.rfind(L"http://", 0), 0u) << "home page " << homePage;
    EXPECT_TRUE(EndsWith(homePage, L"/components/zindle")) << "home page " << homePage;
    EXPECT_EQ(info->number, 36u);
    EXPECT_EQ(info->reserved, 0u);
}

TEST_F(Records, HandlerCountAndComponentRecord) {
    void* handler = bundle.createHandler();
    ASSERT_NE(handler, nullptr);
    EXPECT_EQ(handler, bundle.createHandler()) << "one static handler";
    EXPECT_EQ(SlotOf<CountSlot>(handler, 0)(handler), 1);

    const RawComponentRecord* record = SlotOf<RecordSlot>(handler, 1)(handler);
    ASSERT_NE(record, nullptr);
    EXPECT_STREQ(record->id, L"ZindleCom");
    EXPECT_STREQ(record->name, L"Zindle");
    EXPECT_STREQ(record->description, kDescription);
    EXPECT_EQ(record->interfaces, 0xE0000000u);

    // The record sits in the component object right after its three interface parts.
    auto* component = static_cast<char*>(bundle.Interface(kBaseId));
    EXPECT_EQ(reinterpret_cast<const char*>(record), component + 3 * sizeof(void*));
}

TEST_F(Records, InterfaceLookup) {
    void* handler = bundle.createHandler();
    auto query = SlotOf<QuerySlot>(handler, 2);
    void* base = nullptr;
    ASSERT_TRUE(query(handler, 0, kBaseId, &base));
    ASSERT_NE(base, nullptr);

    struct Case {
        int component;
        uint32_t id;
        bool found;
        ptrdiff_t offsetFromBase;  // the interface part's place in the component object
    };
    const Case cases[] = {
        {0, kBaseId, true, 0},
        {0, kActionId, true, static_cast<ptrdiff_t>(sizeof(void*))},
        {0, kConfigId, true, static_cast<ptrdiff_t>(2 * sizeof(void*))},
        {7, kConfigId, true, static_cast<ptrdiff_t>(2 * sizeof(void*))},  // index not examined
        {0, 0x10000000u, false, 0},
        {0, 0, false, 0},
        {0, 0xE0000000u, false, 0},
        {0, 0xC0000000u, false, 0},
        {0, 0xFFFFFFFFu, false, 0},
        {0, 0x00000001u, false, 0},
    };
    for (const Case& c : cases) {
        void* sentinel = reinterpret_cast<void*>(uintptr_t{0x5A5A5A5A});
        void* out = sentinel;
        EXPECT_EQ(query(handler, c.component, c.id, &out), c.found) << std::hex << c.id;
        if (c.found) {
            EXPECT_EQ(static_cast<char*>(out), static_cast<char*>(base) + c.offsetFromBase) << std::hex << c.id;
        } else {
            EXPECT_EQ(out, sentinel) << "out pointer touched for " << std::hex << c.id;
        }
    }
}

// Every slot without a job of its own: the base slots answer true, the rest false.
TEST_F(Records, IdleSlots) {
    void* base = bundle.Interface(kBaseId);
    for (int slot = 0; slot < kBaseSlots; slot++) {
        EXPECT_TRUE(SlotOf<NoArgSlot>(base, slot)(base)) << "base slot " << slot;
    }
    void* action = bundle.Interface(kActionId);
    for (int slot = 0; slot < kActionSlots; slot++) {
        if (slot == kLaunchSlot || slot == kShutdownSlot) continue;
        EXPECT_FALSE(SlotOf<NoArgSlot>(action, slot)(action)) << "action slot " << slot;
    }
    void* config = bundle.Interface(kConfigId);
    for (int slot : {0, 2, 3, 5, 7}) {
        EXPECT_FALSE(SlotOf<NoArgSlot>(config, slot)(config)) << "config slot " << slot;
    }
}

TEST_F(Records, SetHostLevelAndShutdownAnswerTrue) {
    EXPECT_TRUE(bundle.SetLevel(3));
    EXPECT_TRUE(bundle.Shutdown());
}

TEST_F(Records, VersionResource) {
    std::wstring dll = folder / L"plugin\\Zindle.dll";
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(dll.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(dll.c_str(), 0, size, data.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(21, 0));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(21, 0));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    wchar_t block[64];
    wsprintfW(block, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);

    struct Entry {
        const wchar_t* name;
        const wchar_t* value;
    };
    const Entry entries[] = {
        {L"FileDescription", L"Zindle Dynamic Link Library"},
        {L"InternalName", L"Zindle"},
        {L"OriginalFilename", L"Zindle.dll"},
        {L"FileVersion", L"1.0.0.21"},
        {L"ProductVersion", L"1.0.0.21"},
    };
    for (const Entry& e : entries) {
        wchar_t* value = nullptr;
        std::wstring query = std::wstring(block) + e.name;
        ASSERT_TRUE(VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << e.name;
        EXPECT_STREQ(value, e.value) << e.name;
    }
}
