// The main window on Windows: a top-level window of standard controls (push button, automatic
// checkbox, static labels, etched frames) laid out from the control table in the program's
// resources, so that screen readers and UI automation see ordinary controls.
#pragma once

#include "app/FormView.h"
#include "winapi/winapi.h"

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

private:
    static LRESULT CALLBACK WindowProc(HWND p_Window, UINT p_Message, WPARAM p_W, LPARAM p_L);
    static LRESULT CALLBACK ContainerProc(HWND p_Window, UINT p_Message, WPARAM p_W, LPARAM p_L);
    LRESULT HandleMessage(UINT p_Message, WPARAM p_W, LPARAM p_L);

    // Creates the window and its controls, hidden, on first use (as loading a form does).
    HWND Window();
    void CreateControls();
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
    int m_DpiX = 96;
    int m_DpiY = 96;
    bool m_Busy = false;
};
