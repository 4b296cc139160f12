// The foreground-window tracker and the paste: nothing happens before a foreign window
// has been seen, the tracker follows the window in front but never takes the program's
// own, a closed target is refused, and a real chat window (the stand-in, another process)
// receives Shift+Insert by scan code and shows the picture.
//
// The tracker is one per process and lives until it ends, so main() creates it while the
// program's own window is in front and records what a paste does then; the tests check it.
#include "delivery/ActivityWnd.h"
#include "delivery/Paste.h"
#include "tests/paste/DesktopHelpers.h"
#include "base/WinHandle.h"
#include "net/Text.h"
#include <gtest/gtest.h>
#include <fstream>
#include <sstream>

namespace {
constexpr DWORD kSeveralPassesMs = 400;  // the tracker looks every 100 ms

std::wstring gChatProgram;  // the chat stand-in, as a Windows path

struct StartState {
    bool ownWindowInFront = false;
    HWND targetAtCreation = nullptr;
    HWND targetAfterPolling = nullptr;
    bool pasted = true;
    bool clipboardUntouched = false;
    DWORD sequenceBefore = 0, sequenceAfter = 0;
};
StartState gStart;

HWND gOwnWindow = nullptr;

CActivityWnd* Tracker() {
    return CActivityWnd::GetInstance();
}

bool WaitForTarget(HWND window) {
    return WaitUntil([window] { return Tracker()->GetTarget() == window; }, 3000);
}

// A Linux path given on the command line, as Wine's Z: drive sees it.
std::wstring WindowsPathOf(const char* unixPath) {
    std::wstring path = L"Z:" + ToWide(unixPath, CP_UTF8);
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

std::string ReadFileBytes(const std::wstring& path) {
    std::string bytes;
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!file) return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
    return bytes;
}

bool HasLine(const std::string& text, const std::string& line) {
    std::istringstream lines(text);
    for (std::string l; std::getline(lines, l);) {
        if (l == line) return true;
    }
    return false;
}

// A 48 x 48 bitmap of one colour, written as a .bmp file.
bool WriteSolidBitmap(const std::wstring& path, COLORREF colour) {
    const int side = 48;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = side;
    info.biHeight = side;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const DWORD stride = side * 3;  // 144: already a multiple of 4
    std::string pixels;
    for (int i = 0; i < side * side; i++) {
        pixels += char(GetBValue(colour));
        pixels += char(GetGValue(colour));
        pixels += char(GetRValue(colour));
    }
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + stride * side;
    KernelHandle out(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!out) return false;
    DWORD written = 0;
    return WriteFile(out.Get(), &file, sizeof(file), &written, nullptr) &&
           WriteFile(out.Get(), &info, sizeof(info), &written, nullptr) &&
           WriteFile(out.Get(), pixels.data(), DWORD(pixels.size()), &written, nullptr);
}

std::wstring TempFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + name;
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\";
}

void RecordStartState() {
    gOwnWindow = MakeTopWindow(L"ZindleFrame");
    gStart.ownWindowInFront = BringToFront(gOwnWindow);
    PutMarkerOnClipboard();
    gStart.sequenceBefore = GetClipboardSequenceNumber();
    gStart.targetAtCreation = Tracker()->GetTarget();
    PumpFor(kSeveralPassesMs);
    gStart.targetAfterPolling = Tracker()->GetTarget();
    gStart.pasted = PastePicture(L"C:\\Zindle\\pic\\01.gif");
    PumpFor(200);
    gStart.sequenceAfter = GetClipboardSequenceNumber();
    gStart.clipboardUntouched = MarkerStillOnClipboard();
}
}  // namespace

TEST(Tracker, NothingIsDoneBeforeAForeignWindowIsSeen) {
    ASSERT_TRUE(gStart.ownWindowInFront);
    EXPECT_EQ(gStart.targetAtCreation, nullptr);
    EXPECT_EQ(gStart.targetAfterPolling, nullptr);
    EXPECT_FALSE(gStart.pasted);
    EXPECT_TRUE(gStart.clipboardUntouched);
    EXPECT_EQ(gStart.sequenceAfter, gStart.sequenceBefore);
}

TEST(Tracker, FollowsTheForegroundButNeverTakesTheProgramsOwnWindows) {
    struct Step {
        const wchar_t* className;
        bool taken;  // false: the previous target stays
    };
    const Step steps[] = {
        {L"ChatOne", true},      {L"ZindleFrame", false},   {L"ChatTwo", true},
        {L"ZindleAdvFrame", false}, {L"ZindleFrame2", true},
        {L"ZindleFrame", false},
    };
    HWND expected = nullptr;
    for (const Step& step : steps) {
        HWND window = MakeTopWindow(step.className);
        ASSERT_TRUE(BringToFront(window)) << "cannot bring " << FromWide(step.className, CP_UTF8) << " forward";
        if (step.taken) {
            expected = window;
            EXPECT_TRUE(WaitForTarget(window)) << FromWide(step.className, CP_UTF8) << " not taken";
        } else {
            PumpFor(kSeveralPassesMs);
            EXPECT_EQ(Tracker()->GetTarget(), expected) << FromWide(step.className, CP_UTF8) << " was taken";
        }
    }
    // The windows go with the process: under Wine on Xvfb each DestroyWindow of a shown
    // window waits about 2 s.
    ASSERT_TRUE(BringToFront(gOwnWindow));
}

TEST(Paste, ClosedTargetIsRefusedAndTheClipboardLeftAlone) {
    HWND chat = MakeTopWindow(L"ChatClosedLater");
    ASSERT_TRUE(BringToFront(chat));
    ASSERT_TRUE(WaitForTarget(chat));
    ASSERT_TRUE(BringToFront(gOwnWindow));
    DestroyWindow(chat);
    PumpFor(kSeveralPassesMs);
    ASSERT_EQ(Tracker()->GetTarget(), chat);
    PutMarkerOnClipboard();
    DWORD sequence = GetClipboardSequenceNumber();
    EXPECT_FALSE(PastePicture(L"C:\\Zindle\\pic\\01.gif"));
    EXPECT_EQ(GetClipboardSequenceNumber(), sequence);
    EXPECT_TRUE(MarkerStillOnClipboard());
    EXPECT_EQ(GetForegroundWindow(), gOwnWindow) << "the paste brought something else forward";
}

TEST(Paste, PlainTextWindowPastesAnEmptyString) {
    HWND chat = MakeTopWindow(L"PlainTextChat");
    HWND edit = CreateWindowExW(0, L"EDIT", L"typed text", WS_CHILD | WS_VISIBLE, 0, 0, 280, 30, chat, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(BringToFront(chat));
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    ASSERT_TRUE(WaitForTarget(chat));
    ASSERT_TRUE(BringToFront(gOwnWindow));
    ASSERT_TRUE(PastePicture(L"C:\\Zindle\\pic\\01.gif"));
    EXPECT_EQ(GetForegroundWindow(), chat);
    // The selected text is replaced by the empty Unicode text, not by the file path:
    // the key press arrived as Shift+Insert and the edit control pasted.
    EXPECT_TRUE(WaitUntil([edit] { return GetWindowTextLengthW(edit) == 0; }, 3000));
    ASSERT_TRUE(BringToFront(gOwnWindow));
}

TEST(Paste, ChatStandInReceivesShiftInsertAndShowsThePicture) {
    ASSERT_FALSE(gChatProgram.empty()) << "usage: paste_tracker_test <zindle-chat.exe>";
    std::wstring folder = TempFolder(L"zindle-paste-\u8868\u60c5");
    std::wstring picture = folder + L"\u7b11\u8138.bmp";
    std::wstring record = folder + L"record.txt";
    const COLORREF colour = RGB(200, 30, 120);
    ASSERT_TRUE(WriteSolidBitmap(picture, colour));
    DeleteFileW(record.c_str());

    std::wstring commandLine = L"\"" + gChatProgram + L"\" --record \"" + record + L"\"";
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process))
        << "cannot start the chat stand-in";
    KernelHandle chatProcess(process.hProcess), chatThread(process.hThread);

    std::string lines;
    ASSERT_TRUE(WaitUntil([&] { return (lines = ReadFileBytes(record)).find("ready window=") != std::string::npos; },
                          15000))
        << "the chat stand-in did not start";
    HWND chat = FindWindowW(L"ZindleChatStandIn", nullptr);
    ASSERT_NE(chat, nullptr);
    // The user types in the chat window, then clicks a picture in the picker.
    ASSERT_TRUE(BringToFront(chat));
    ASSERT_TRUE(WaitForTarget(chat));
    ASSERT_TRUE(BringToFront(gOwnWindow));
    PumpFor(kSeveralPassesMs);
    ASSERT_EQ(Tracker()->GetTarget(), chat);

    ASSERT_TRUE(PastePicture(picture));
    EXPECT_EQ(GetForegroundWindow(), chat);
    bool drawn = WaitUntil([&] { return (lines = ReadFileBytes(record)).find("drawn ") != std::string::npos; }, 10000);
    EXPECT_TRUE(drawn) << "record so far:\n" << lines;

    EXPECT_TRUE(HasLine(lines, "key down vk=0x10 scan=0x2a extended=0 shift=1")) << lines;
    EXPECT_TRUE(HasLine(lines, "key down vk=0x2d scan=0x52 extended=1 shift=1")) << lines;
    EXPECT_TRUE(HasLine(lines, "paste via=shift+insert")) << lines;
    size_t text = lines.find("name=CF_UNICODETEXT size=2\n");
    size_t rich = lines.find("name=QQ_RichEdit_Format ");
    size_t html = lines.find("name=HTML Format ");
    ASSERT_NE(text, std::string::npos) << lines;
    EXPECT_TRUE(text < rich && rich < html && html != std::string::npos) << lines;
    std::string expectedPicture =
        "picture source=HTML Format path=" + FromWide(picture, CP_UTF8) + " width=48 height=48 frames=1";
    EXPECT_TRUE(HasLine(lines, expectedPicture)) << lines;

    // What the screen shows in the middle of the drawn picture.
    RECT r = {};
    size_t at = lines.find("drawn ");
    if (drawn && sscanf(lines.c_str() + at, "drawn left=%ld top=%ld right=%ld bottom=%ld", &r.left, &r.top,
                        &r.right, &r.bottom) == 4) {
        HDC screen = GetDC(nullptr);
        COLORREF seen = GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ReleaseDC(nullptr, screen);
        EXPECT_EQ(seen, colour) << "screen pixel " << std::hex << seen;
    }

    PostMessageW(chat, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(chatProcess.Get(), 5000) != WAIT_OBJECT_0) TerminateProcess(chatProcess.Get(), 1);
    DeleteFileW(picture.c_str());
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc > 1) gChatProgram = WindowsPathOf(argv[1]);
    RecordStartState();
    return RUN_ALL_TESTS();
}
