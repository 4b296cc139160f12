// The host stand-in in its second role: a copy of this program, started under another
// name, that loads the plug-in and asks it once to launch the program.
#pragma once
#include <string>

constexpr wchar_t kLaunchProbeSwitch[] = L"--launch-probe";

// Runs hostCopy as a launch probe and waits for it; its exit code, or -1.
int RunLaunchProbe(const std::wstring& hostCopy, const std::wstring& dll, const std::wstring& hostInstallPath);

// In the probe process: loads dll with a host that answers hostInstallPath and launches.
// 0 when the launch request answered true.
int LaunchProbeMain(const std::wstring& dll, const std::wstring& hostInstallPath);

// Major version of the system's kernel32.dll, as the plug-in reads it; 0 when unreadable.
int SystemKernelMajorVersion();
