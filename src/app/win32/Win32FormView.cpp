#include "app/win32/Win32FormView.h"

#include "app/FormLayout.h"
#include "app/FormMain.h"
#include "app/win32/Win32Layout.h"
#include "app/win32/resources.h"

#include <vector>

using namespace Win32Layout;

namespace {

const wchar_t kContainerClass[] = L"ZanprobeFrame";
const wchar_t kCaption[] = L"" ZP_CAPTION;
const wchar_t kMessageTitle[] = L"" ZP_MESSAGE_TITLE;
const DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// Posted on activation, so that the first-activation handler runs once the window is shown.
const UINT kActivated = WM_APP + 1;

void RegisterClasses(HINSTANCE p_Instance) {
    WNDCLASSEXW window = {};
    window.cbSize = sizeof window;
    window.lpfnWndProc = DefWindowProcW;
    window.hInstance = p_Instance;
    window.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    window.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    window.lpszClassName = Win32FormView::kWindowClass;
    RegisterClassExW(&window);

    WNDCLASSEXW container = window;
    container.lpszClassName = kContainerClass;
    RegisterClassExW(&container);
}

} // namespace

const wchar_t Win32FormView::kWindowClass[] = L"ZanprobeFormMain";

Win32FormView::Win32FormView(HINSTANCE p_Instance) : m_Instance(p_Instance) {}

Win32FormView::~Win32FormView() {
    Unload();
}

HWND Win32FormView::Window() {
    if (m_Window) {
        return m_Window;
    }
    RegisterClasses(m_Instance);
    // A window of fixed size whose client area has the size of the layout, centred on the
    // desktop's work area; laid out again once its monitor's density is known.
    m_Dpi = SystemDpi();
    SIZE size = FrameSize(m_Dpi, kWindowStyle);
    RECT work = {0, 0, 800, 600};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int left = work.left + ((work.right - work.left) - size.cx) / 2;
    int top = work.top + ((work.bottom - work.top) - size.cy) / 2;

    m_Window = CreateWindowExW(0, kWindowClass, kCaption, kWindowStyle, left, top, size.cx, size.cy,
                               nullptr, nullptr, m_Instance, nullptr);
    if (!m_Window) {
        return nullptr;
    }
    SetWindowLongPtrW(m_Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc));
    CreateControls();
    ApplyDpi(WindowDpi(m_Window), nullptr);
    return m_Window;
}

void Win32FormView::ApplyDpi(int p_Dpi, const RECT* p_Suggested) {
    m_Dpi = p_Dpi;
    HFONT font = CreateFormFont(p_Dpi);
    SendMessageW(m_Window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (const ControlRow& row : m_Rows) {
        HWND control = Control(row.id);
        RECT place = ControlRect(row, p_Dpi);
        MoveWindow(control, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, FALSE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    if (m_Font) {
        DeleteObject(m_Font);
    }
    m_Font = font;
    // The title bar's and the taskbar's icons, at the sizes Windows asks for.
    HICON small = LoadFormIcon(m_Instance, SM_CXSMICON, p_Dpi);
    HICON large = LoadFormIcon(m_Instance, SM_CXICON, p_Dpi);
    SendMessageW(m_Window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    SendMessageW(m_Window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
    DestroyIcons();
    m_SmallIcon = small;
    m_LargeIcon = large;
    if (p_Suggested) {
        SetWindowPos(m_Window, nullptr, p_Suggested->left, p_Suggested->top,
                     p_Suggested->right - p_Suggested->left, p_Suggested->bottom - p_Suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        SIZE size = FrameSize(p_Dpi, kWindowStyle);
        SetWindowPos(m_Window, nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RedrawWindow(m_Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Win32FormView::DestroyIcons() {
    for (HICON* icon : {&m_SmallIcon, &m_LargeIcon}) {
        if (*icon) {
            DestroyIcon(*icon);
            *icon = nullptr;
        }
    }
}

void Win32FormView::CreateControls() {
    m_Rows = LoadControlTable(m_Instance);
    for (const ControlRow* row : CreationOrder(m_Rows)) {
        HWND parent = row->container == 0 ? m_Window : Control(row->container);
        const wchar_t* windowClass = L"STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        DWORD exStyle = 0;
        switch (row->kind) {
        case ZP_KIND_CONTAINER:
            windowClass = kContainerClass;
            exStyle = WS_EX_CONTROLPARENT;
            break;
        case ZP_KIND_RULE:
            // An etched frame wider than its container: the container clips its ends, so only
            // its top and bottom edges show, as a rule.
            style |= SS_ETCHEDFRAME;
            break;
        case ZP_KIND_BUTTON:
            windowClass = L"BUTTON";
            style |= WS_TABSTOP | BS_PUSHBUTTON;
            break;
        case ZP_KIND_CHECKBOX:
            windowClass = L"BUTTON";
            style |= WS_TABSTOP | BS_AUTOCHECKBOX;
            break;
        default:
            // Paths can hold "&": labels show their text as it is.
            style |= SS_LEFT | SS_NOPREFIX;
            break;
        }
        RECT place = ControlRect(*row, m_Dpi);
        HWND control = CreateWindowExW(
            exStyle, windowClass, LoadText(m_Instance, row->id).c_str(), style, place.left,
            place.top, place.right - place.left, place.bottom - place.top, parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(row->id)), m_Instance, nullptr);
        if (row->kind == ZP_KIND_CONTAINER) {
            SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ContainerProc));
        }
    }
}

HWND Win32FormView::Control(int p_Id) const {
    if (!m_Window) {
        return nullptr;
    }
    HWND found = GetDlgItem(m_Window, p_Id);
    for (HWND child = GetWindow(m_Window, GW_CHILD); !found && child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        found = GetDlgItem(child, p_Id);
    }
    return found;
}

void Win32FormView::ShowModal(FormMain& p_Form) {
    m_Form = &p_Form;
    HWND window = Window();
    if (!window) {
        return;
    }
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(Control(ZP_ID_RUN_TESTS));
    // The loop looks at the window after each posted message it receives. Messages sent from
    // other threads or processes (a close request from an automation tool, the session's end)
    // are handled inside GetMessageW, which does not return for them: the window procedure
    // posts a message to the thread whenever the window is hidden or destroyed.
    MSG message;
    while (IsWindow(window) && IsWindowVisible(window)) {
        BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // WM_QUIT belongs to whoever runs the outer loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1) {
            break;
        }
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void Win32FormView::Hide() {
    if (m_Window) {
        ShowWindow(m_Window, SW_HIDE);
    }
}

void Win32FormView::Unload() {
    if (m_Window) {
        HWND window = m_Window;
        m_Window = nullptr;
        DestroyWindow(window);
    }
    if (m_Font) {
        DeleteObject(m_Font);
        m_Font = nullptr;
    }
    DestroyIcons();
    m_Form = nullptr;
}

void Win32FormView::SetStatusText(const Text& p_Text) {
    if (Window()) {
        SetWindowTextW(Control(ZP_ID_STATUS), p_Text.c_str());
    }
}

void Win32FormView::Repaint() {
    // The run keeps the thread busy: paint now, without waiting for the message loop.
    if (m_Window) {
        RedrawWindow(m_Window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
}

void Win32FormView::PumpMessages() {
    // As the modal loop does, without waiting: the run goes on once the queue is empty.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // It belongs to whoever runs the outer loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (!m_Window || !IsDialogMessageW(m_Window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void Win32FormView::SetRuntimeLoggingCheck(int p_Value) {
    if (Window()) {
        SendMessageW(Control(ZP_ID_RUNTIME_LOGGING), BM_SETCHECK,
                     p_Value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void Win32FormView::SetBusyPointer(bool p_Busy) {
    m_Busy = p_Busy;
    SetCursor(LoadCursorW(nullptr, p_Busy ? MAKEINTRESOURCEW(32514)    // IDC_WAIT
                                          : MAKEINTRESOURCEW(32512))); // IDC_ARROW
}

void Win32FormView::ShowMessage(const Text& p_Message) {
    HWND owner = m_Window && IsWindowVisible(m_Window) ? m_Window : nullptr;
    MessageBoxW(owner, p_Message.c_str(), kMessageTitle, MB_OK);
}

void Win32FormView::ShowInTaskbar() {
    if (!m_Window) {
        return;
    }
    LONG style = GetWindowLongA(m_Window, GWL_EXSTYLE);
    SetWindowLongA(m_Window, GWL_EXSTYLE, style | WS_EX_APPWINDOW);
    ShowWindow(m_Window, SW_HIDE);
    ShowWindow(m_Window, SW_SHOW);
}

void Win32FormView::OnCommand(int p_Id, int p_Code) {
    if (!m_Form || p_Code != BN_CLICKED) {
        return;
    }
    if (p_Id == ZP_ID_RUN_TESTS) {
        m_Form->CommandRun57Tests_Click();
    } else if (p_Id == ZP_ID_RUNTIME_LOGGING) {
        LRESULT state = SendMessageW(Control(ZP_ID_RUNTIME_LOGGING), BM_GETCHECK, 0, 0);
        m_Form->CheckboxChanged(state == BST_CHECKED ? 1 : 0);
    }
}

void Win32FormView::PressFocusedButton() {
    HWND focus = GetFocus();
    if (focus && IsChild(m_Window, focus) &&
        (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
        OnCommand(GetDlgCtrlID(focus), BN_CLICKED);
    }
}

LRESULT Win32FormView::HandleMessage(UINT p_Message, WPARAM p_W, LPARAM p_L) {
    switch (p_Message) {
    case WM_COMMAND:
        if (LOWORD(p_W) == IDOK) {
            // Enter: in a window that is not a dialog, IsDialogMessageW reports it as IDOK (no
            // control has that id). It presses the focused push button; on the checkbox it does
            // nothing.
            PressFocusedButton();
        } else {
            OnCommand(LOWORD(p_W), HIWORD(p_W));
        }
        return 0;
    case WM_WINDOWPOSCHANGED:
        if (reinterpret_cast<const WINDOWPOS*>(p_L)->flags & SWP_HIDEWINDOW) {
            WakeModalLoop();
        }
        break;
    case WM_SETCURSOR:
        if (m_Busy) {
            SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));
            return TRUE;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(p_W) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(m_Window, focus)) {
                m_LastFocus = focus;
            }
        } else {
            SetFocus(m_LastFocus ? m_LastFocus : Control(ZP_ID_RUN_TESTS));
            PostMessageW(m_Window, kActivated, 0, 0);
        }
        return 0;
    case kActivated:
        if (m_Form) {
            m_Form->Form_Activate();
        }
        return 0;
    case WM_CLOSE: {
        // The close box, the system menu and Alt+F4.
        bool cancel = false;
        if (m_Form) {
            m_Form->Form_QueryUnload(cancel, 0);
        }
        if (!cancel) {
            DestroyWindow(m_Window);
        }
        return 0;
    }
    case WM_QUERYENDSESSION: {
        // Windows asks whether the session may end: an unload that the user did not ask for.
        bool cancel = false;
        if (m_Form) {
            m_Form->Form_QueryUnload(cancel, FormMain::kUnloadFromWindows);
        }
        return cancel ? FALSE : TRUE;
    }
    case WM_ENDSESSION:
        // The process may be ended as soon as this returns, without the loop running again.
        if (p_W && m_Form) {
            m_Form->EndSession();
        }
        return 0;
    case WM_DPICHANGED:
        // Moved to a monitor of another density (per-monitor aware): laid out again there.
        ApplyDpi(HIWORD(p_W), reinterpret_cast<const RECT*>(p_L));
        return 0;
    case WM_DESTROY:
        m_Window = nullptr;
        WakeModalLoop();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_Window, p_Message, p_W, p_L);
}

void Win32FormView::WakeModalLoop() {
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

LRESULT CALLBACK Win32FormView::WindowProc(HWND p_Window, UINT p_Message, WPARAM p_W, LPARAM p_L) {
    auto* view = reinterpret_cast<Win32FormView*>(GetWindowLongPtrW(p_Window, GWLP_USERDATA));
    if (!view || view->m_Window != p_Window) {
        return DefWindowProcW(p_Window, p_Message, p_W, p_L);
    }
    return view->HandleMessage(p_Message, p_W, p_L);
}

LRESULT CALLBACK Win32FormView::ContainerProc(HWND p_Window, UINT p_Message, WPARAM p_W,
                                              LPARAM p_L) {
    // A frame only holds its controls: their notifications belong to the window.
    if (p_Message == WM_COMMAND) {
        return SendMessageW(GetAncestor(p_Window, GA_ROOT), p_Message, p_W, p_L);
    }
    return DefWindowProcW(p_Window, p_Message, p_W, p_L);
}
