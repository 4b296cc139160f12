// The launch request: the program next to the plug-in starts, directly or through the
// input method's broker when the host is Internet Explorer; nothing starts otherwise.
#include <algorithm>
#include "LaunchProbe.h"
#include "PluginFixture.h"

using Launch = PluginFixture;

TEST_F(Launch, FalseFlagStartsNothing) {
    EXPECT_TRUE(bundle.Launch(false));
    WaitForStandIns();
    EXPECT_FALSE(FileExists(ProgramMark()));
    EXPECT_FALSE(FileExists(BrokerMark()));
    EXPECT_TRUE(host.pathBufferUnits.empty()) << "asked the host for nothing";
}

TEST_F(Launch, StartsTheProgramNextToThePlugin) {
    EXPECT_TRUE(bundle.Launch(true));
    WaitForStandIns();
    std::wstring mark = ReadMark(ProgramMark());
    EXPECT_NE(mark.find(PluginFolder() + L"\\Zindle.exe"), std::wstring::npos) << mark;
    EXPECT_EQ(std::count(mark.begin(), mark.end(), L'\n'), 1) << "started once";
    EXPECT_FALSE(FileExists(BrokerMark())) << "not inside Internet Explorer";
    EXPECT_EQ(host.pathBufferUnits, std::vector<int>{260});
}

// Without the broker's path from the host there is no start.
// (The last case shuts the bundle down; the fixture's copy is not used after it.)
TEST_F(Launch, HostWithoutPathStartsNothing) {
    struct Case {
        const char* name;
        bool answer;
        std::wstring path;
        bool initialized;
        bool shutdown;
    };
    const Case cases[] = {
        {"host refuses", false, L"C:\\anything\\OrvanInput.exe", true, false},
        {"path without folder", true, L"OrvanInput.exe", true, false},
        {"no host given", true, L"C:\\anything\\OrvanInput.exe", false, false},
        {"host forgotten at shutdown", true, L"C:\\anything\\OrvanInput.exe", true, true},
    };
    for (const Case& c : cases) {
        host.answerPath = c.answer;
        host.installPath = c.path;
        bundle.initialize(c.initialized ? host.Object() : nullptr);
        if (c.shutdown) bundle.Shutdown();
        EXPECT_FALSE(bundle.Launch(true)) << c.name;
        WaitForStandIns();
        EXPECT_FALSE(FileExists(ProgramMark())) << c.name;
        EXPECT_FALSE(FileExists(BrokerMark())) << c.name;
    }
    bundle.initialize(host.Object());
}

// The host stand-in runs again under another name and launches from there.
TEST_F(Launch, BrokerOnlyInsideInternetExplorer) {
    struct Case {
        const wchar_t* hostName;
        bool broker;
    };
    const Case cases[] = {
        {L"IEXPLORE.EXE", true},
        {L"iexplore.exe", true},
        {L"IExplore.Exe", true},
        {L"plugin_host_test.exe", false},
        {L"iexplore.com", false},
        {L"iexplore.exe.exe", false},
        {L"explore.exe", false},
    };
    ASSERT_GE(SystemKernelMajorVersion(), 6) << "the broker is used from Vista on";
    for (const Case& c : cases) {
        DeleteFileW(ProgramMark().c_str());
        DeleteFileW(BrokerMark().c_str());
        std::wstring hostCopy = folder / (std::wstring(L"ie\\") + c.hostName);
        ASSERT_TRUE(CopyInto(TestProgramFolder() + L"\\plugin_host_test.exe", hostCopy));
        EXPECT_EQ(RunLaunchProbe(hostCopy, folder / L"plugin\\Zindle.dll", host.installPath), 0) << c.hostName;
        DeleteFileW(hostCopy.c_str());
        WaitForStandIns();

        std::wstring program = L"\"" + PluginFolder() + L"\\Zindle.exe\" ";
        if (c.broker) {
            std::wstring mark = ReadMark(BrokerMark());
            // The broker's command line ends with the quoted program path and one space.
            EXPECT_NE(mark.find(program + L"\n"), std::wstring::npos) << c.hostName << ": " << mark;
            EXPECT_FALSE(FileExists(ProgramMark())) << c.hostName;
        } else {
            EXPECT_TRUE(FileExists(ProgramMark())) << c.hostName;
            EXPECT_FALSE(FileExists(BrokerMark())) << c.hostName;
        }
    }
}
