// A copy of the plug-in in a scratch folder, next to a stand-in program, loaded and
// initialised with a stand-in host whose installation holds a stand-in broker.
#pragma once
#include <gtest/gtest.h>
#include "FakeHost.h"
#include "RawBundle.h"
#include "TestFolder.h"

class PluginFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::wstring PluginFolder() const { return folder / L"plugin"; }
    std::wstring ProgramMark() const { return folder / L"plugin\\Zindle.exe.mark"; }
    std::wstring BrokerMark() const { return folder / L"host\\OrvanExe\\OrvanExe.exe.mark"; }
    // Waits for the stand-in program and broker to finish.
    void WaitForStandIns();

    TestFolder folder;
    FakeHost host;
    RawBundle bundle;
};
