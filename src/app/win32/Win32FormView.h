// The main window on Windows: a top-level window of standard controls (push button, automatic
// checkbox, static labels, etched frames) laid out from the control table in the program's
// resources, so that screen readers and UI automation see ordinary controls.
#pragma once

#include "app/FormView.h"
#include "app/win32/Win32Layout.h"
#include "winapi/winapi.h"

#include <vector>

class Win32FormView : public FormView {
public:
    explicit Win32FormView(HINSTANCE p_Instance);
    ~Win32FormView() override;
    Win32FormView(const Win32FormView&) = delete;
    Win32FormView& operator=(const Win32FormView&) = delete;

    void ShowModal(FormMain& p_Form) override;
    void Hide() override;
    void Unload() override;
    void SetStatusText(const Text& p_Text) override;
    void Repaint() override;
    void PumpMessages() override;
    void SetRuntimeLoggingCheck(int p_Value) override;
    void SetBusyPointer(bool p_Busy) override;
    void ShowMessage(const Text& p_Message) override;
    void ShowInTaskbar() override;

    // The window's class name, which no other program's window has.
    static const wchar_t kWindowClass[];

private:
    static LRESULT CALLBACK WindowProc(HWND p_Window, UINT p_Message, WPARAM p_W, LPARAM p_L);
    static LRESULT CALLBACK ContainerProc(HWND p_Window, UINT p_Message, WPARAM p_W, LPARAM p_L);
    LRESULT HandleMessage(UINT p_Message, WPARAM p_W, LPARAM p_L);

    // Creates the window and its controls, hidden, on first use (as loading a form does).
    HWND Window();
    void CreateControls();
    // Lays the window out at a density: font, controls, icons and size (p_Suggested: the
    // window's new rectangle as Windows proposes it).
    void ApplyDpi(int p_Dpi, const RECT* p_Suggested);
    void DestroyIcons();
    HWND Control(int p_Id) const;
    void OnCommand(int p_Id, int p_Code);
    // Enter: the focused push button is clicked.
    void PressFocusedButton();
    // Makes the modal loop's GetMessageW return, so that it looks at the window again.
    static void WakeModalLoop();

    HINSTANCE m_Instance;
    FormMain* m_Form = nullptr;
    HWND m_Window = nullptr;
    HFONT m_Font = nullptr;
    HWND m_LastFocus = nullptr;
    std::vector<Win32Layout::ControlRow> m_Rows;
    HICON m_SmallIcon = nullptr;
    HICON m_LargeIcon = nullptr;
    int m_Dpi = 96;
    bool m_Busy = false;
};
