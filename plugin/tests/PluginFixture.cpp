// A copy of the plug-in in a scratch folder, loaded with a stand-in host.
#include "PluginFixture.h"

void PluginFixture::SetUp() {
    std::wstring here = TestProgramFolder();
    ASSERT_TRUE(CopyInto(here + L"\\Zindle.dll", folder / L"plugin\\Zindle.dll"));
    ASSERT_TRUE(CopyInto(here + L"\\plugin_mark_stub.exe", folder / L"plugin\\Zindle.exe"));
    ASSERT_TRUE(CopyInto(here + L"\\plugin_mark_stub.exe", folder / L"host\\OrvanExe\\OrvanExe.exe"));
    host.installPath = folder / L"host\\OrvanInput.exe";
    ASSERT_TRUE(bundle.Load((folder / L"plugin\\Zindle.dll").c_str()));
    ASSERT_TRUE(bundle.initialize(host.Object()));
}

void PluginFixture::TearDown() {
    bundle.Unload();
    WaitForStandIns();
    EXPECT_EQ(host.otherSlotsCalled, std::vector<int>()) << "the plug-in called a host slot it has no use for";
}

void PluginFixture::WaitForStandIns() {
    ASSERT_TRUE(WaitUntilNoProcessUnder(folder / L"plugin"));
    ASSERT_TRUE(WaitUntilNoProcessUnder(folder / L"host"));
}
