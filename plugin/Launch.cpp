// Starts the program next to the plug-in, through the input method's broker when the
// host is Internet Explorer (its protected mode would keep the program from running).
#include "Launch.h"
#include <windows.h>
#include <shellapi.h>
#include <string>
#include <vector>
#include "BundleState.h"
#include "HostInterface.h"
#include "ModulePath.h"

namespace {

constexpr WORD kVistaMajorVersion = 6;

// Major version of kernel32.dll in the system folder; 0 when it cannot be read.
WORD SystemMajorVersion() {
    wchar_t system[MAX_PATH] = {};
    UINT n = GetSystemDirectoryW(system, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 0;
    std::wstring kernel = std::wstring(system, n) + L"\\kernel32.dll";
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(kernel.c_str(), &ignored);
    if (size == 0) return 0;
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(kernel.c_str(), 0, size, data.data())) return 0;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &infoSize)) return 0;
    if (!info || infoSize < sizeof(VS_FIXEDFILEINFO)) return 0;
    return HIWORD(info->dwFileVersionMS);
}

wchar_t AsciiLower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool EndsWithIgnoringAsciiCase(const std::wstring& text, const std::wstring& tail) {
    if (text.size() < tail.size()) return false;
    size_t offset = text.size() - tail.size();
    for (size_t i = 0; i < tail.size(); i++) {
        if (AsciiLower(text[offset + i]) != AsciiLower(tail[i])) return false;
    }
    return true;
}

void StartProgram(const std::wstring& program, const std::wstring& broker) {
    // The directory "*" names no folder; ShellExecuteW then lets the process start in the
    // host's own current folder. The program finds its files from its own path.
    if (RunsInsideInternetExplorer()) {
        // The broker gets the program path in quotes and one trailing space.
        std::wstring parameters = L"\"" + program + L"\" ";
        ShellExecuteW(nullptr, L"OPEN", broker.c_str(), parameters.c_str(), L"*", SW_SHOW);
        return;
    }
    ShellExecuteW(nullptr, L"OPEN", program.c_str(), L"", L"*", SW_SHOW);
}

}  // namespace

bool RunsInsideInternetExplorer() {
    if (SystemMajorVersion() < kVistaMajorVersion) return false;
    wchar_t host[1024] = {};
    DWORD n = GetModuleFileNameW(nullptr, host, 1024);
    if (n == 0 || n >= 1024) return false;
    return EndsWithIgnoringAsciiCase(std::wstring(host, n), L"iexplore.exe");
}

bool LaunchProgram(bool start) {
    if (!start) return true;
    std::wstring program = ReplaceFileName(ModuleFilePath(State().module), L"Zindle.exe");
    if (program.empty()) return false;
    std::wstring broker = ReplaceFileName(HostInstallPath(State().host), L"OrvanExe\\OrvanExe.exe");
    if (broker.empty()) return false;
    StartProgram(program, broker);
    return true;
}
