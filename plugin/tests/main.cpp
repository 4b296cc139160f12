// The host stand-in's entry: the test run, or one launch from a renamed copy.
#include <windows.h>
#include <shellapi.h>
#include <gtest/gtest.h>
#include "LaunchProbe.h"

int main(int argc, char** argv) {
    int wargc = 0;
    wchar_t** wargv = CommandLineToArgvW(GetCommandLineW(), &wargc);
    if (wargv && wargc == 4 && std::wstring(wargv[1]) == kLaunchProbeSwitch) {
        return LaunchProbeMain(wargv[2], wargv[3]);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
