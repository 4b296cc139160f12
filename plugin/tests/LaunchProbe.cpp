// The host stand-in in its second role: a launch from a process with another name.
#include "LaunchProbe.h"
#include <windows.h>
#include <vector>
#include "FakeHost.h"
#include "RawBundle.h"

int RunLaunchProbe(const std::wstring& hostCopy, const std::wstring& dll, const std::wstring& hostInstallPath) {
    std::wstring commandLine =
        L"\"" + hostCopy + L"\" " + kLaunchProbeSwitch + L" \"" + dll + L"\" \"" + hostInstallPath + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(hostCopy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return -1;
    }
    CloseHandle(process.hThread);
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

int LaunchProbeMain(const std::wstring& dll, const std::wstring& hostInstallPath) {
    FakeHost host;
    host.installPath = hostInstallPath;
    RawBundle bundle;
    if (!bundle.Load(dll.c_str())) return 2;
    if (!bundle.initialize(host.Object())) return 3;
    int result = bundle.Launch(true) ? 0 : 4;
    bundle.Unload();
    return result;
}

int SystemKernelMajorVersion() {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring kernel = std::wstring(system) + L"\\kernel32.dll";
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(kernel.c_str(), &ignored);
    if (size == 0) return 0;
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoW(kernel.c_str(), 0, size, data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length)) {
        return 0;
    }
    return HIWORD(info->dwFileVersionMS);
}
