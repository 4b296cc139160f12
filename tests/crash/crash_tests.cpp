// Crash handler tests: runs crashchild.exe (copied into a fresh folder per case, with the
// stand-in bugvane.exe as the reporter) and checks its report, its minidump and the
// reporter's command line. The children's output is captured, never echoed, since their
// deliberate crashes must not look like a crash of this program. Every child therefore
// ends through a filter of its own beneath the handler: Wine's own crash handling would
// print its "Unhandled page fault" line on the Unix stderr, which no redirection catches.
#include <gtest/gtest.h>

#include <windows.h>
#include <dbghelp.h>
#include <string>
#include <vector>

namespace {

constexpr DWORD kExitViaPrevious = 0x50;
const wchar_t kSeparator[] = L"//=====================================================";

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.rfind(L'\\'));
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadBytes(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

std::wstring ReadUtf16(const std::wstring& path) {
    std::string bytes = ReadBytes(path);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

std::vector<std::wstring> SplitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

void DeleteTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) DeleteTree(path);
            else DeleteFileW(path.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

// Creates every missing folder of `path`.
bool MakeFolders(const std::wstring& path) {
    for (size_t at = path.find(L'\\', 3); ; at = path.find(L'\\', at + 1)) {
        std::wstring part = path.substr(0, at);
        if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
        if (at == std::wstring::npos) return true;
    }
}

struct ChildResult {
    DWORD exitCode = 0;
    std::string output;
};

// One crash case: a fresh folder holding the child under `exeName`, and bugvane.exe in
// `components` (the child's own folder when empty).
class CrashCase {
public:
    explicit CrashCase(const std::wstring& exeName, const std::wstring& components = L"") {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        static int counter = 0;
        folder_ = std::wstring(temp) + L"zindlecrash" + std::to_wstring(GetCurrentProcessId()) + L"n" +
                  std::to_wstring(++counter);
        DeleteTree(folder_);
        MakeFolders(folder_);
        exe_ = folder_ + L"\\" + exeName;
        components_ = components.empty() ? folder_ : components;
        MakeFolders(components_);
        copied_ = CopyFileW((OwnFolder() + L"\\crashchild.exe").c_str(), exe_.c_str(), FALSE) &&
                  CopyFileW((OwnFolder() + L"\\bugvane.exe").c_str(), ReporterPath().c_str(), FALSE);
    }
    ~CrashCase() {
        DeleteTree(folder_);
        if (!StartsWith(components_, folder_)) DeleteTree(components_);
    }

    bool Ready() const { return copied_; }
    const std::wstring& Folder() const { return folder_; }
    const std::wstring& Exe() const { return exe_; }
    std::wstring ReporterPath() const { return components_ + L"\\bugvane.exe"; }
    std::wstring ReporterLog() const { return components_ + L"\\bugvane.log"; }
    std::wstring WithoutExtension() const {
        size_t dot = exe_.rfind(L'.');
        return dot == std::wstring::npos || dot < exe_.rfind(L'\\') ? exe_ : exe_.substr(0, dot);
    }
    std::wstring ReportPath() const { return WithoutExtension() + L".rpt"; }
    std::wstring DumpPath() const { return WithoutExtension() + L".dmp"; }

    ChildResult Run(const std::wstring& arguments) const {
        ChildResult result;
        std::wstring outputPath = folder_ + L"\\output.txt";
        SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
        HANDLE output = CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    &inherit, CREATE_ALWAYS, 0, nullptr);
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output;
        startup.hStdError = output;
        std::wstring commandLine = L"\"" + exe_ + L"\" " + arguments;
        PROCESS_INFORMATION process = {};
        BOOL started = CreateProcessW(exe_.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                      folder_.c_str(), &startup, &process);
        CloseHandle(output);
        if (!started) {
            ADD_FAILURE() << "cannot start the child, error " << GetLastError();
            return result;
        }
        // Generous: under Wine on a busy machine one minidump may take many seconds.
        if (WaitForSingleObject(process.hProcess, 300000) != WAIT_OBJECT_0) {
            TerminateProcess(process.hProcess, 99);
            ADD_FAILURE() << "the child hung";
        }
        GetExitCodeProcess(process.hProcess, &result.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        for (char c : ReadBytes(outputPath)) {
            if (c != '\r') result.output += c;  // the child's runtime writes text mode
        }
        return result;
    }

    // Every record of the report, each as its lines.
    std::vector<std::vector<std::wstring>> Records() const {
        std::vector<std::vector<std::wstring>> records;
        for (const std::wstring& line : SplitLines(ReadUtf16(ReportPath()))) {
            if (line == kSeparator) records.emplace_back();
            if (records.empty()) records.emplace_back();  // text before any separator
            records.back().push_back(line);
        }
        return records;
    }

    // The reporter's command lines, once `count` of them arrived (the reporter runs on
    // its own after the child ends), or what came within the wait.
    std::vector<std::wstring> ReporterLines(size_t count, DWORD waitMs = 15000) const {
        std::vector<std::wstring> lines;
        for (DWORD waited = 0; ; waited += 100) {
            lines = SplitLines(ReadUtf16(ReporterLog()));
            if (lines.size() >= count || waited >= waitMs) return lines;
            Sleep(100);
        }
    }

    std::wstring ExpectedReporterLine() const {
        std::wstring name = exe_.substr(exe_.rfind(L'\\') + 1);
        std::wstring base = WithoutExtension().substr(WithoutExtension().rfind(L'\\') + 1);
        return L"\"" + ReporterPath() + L"\" \"" + name + L"\" \"orvanzk\" \"0\" \"" + base + L".dmp\" \"" +
               base + L".rpt\"";
    }

private:
    std::wstring folder_;
    std::wstring exe_;
    std::wstring components_;
    bool copied_ = false;
};

// The exception code that the minidump's exception stream holds; 0 when it has none.
DWORD DumpedExceptionCode(const std::string& dump) {
    if (dump.size() < sizeof(MINIDUMP_HEADER) || dump.compare(0, 4, "MDMP") != 0) return 0;
    auto header = reinterpret_cast<const MINIDUMP_HEADER*>(dump.data());
    for (ULONG32 i = 0; i < header->NumberOfStreams; i++) {
        size_t at = header->StreamDirectoryRva + i * sizeof(MINIDUMP_DIRECTORY);
        if (at + sizeof(MINIDUMP_DIRECTORY) > dump.size()) return 0;
        auto entry = reinterpret_cast<const MINIDUMP_DIRECTORY*>(dump.data() + at);
        if (entry->StreamType != ExceptionStream) continue;
        if (entry->Location.Rva + sizeof(MINIDUMP_EXCEPTION_STREAM) > dump.size()) return 0;
        auto stream = reinterpret_cast<const MINIDUMP_EXCEPTION_STREAM*>(dump.data() + entry->Location.Rva);
        return stream->ExceptionRecord.ExceptionCode;
    }
    return 0;
}

size_t CountOf(const std::string& text, const std::string& word) {
    size_t count = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) count++;
    return count;
}

std::wstring Hex8(DWORD value) {
    wchar_t text[16];
    wsprintfW(text, L"%08X", value);
    return text;
}

// The record's lines in their order, checked item by item against what the handler
// writes; the exception's own items are returned for the caller to check.
struct RecordItems {
    std::wstring code, fault, params, type;
};

RecordItems CheckRecordLayout(const std::vector<std::wstring>& record, const std::wstring& exe) {
    RecordItems items;
    const std::vector<std::wstring> prefixes = {
        kSeparator,        L"Time: ",   L"Application: ", L"GlobalMemory: pmiu:0x", L"CurMemory: pfc:0x",
        L"Exception code: ", L"Fault address:  ", L"Exception Param:", L"CPU mode: X",
        L"Registers:",     L"DS:",      L"",               L"type:"};
    EXPECT_EQ(record.size(), prefixes.size());
    for (size_t i = 0; i < prefixes.size() && i < record.size(); i++)
        EXPECT_TRUE(StartsWith(record[i], prefixes[i])) << "line " << i;
    if (record.size() < prefixes.size()) return items;
    EXPECT_EQ(record[2], L"Application: " + exe);
    EXPECT_EQ(record[11], L"");
    EXPECT_NE(record[9].find(L" CS:"), std::wstring::npos);
    EXPECT_NE(record[9].find(L" SS:"), std::wstring::npos);
    EXPECT_NE(record[10].find(L"Flags:"), std::wstring::npos);
    items.code = record[5];
    items.fault = record[6];
    items.params = record[7];
    items.type = record[12];
    return items;
}

TEST(CrashReport, AccessViolationWritesRecordDumpAndStartsReporter) {
    CrashCase crash(L"crashchild.exe");
    ASSERT_TRUE(crash.Ready());
    ChildResult result = crash.Run(L"av");
    EXPECT_EQ(result.exitCode, kExitViaPrevious) << result.output;
    EXPECT_EQ(CountOf(result.output, "previous C0000005"), 1u) << result.output;

    auto records = crash.Records();
    ASSERT_EQ(records.size(), 1u);
    RecordItems items = CheckRecordLayout(records[0], crash.Exe());
    EXPECT_EQ(items.code, L"Exception code: C0000005 ACCESS_VIOLATION");
    // The fault lies in the child's code: a section of its image, named by its path.
    EXPECT_FALSE(StartsWith(items.fault.substr(items.fault.find(L' ', 17) + 1), L"00:")) << items.fault;
    EXPECT_TRUE(items.fault.size() > crash.Exe().size() &&
                items.fault.compare(items.fault.size() - crash.Exe().size(), std::wstring::npos, crash.Exe()) == 0)
        << items.fault;
    // A write to 0x10: two parameters, each tab-terminated.
    EXPECT_EQ(items.params, L"Exception Param:" + std::wstring(sizeof(void*) * 2 - 1, L'0') + L"1\t" +
                                std::wstring(sizeof(void*) * 2 - 2, L'0') + L"10\t");
    EXPECT_EQ(items.type, L"type:0");

    std::string dump = ReadBytes(crash.DumpPath());
    EXPECT_EQ(dump.compare(0, 4, "MDMP"), 0);
    EXPECT_EQ(DumpedExceptionCode(dump), 0xC0000005u);

    auto reporter = crash.ReporterLines(1);
    ASSERT_EQ(reporter.size(), 1u);
    EXPECT_EQ(reporter[0], crash.ExpectedReporterLine());
}

// Both ways a C-runtime error arrives: the invalid-parameter handler called as the
// runtime calls it, and a real pure virtual call through __cxa_pure_virtual.
struct RuntimeErrorCase {
    const wchar_t* mode;
    DWORD exitCode;  // 3: the runtime ends the process after a pure call
    const char* said;
};

class RuntimeError : public testing::TestWithParam<RuntimeErrorCase> {};

TEST_P(RuntimeError, RecordsCodeC0000417WithType3) {
    const RuntimeErrorCase& c = GetParam();
    CrashCase crash(L"crashchild.exe");
    ASSERT_TRUE(crash.Ready());
    ChildResult result = crash.Run(c.mode);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.output;
    EXPECT_NE(result.output.find(c.said), std::string::npos) << result.output;
    EXPECT_EQ(CountOf(result.output, "previous"), 0u) << "not an unhandled exception";

    auto records = crash.Records();
    ASSERT_EQ(records.size(), 1u);
    RecordItems items = CheckRecordLayout(records[0], crash.Exe());
    // The name is the system's message text, which Wine does not have.
    EXPECT_TRUE(StartsWith(items.code, L"Exception code: C0000417 ")) << items.code;
    EXPECT_EQ(items.params, L"Exception Param:");
    EXPECT_EQ(items.type, L"type:3");
    EXPECT_EQ(DumpedExceptionCode(ReadBytes(crash.DumpPath())), 0xC0000417u);
    auto reporter = crash.ReporterLines(1);
    ASSERT_EQ(reporter.size(), 1u);
    EXPECT_EQ(reporter[0], crash.ExpectedReporterLine());
}

INSTANTIATE_TEST_SUITE_P(Paths, RuntimeError,
                         testing::Values(RuntimeErrorCase{L"runtime", 0, "runtime handler returned"},
                                         RuntimeErrorCase{L"purecall", 3, ""}));

// Several crashes in one run: each appends its record in order, the dump holds only the
// last one, the runtime error is not counted, and the sixth exception writes nothing but
// still reaches the previous filter.
TEST(CrashReport, SuccessiveCrashesAppendRecordsUpToFive) {
    CrashCase crash(L"crashchild.exe");
    ASSERT_TRUE(crash.Ready());
    ChildResult result = crash.Run(L"sequence");
    EXPECT_EQ(result.exitCode, 0u) << result.output;
    EXPECT_NE(result.output.find("runtime handler returned\nprevious C0000006\nprevious C000001D\n"
                                 "previous C00000FD\nprevious C0000025\nprevious 80000001\n"
                                 "previous C0000096\ndone"),
              std::string::npos)
        << result.output;

    auto records = crash.Records();
    ASSERT_EQ(records.size(), 6u);
    EXPECT_EQ(CheckRecordLayout(records[0], crash.Exe()).type, L"type:3");
    const wchar_t* expected[] = {L"Exception code: C0000006 IN_PAGE_ERROR",
                                 L"Exception code: C000001D ILLEGAL_INSTRUCTION",
                                 L"Exception code: C00000FD STACK_OVERFLOW",
                                 L"Exception code: C0000025 NONCONTINUABLE_EXCEPTION",
                                 L"Exception code: 80000001 GUARD_PAGE"};
    for (size_t i = 1; i < records.size(); i++) {
        RecordItems items = CheckRecordLayout(records[i], crash.Exe());
        EXPECT_EQ(items.code, expected[i - 1]);
        EXPECT_EQ(items.type, L"type:0");
    }
    EXPECT_EQ(DumpedExceptionCode(ReadBytes(crash.DumpPath())), 0x80000001u);
    EXPECT_EQ(crash.ReporterLines(6).size(), 6u);
}

TEST(CrashReport, ThreeParametersPrintThreeTabTerminatedValues) {
    CrashCase crash(L"crashchild.exe");
    ASSERT_TRUE(crash.Ready());
    ChildResult result = crash.Run(L"params");
    EXPECT_EQ(result.exitCode, 0u) << result.output;
    auto records = crash.Records();
    ASSERT_EQ(records.size(), 1u);
    std::wstring pad(sizeof(void*) * 2 - 2, L'0');
    EXPECT_EQ(CheckRecordLayout(records[0], crash.Exe()).params,
              L"Exception Param:" + pad + L"11\t" + pad + L"22\t" + pad + L"33\t");
}

TEST(CrashReport, ExecutableWithoutDotGetsDotRptAppended) {
    CrashCase crash(L"crashchild");
    ASSERT_TRUE(crash.Ready());
    ASSERT_EQ(crash.Exe().find(L'.'), std::wstring::npos) << "the case needs a path without any dot";
    ChildResult result = crash.Run(L"av");
    EXPECT_EQ(result.exitCode, kExitViaPrevious) << result.output;
    EXPECT_TRUE(FileExists(crash.Exe() + L".rpt"));
    EXPECT_TRUE(FileExists(crash.Exe() + L".dmp"));
    auto records = crash.Records();
    ASSERT_EQ(records.size(), 1u);
    auto reporter = crash.ReporterLines(1);
    ASSERT_EQ(reporter.size(), 1u);
    EXPECT_EQ(reporter[0], crash.ExpectedReporterLine());
    EXPECT_NE(reporter[0].find(L"\"crashchild\" \"orvanzk\" \"0\" \"crashchild.dmp\" \"crashchild.rpt\""),
              std::wstring::npos);
}

TEST(CrashReport, EmptyComponentsFolderStartsNoReporter) {
    CrashCase crash(L"crashchild.exe");  // bugvane.exe lies in the child's own folder
    ASSERT_TRUE(crash.Ready());
    ChildResult result = crash.Run(L"av --components \"\"");
    EXPECT_EQ(result.exitCode, kExitViaPrevious) << result.output;
    EXPECT_EQ(crash.Records().size(), 1u);
    EXPECT_TRUE(crash.ReporterLines(1, 3000).empty());
}

// A components folder and program name together far longer than 520 characters.
TEST(CrashReport, LongComponentsFolderGivesTheWholeCommandLine) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring components = std::wstring(temp) + L"zindlecrashlong" + std::to_wstring(GetCurrentProcessId());
    while (components.size() < 200) components += L"\\components-folder-of-some-length";
    std::wstring exeName = std::wstring(120, L'z') + L".exe";
    CrashCase crash(exeName, components);
    ASSERT_TRUE(crash.Ready());
    ChildResult result = crash.Run(L"av --components \"" + components + L"\"");
    EXPECT_EQ(result.exitCode, kExitViaPrevious) << result.output;
    auto reporter = crash.ReporterLines(1);
    ASSERT_EQ(reporter.size(), 1u);
    EXPECT_GT(reporter[0].size(), 520u);
    EXPECT_EQ(reporter[0], crash.ExpectedReporterLine());
    // The long path is written whole in the record too.
    auto records = crash.Records();
    ASSERT_EQ(records.size(), 1u);
    CheckRecordLayout(records[0], crash.Exe());
}

TEST(CrashReport, FaultWhileHandlingEndsQuietlyAndTheNextCrashIsReported) {
    CrashCase crash(L"crashchild.exe");
    ASSERT_TRUE(crash.Ready());
    ChildResult result = crash.Run(L"fault-in-handler");
    EXPECT_EQ(result.exitCode, 0u) << result.output;
    // The previous filter faults on the same bad record: that too ends with 0.
    EXPECT_NE(result.output.find("filter returned 0\nprevious C0000096\ndone"), std::string::npos)
        << result.output;
    auto records = crash.Records();
    ASSERT_EQ(records.size(), 2u);
    // The first record stops where the bad record was first read.
    ASSERT_GE(records[0].size(), 3u);
    EXPECT_EQ(records[0][0], kSeparator);
    for (const std::wstring& line : records[0]) EXPECT_FALSE(StartsWith(line, L"Exception code:"));
    RecordItems items = CheckRecordLayout(records[1], crash.Exe());
    EXPECT_EQ(items.code, L"Exception code: C0000096 PRIV_INSTRUCTION");
    EXPECT_EQ(DumpedExceptionCode(ReadBytes(crash.DumpPath())), 0xC0000096u);
}

TEST(CrashReport, SecondCrashOnAnotherThreadDuringHandlingIsPassedOn) {
    CrashCase crash(L"crashchild.exe");
    ASSERT_TRUE(crash.Ready());
    ChildResult result = crash.Run(L"crash-during-crash");
    EXPECT_EQ(result.exitCode, 0u) << result.output;
    EXPECT_NE(result.output.find("previous C000001D\nsecond crash passed on during handling: yes\n"
                                 "previous C0000006\ndone"),
              std::string::npos)
        << result.output;
    auto records = crash.Records();
    ASSERT_EQ(records.size(), 1u);  // the second crash came while the first was handled
    EXPECT_EQ(CheckRecordLayout(records[0], crash.Exe()).code, L"Exception code: C0000006 IN_PAGE_ERROR");
    EXPECT_EQ(DumpedExceptionCode(ReadBytes(crash.DumpPath())), 0xC0000006u);
}

// "CheckCrash" asks for a confirmation at load time; only a non-zero value gets one.
struct CheckCase {
    bool present;
    DWORD value;
    bool confirmed;
};

class CrashCheck : public testing::TestWithParam<CheckCase> {};

TEST_P(CrashCheck, ConfirmsOnlyANonZeroRequest) {
    const CheckCase& c = GetParam();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, L"SoftWare\\OrvanInput", &key), ERROR_SUCCESS);
    RegDeleteValueW(key, L"CheckCrashRes");
    RegDeleteValueW(key, L"CheckCrash");
    if (c.present)
        RegSetValueExW(key, L"CheckCrash", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&c.value), sizeof(c.value));

    CrashCase crash(L"crashchild.exe");
    ASSERT_TRUE(crash.Ready());
    ChildResult result = crash.Run(L"none --system");
    EXPECT_EQ(result.exitCode, 0u) << result.output;
    EXPECT_NE(result.output.find("installed first: yes"), std::string::npos) << result.output;

    DWORD confirmation = 0;
    DWORD size = sizeof(confirmation);
    DWORD type = 0;
    bool found = RegQueryValueExW(key, L"CheckCrashRes", nullptr, &type, reinterpret_cast<BYTE*>(&confirmation),
                                  &size) == ERROR_SUCCESS;
    EXPECT_EQ(found, c.confirmed);
    if (found) {
        EXPECT_EQ(type, DWORD(REG_DWORD));
        EXPECT_EQ(confirmation, 1u);
    }
    RegDeleteValueW(key, L"CheckCrashRes");
    RegDeleteValueW(key, L"CheckCrash");
    RegCloseKey(key);
}

INSTANTIATE_TEST_SUITE_P(Values, CrashCheck,
                         testing::Values(CheckCase{false, 0, false}, CheckCase{true, 0, false},
                                         CheckCase{true, 1, true}, CheckCase{true, 7, true}));

}  // namespace
