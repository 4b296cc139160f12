// Appends whole lines to the record file, opening it for each line so that a reader in
// another process sees every line as soon as it is written.
#include "tools/chat/PasteRecord.h"
#include "base/WinHandle.h"
#include "net/Text.h"

namespace {
std::wstring gRecordPath;

void WriteBytes(DWORD disposition, const std::string& bytes) {
    KernelHandle file(CreateFileW(gRecordPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD written = 0;
    WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
}  // namespace

void StartRecord(const std::wstring& path) {
    gRecordPath = path;
    if (!gRecordPath.empty()) WriteBytes(CREATE_ALWAYS, std::string());
}

void RecordLine(const std::wstring& line) {
    if (gRecordPath.empty()) return;
    WriteBytes(OPEN_ALWAYS, FromWide(line + L"\n", CP_UTF8));
}
