// Drives the Windows program's window from outside, as a user or an automation tool would, for
// the system tests under Wine. Finds the window by its caption; prints what it reads on stdout
// (texts in UTF-8, CR and LF written as \r and \n); exits 1 when a step fails.
//   zandriver wait SECONDS         waits until the window is shown with its taskbar button
//   zandriver layout               the client size, the taskbar style, the program's icon, the
//   focused
//                                  control, and per control
//                                  its id, class, rectangle in the client area, style and text
//   zandriver run                  clicks "Run Tests" (BM_CLICK), waits, prints the status label
//   zandriver run-held FILE        the same while FILE is held open without delete sharing
//   zandriver check                clicks the runtime-logging checkbox, prints its state
//   zandriver check-refused [FILE] the same, when the program cannot carry the change out (FILE,
//                                  if given, is held open meanwhile): expects a message box,
//                                  prints its title, text, buttons and icon, and presses OK
//   zandriver state                prints the checkbox state and the status label
//   zandriver shot FILE.png        writes a picture of the window (frame included)
//   zandriver enter                presses Enter on the focused control (a posted key, as the
//                                  keyboard delivers it), prints the focused control's id, waits
//                                  for the run, prints the checkbox state and the status label
//   zandriver busy SECONDS         presses Enter to start a run; throughout it, sends messages
//                                  (prints whether each was answered within a second); during its
//                                  first registry export (prints the status label then),
//                                  presses Enter again and closes the window (posted); prints
//                                  whether the window still shows, waits for the program to end
//                                  and prints its exit code
//   zandriver close SECONDS [HOW [LOG COPY]]
//                                  closes the window, waits for the program to end, prints its
//                                  exit code; HOW: post-syscommand (WM_SYSCOMMAND SC_CLOSE
//                                  posted, the default), send-syscommand and send-close (sent,
//                                  as automation tools do), post-close, sysmenu (Alt+Space
//                                  opens the system menu, C chooses Close), end-session (the
//                                  session end's question, a cancelled end, the end; LOG is
//                                  copied to COPY as soon as the end's message is answered,
//                                  when Windows may end the process; prints the answer and
//                                  whether the program still runs and shows its window)
//   zandriver prepare VIEWER       makes VIEWER the machine's program for opening .txt files, and
//   has Wine draw window frames itself (a test
//                                  display has no window manager), so that pictures show them
//   zandriver access-key           presses Alt+R, waits for the run, prints the checkbox state
//                                  and the status label
//   zandriver foreground           prints whether the window is the foreground window and
//                                  whether it is minimised
//   zandriver minimize             minimises the window
//   zandriver temp                 prints the user's temporary folder
//   zandriver windows              lists the top-level windows (for failure reports)
#include "PngFile.h"
#include "app/FormLayout.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const wchar_t kCaption[] = L"" ZP_CAPTION;

std::string Utf8(const std::wstring& p_Text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, p_Text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, p_Text.c_str(), -1, &out[0], size, nullptr, nullptr);
    out.resize(std::strlen(out.c_str()));
    return out;
}

std::string Escaped(const std::wstring& p_Text) {
    std::string out;
    for (char c : Utf8(p_Text)) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::wstring WindowText(HWND p_Window) {
    wchar_t buffer[4096] = {};
    SendMessageTimeoutW(p_Window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL,
                        5000, nullptr);
    return buffer;
}

std::wstring ClassName(HWND p_Window) {
    wchar_t buffer[256] = {};
    GetClassNameW(p_Window, buffer, 256);
    return buffer;
}

// Whether the process that owns a window still runs. Wine's server removes the windows of a
// process that has ended a moment after its end, so the window of the program that the last
// step closed can still be listed when the next program starts.
bool OwnerRuns(HWND p_Window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(p_Window, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process) {
        return false;
    }
    bool runs = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return runs;
}

BOOL CALLBACK MatchMainWindow(HWND p_Window, LPARAM p_Found) {
    wchar_t text[256] = {};
    GetWindowTextW(p_Window, text, 256);
    if (IsWindowVisible(p_Window) && std::wcscmp(text, kCaption) == 0 && OwnerRuns(p_Window)) {
        *reinterpret_cast<HWND*>(p_Found) = p_Window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK PrintTopLevel(HWND p_Window, LPARAM) {
    wchar_t text[256] = {};
    GetWindowTextW(p_Window, text, 256);
    DWORD pid = 0;
    GetWindowThreadProcessId(p_Window, &pid);
    std::printf("top %p visible %d pid %lu class %s text %s\n", static_cast<void*>(p_Window),
                IsWindowVisible(p_Window) ? 1 : 0, pid, Utf8(ClassName(p_Window)).c_str(),
                Utf8(text).c_str());
    return TRUE;
}

// The shown top-level window with the caption.
HWND FindMainWindow() {
    HWND found = nullptr;
    EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

struct ChildSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchId(HWND p_Window, LPARAM p_Search) {
    auto* search = reinterpret_cast<ChildSearch*>(p_Search);
    if (GetDlgCtrlID(p_Window) == search->id) {
        search->found = p_Window;
        return FALSE;
    }
    return TRUE;
}

HWND Control(HWND p_Main, int p_Id) {
    ChildSearch search = {p_Id, nullptr};
    EnumChildWindows(p_Main, MatchId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK CollectChild(HWND p_Window, LPARAM p_List) {
    reinterpret_cast<std::vector<HWND>*>(p_List)->push_back(p_Window);
    return TRUE;
}

std::vector<HWND> Children(HWND p_Window) {
    std::vector<HWND> list;
    EnumChildWindows(p_Window, CollectChild, reinterpret_cast<LPARAM>(&list));
    return list;
}

int CheckState(HWND p_Main) {
    DWORD_PTR state = 0;
    SendMessageTimeoutW(Control(p_Main, ZP_ID_RUNTIME_LOGGING), BM_GETCHECK, 0, 0, SMTO_NORMAL,
                        5000, &state);
    return static_cast<int>(state);
}

void PrintState(HWND p_Main) {
    std::printf("check %d\n", CheckState(p_Main));
    std::printf("status %s\n", Escaped(WindowText(Control(p_Main, ZP_ID_STATUS))).c_str());
}

// Opens a file for reading and writing, sharing reading and writing but not deletion, so that
// the program can neither delete nor replace it while it is held.
HANDLE Hold(const char* p_Path) {
    HANDLE file =
        CreateFileA(p_Path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::printf("cannot hold %s (error %lu)\n", p_Path, GetLastError());
    }
    return file;
}

#pragma pack(push, 2)
struct IconDirectoryEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitsPerPixel;
    DWORD size;
    WORD id;
};
#pragma pack(pop)

// The images of the first icon in the window's program file, as WIDTHxHEIGHTxBITS.
std::string IconImages(HWND p_Main) {
    DWORD processId = 0;
    GetWindowThreadProcessId(p_Main, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!process || !QueryFullProcessImageNameA(process, 0, path, &size)) {
        return "(no program file)";
    }
    CloseHandle(process);
    HMODULE module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found =
        module ? FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14)) : nullptr;
    const BYTE* group =
        found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
    std::string images;
    if (group) {
        WORD count = *reinterpret_cast<const WORD*>(group + 4);
        const auto* entries = reinterpret_cast<const IconDirectoryEntry*>(group + 6);
        for (WORD i = 0; i < count; ++i) {
            images += (i ? "," : "") + std::to_string(entries[i].width) + "x" +
                      std::to_string(entries[i].height) + "x" +
                      std::to_string(entries[i].bitsPerPixel);
        }
    }
    if (module) {
        FreeLibrary(module);
    }
    return images.empty() ? "(no icon)" : images;
}

int Layout(HWND p_Main) {
    RECT client;
    GetClientRect(p_Main, &client);
    std::printf("client %ld %ld\n", client.right, client.bottom);
    LONG exStyle = GetWindowLongW(p_Main, GWL_EXSTYLE);
    std::printf("appwindow %d\n", (exStyle & WS_EX_APPWINDOW) ? 1 : 0);
    std::printf("icon %s\n", IconImages(p_Main).c_str());
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(p_Main, nullptr), &thread);
    std::printf("focus %d\n", thread.hwndFocus ? GetDlgCtrlID(thread.hwndFocus) : 0);
    for (HWND child : Children(p_Main)) {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, p_Main, reinterpret_cast<POINT*>(&rect), 2);
        LONG style = GetWindowLongW(child, GWL_STYLE);
        std::printf("control %d %s %ld %ld %ld %ld %s%s %s\n", GetDlgCtrlID(child),
                    Utf8(ClassName(child)).c_str(), rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, (style & WS_TABSTOP) ? "tab" : "-",
                    (style & WS_VISIBLE) ? "" : ",hidden", Escaped(WindowText(child)).c_str());
    }
    return 0;
}

// Clicks a control and waits for its handler to finish.
bool Click(HWND p_Control, UINT p_Timeout) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(p_Control, BM_CLICK, 0, 0, SMTO_NORMAL, p_Timeout, &result) != 0;
}

BOOL CALLBACK MatchMessageBox(HWND p_Window, LPARAM p_Found) {
    if (ClassName(p_Window) == L"#32770" && IsWindowVisible(p_Window)) {
        *reinterpret_cast<HWND*>(p_Found) = p_Window;
        return FALSE;
    }
    return TRUE;
}

// The message box shown by the program's thread, if any.
HWND FindMessageBox(HWND p_Main) {
    HWND found = nullptr;
    EnumThreadWindows(GetWindowThreadProcessId(p_Main, nullptr), MatchMessageBox,
                      reinterpret_cast<LPARAM>(&found));
    return found;
}

int CheckRefused(HWND p_Main, const char* p_Path) {
    HANDLE held = *p_Path ? Hold(p_Path) : INVALID_HANDLE_VALUE;
    if (*p_Path && held == INVALID_HANDLE_VALUE) {
        return 1;
    }
    PostMessageW(Control(p_Main, ZP_ID_RUNTIME_LOGGING), BM_CLICK, 0, 0);
    HWND box = nullptr;
    for (int i = 0; i < 100 && !box; ++i) {
        Sleep(100);
        box = FindMessageBox(p_Main);
    }
    int status = 0;
    if (!box) {
        std::printf("no message box\n");
        status = 1;
    } else {
        std::printf("box title %s\n", Escaped(WindowText(box)).c_str());
        HWND ok = nullptr;
        for (HWND child : Children(box)) {
            LONG style = GetWindowLongW(child, GWL_STYLE);
            std::wstring kind = ClassName(child);
            if (kind == L"Button" || kind == L"BUTTON") {
                std::printf("box button %s\n", Escaped(WindowText(child)).c_str());
                ok = child;
            } else if ((style & SS_TYPEMASK) == SS_ICON) {
                if (IsWindowVisible(child) && SendMessageW(child, STM_GETICON, 0, 0)) {
                    std::printf("box icon\n");
                }
            } else if (!WindowText(child).empty()) {
                std::printf("box text %s\n", Escaped(WindowText(child)).c_str());
            }
        }
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
        for (int i = 0; i < 100 && IsWindow(box); ++i) {
            Sleep(50);
        }
    }
    Sleep(200);
    if (held != INVALID_HANDLE_VALUE) {
        CloseHandle(held);
    }
    std::printf("check %d\n", CheckState(p_Main));
    return status;
}

int Shot(HWND p_Main, const char* p_Path) {
    RECT rect;
    GetWindowRect(p_Main, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    std::string rgb;
    const auto* pixels = static_cast<const unsigned char*>(bits);
    for (int i = 0; i < width * height; ++i) {
        rgb += static_cast<char>(pixels[i * 4 + 2]);
        rgb += static_cast<char>(pixels[i * 4 + 1]);
        rgb += static_cast<char>(pixels[i * 4]);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return WritePng(p_Path, width, height, rgb) ? 0 : 1;
}

// The status label once a run has ended ("" when none ended within the time).
std::wstring WaitForRun(HWND p_Main, DWORD p_Seconds) {
    DWORD end = GetTickCount() + p_Seconds * 1000;
    while (GetTickCount() < end) {
        // During the run the program does not answer: the read times out and is tried again.
        std::wstring status = WindowText(Control(p_Main, ZP_ID_STATUS));
        if (status.compare(0, 12, L"Diagnostics ") == 0) {
            return status;
        }
        Sleep(200);
    }
    return L"";
}

int Enter(HWND p_Main) {
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(p_Main, nullptr), &thread);
    std::printf("focus %d\n", thread.hwndFocus ? GetDlgCtrlID(thread.hwndFocus) : 0);
    if (!thread.hwndFocus) {
        return 1;
    }
    // Repeat count 1, the Enter key's scan code; the release with its transition bits.
    PostMessageW(thread.hwndFocus, WM_KEYDOWN, VK_RETURN, 0x001c0001);
    PostMessageW(thread.hwndFocus, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xc01c0001u));
    int status = WaitForRun(p_Main, 300).empty() ? 1 : 0;
    PrintState(p_Main);
    return status;
}

int Busy(HWND p_Main, DWORD p_Seconds) {
    DWORD processId = 0;
    GetWindowThreadProcessId(p_Main, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(p_Main, nullptr), &thread);
    if (!process || !thread.hwndFocus) {
        std::printf("cannot reach the program\n");
        return 1;
    }
    auto enter = [&] {
        PostMessageW(thread.hwndFocus, WM_KEYDOWN, VK_RETURN, 0x001c0001);
        PostMessageW(thread.hwndFocus, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xc01c0001u));
    };
    enter();
    // Every 200 ms a sent message must be answered within a second, for the whole run; once a
    // registry export has started (its command is being waited for), Enter again and a close.
    bool answered = true;
    bool acted = false;
    bool shown = false;
    std::wstring during;
    HWND status = Control(p_Main, ZP_ID_STATUS);
    DWORD end = GetTickCount() + p_Seconds * 1000;
    while (GetTickCount() < end && WaitForSingleObject(process, 200) == WAIT_TIMEOUT) {
        DWORD_PTR result = 0;
        wchar_t text[4096] = {};
        if (!IsWindow(p_Main) || !IsWindowVisible(p_Main)) {
            continue;
        }
        bool ok = SendMessageTimeoutW(p_Main, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result) &&
                  SendMessageTimeoutW(status, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text),
                                      SMTO_NORMAL, 1000, &result);
        // A window that went away at the run's end meanwhile answers nothing, rightly.
        answered = answered && (ok || !IsWindow(p_Main) || !IsWindowVisible(p_Main));
        if (!acted && std::wstring(text).find(L"Registry entries for") != std::wstring::npos) {
            acted = true;
            during = text;
            Sleep(500);
            enter();
            PostMessageW(p_Main, WM_SYSCOMMAND, SC_CLOSE, 0);
            Sleep(500);
            shown = IsWindowVisible(p_Main) != FALSE;
        }
    }
    std::printf("answered %d\n", answered && acted ? 1 : 0);
    std::printf("during %s\n", Escaped(during).c_str());
    std::printf("shown after close %d\n", shown ? 1 : 0);
    DWORD waited = WaitForSingleObject(process, p_Seconds * 1000);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    std::printf(waited == WAIT_OBJECT_0 ? "exited %lu\n" : "still running\n", code);
    return waited == WAIT_OBJECT_0 ? 0 : 1;
}

// Alt+R as the keyboard delivers it to the focused control (the access key of "Run Tests"),
// then the run's end.
int AccessKey(HWND p_Main) {
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(p_Main, nullptr), &thread);
    HWND target = thread.hwndFocus ? thread.hwndFocus : p_Main;
    // The R key's scan code (0x13) with the context bit (Alt held).
    PostMessageW(target, WM_SYSKEYDOWN, 'R', 0x20130001);
    PostMessageW(target, WM_SYSCHAR, 'r', 0x20130001);
    PostMessageW(target, WM_SYSKEYUP, 'R', static_cast<LPARAM>(0xe0130001u));
    int status = WaitForRun(p_Main, 300).empty() ? 1 : 0;
    PrintState(p_Main);
    return status;
}

BOOL CALLBACK MatchMenu(HWND p_Window, LPARAM p_Found) {
    if (ClassName(p_Window) == L"#32768" && IsWindowVisible(p_Window)) {
        *reinterpret_cast<HWND*>(p_Found) = p_Window;
        return FALSE;
    }
    return TRUE;
}

// Alt+Space as the window procedure receives it, then C for "Close" in the open menu.
bool CloseThroughSystemMenu(HWND p_Main) {
    PostMessageW(p_Main, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    HWND menu = nullptr;
    for (int i = 0; i < 100 && !menu; ++i) {
        Sleep(100);
        EnumThreadWindows(GetWindowThreadProcessId(p_Main, nullptr), MatchMenu,
                          reinterpret_cast<LPARAM>(&menu));
    }
    if (!menu) {
        std::printf("no system menu\n");
        return false;
    }
    PostMessageW(p_Main, WM_CHAR, 'c', 0x002e0001);
    return true;
}

int Close(HWND p_Main, DWORD p_Seconds, const std::string& p_How, const char* p_Log,
          const char* p_Copy) {
    DWORD processId = 0;
    GetWindowThreadProcessId(p_Main, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) {
        std::printf("cannot open the program's process (error %lu)\n", GetLastError());
        return 1;
    }
    DWORD_PTR answer = 0;
    auto send = [&](UINT p_Message, WPARAM p_W, LPARAM p_L) {
        if (!SendMessageTimeoutW(p_Main, p_Message, p_W, p_L, SMTO_NORMAL, 10000, &answer)) {
            std::printf("message %u not answered\n", p_Message);
        }
    };
    auto report = [&](const char* p_When) {
        bool running = WaitForSingleObject(process, 1000) == WAIT_TIMEOUT;
        std::printf("%s: running %d shown %d\n", p_When, running ? 1 : 0,
                    IsWindowVisible(p_Main) ? 1 : 0);
    };
    if (p_How == "post-syscommand") {
        PostMessageW(p_Main, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (p_How == "send-syscommand") {
        send(WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (p_How == "send-close") {
        send(WM_CLOSE, 0, 0);
    } else if (p_How == "post-close") {
        PostMessageW(p_Main, WM_CLOSE, 0, 0);
    } else if (p_How == "sysmenu") {
        CloseThroughSystemMenu(p_Main);
    } else if (p_How == "end-session") {
        send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        std::printf("query answered %lu\n", static_cast<unsigned long>(answer));
        report("after the question");
        send(WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
        report("after a cancelled end");
        send(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        CopyFileA(p_Log, p_Copy, FALSE);
    } else {
        std::printf("unknown way of closing %s\n", p_How.c_str());
        CloseHandle(process);
        return 2;
    }
    DWORD waited = WaitForSingleObject(process, p_Seconds * 1000);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    if (waited != WAIT_OBJECT_0) {
        std::printf("still running\n");
        return 1;
    }
    std::printf("exited %lu\n", code);
    return 0;
}

bool SetString(HKEY p_Root, const char* p_Key, const char* p_Name, const std::string& p_Value,
               REGSAM p_View = 0) {
    HKEY key;
    if (RegCreateKeyExA(p_Root, p_Key, 0, nullptr, 0, KEY_WRITE | p_View, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    LONG set =
        RegSetValueExA(key, p_Name, 0, REG_SZ, reinterpret_cast<const BYTE*>(p_Value.c_str()),
                       static_cast<DWORD>(p_Value.size() + 1));
    RegCloseKey(key);
    return set == ERROR_SUCCESS;
}

int Prepare(const char* p_Viewer) {
    std::string command = std::string("\"") + p_Viewer + "\" \"%1\"";
    // The machine's classes, in both registry views: Wine does not merge the user's classes
    // into HKEY_CLASSES_ROOT.
    bool done = SetString(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", "Decorated", "N");
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        done = SetString(HKEY_LOCAL_MACHINE, "Software\\Classes\\.txt", nullptr, "txtfile", view) &&
               SetString(HKEY_LOCAL_MACHINE, "Software\\Classes\\txtfile\\shell\\open\\command",
                         nullptr, command, view) &&
               done;
    }
    return done ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: zandriver COMMAND [ARGUMENT]\n");
        return 2;
    }
    std::string command = argv[1];
    const char* argument = argc > 2 ? argv[2] : "";
    auto extra = [&](int p_Index) { return argc > p_Index ? argv[p_Index] : ""; };
    if (command == "prepare") {
        return Prepare(argument);
    }
    if (command == "temp") {
        char folder[MAX_PATH] = {};
        char longFolder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        GetLongPathNameA(folder, longFolder, MAX_PATH);
        std::printf("%s\n", longFolder);
        return 0;
    }
    if (command == "windows") {
        EnumWindows(PrintTopLevel, 0);
        return 0;
    }
    HWND main = FindMainWindow();
    if (command == "wait") {
        // Until the first activation has given the window its taskbar button: it hides and
        // shows the window, which can take a while when Wine's desktop has just started.
        DWORD end = GetTickCount() + static_cast<DWORD>(std::atoi(argument)) * 1000;
        auto settled = [](HWND p_Window) {
            return p_Window && (GetWindowLongW(p_Window, GWL_EXSTYLE) & WS_EX_APPWINDOW) &&
                   IsWindowVisible(p_Window);
        };
        while (!settled(main) && GetTickCount() < end) {
            Sleep(100);
            main = FindMainWindow();
        }
        return settled(main) ? 0 : 1;
    }
    if (!main) {
        std::printf("no window \"%s\"\n", ZP_CAPTION);
        return 1;
    }
    int status = 0;
    if (command == "layout") {
        status = Layout(main);
    } else if (command == "run" || command == "run-held") {
        HANDLE held = command == "run-held" ? Hold(argument) : INVALID_HANDLE_VALUE;
        status = Click(Control(main, ZP_ID_RUN_TESTS), 300000) ? 0 : 1;
        if (held != INVALID_HANDLE_VALUE) {
            CloseHandle(held);
        }
        PrintState(main);
    } else if (command == "check") {
        status = Click(Control(main, ZP_ID_RUNTIME_LOGGING), 30000) ? 0 : 1;
        std::printf("check %d\n", CheckState(main));
    } else if (command == "check-refused") {
        status = CheckRefused(main, argument);
    } else if (command == "state") {
        PrintState(main);
    } else if (command == "shot") {
        status = Shot(main, argument);
    } else if (command == "enter") {
        status = Enter(main);
    } else if (command == "busy") {
        status = Busy(main, static_cast<DWORD>(std::atoi(argument)));
    } else if (command == "access-key") {
        status = AccessKey(main);
    } else if (command == "foreground") {
        std::printf("foreground %d iconic %d\n", GetForegroundWindow() == main ? 1 : 0,
                    IsIconic(main) ? 1 : 0);
    } else if (command == "minimize") {
        ShowWindow(main, SW_MINIMIZE);
        SetForegroundWindow(GetDesktopWindow());
    } else if (command == "close") {
        status = Close(main, static_cast<DWORD>(std::atoi(argument)),
                       *extra(3) ? extra(3) : "post-syscommand", extra(4), extra(5));
    } else {
        std::fprintf(stderr, "zandriver: unknown command %s\n", command.c_str());
        status = 2;
    }
    std::fflush(stdout);
    return status;
}
