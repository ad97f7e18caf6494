// What FormMain needs of a window toolkit. A view only draws and forwards events: the state and
// the handlers live in FormMain, written once for every toolkit.
#pragma once

#include "platform/unicode.h"

#include <memory>

class FormMain;

class FormView {
public:
    virtual ~FormView() = default;

    // Shows the window modally; returns when it is hidden or unloaded.
    virtual void ShowModal(FormMain& p_Form) = 0;
    // Hides the window (ending the modal display).
    virtual void Hide() = 0;
    // Destroys the window.
    virtual void Unload() = 0;

    // The status label's caption and an immediate repaint of the window.
    virtual void SetStatusText(const Text& p_Text) = 0;
    virtual void Repaint() = 0;
    // Handles the messages that have arrived for the window while the run waits for a command,
    // so that it paints and answers; nothing where the toolkit needs no help.
    virtual void PumpMessages() {}
    // The runtime-logging checkbox, 1 checked and 0 unchecked. Setting it raises no event.
    virtual void SetRuntimeLoggingCheck(int p_Value) = 0;
    // The hourglass pointer during a run.
    virtual void SetBusyPointer(bool p_Busy) = 0;
    // A message box with only an OK button and no icon.
    virtual void ShowMessage(const Text& p_Message) = 0;
    // Gives the window its own taskbar button (the application-window style, hidden and shown
    // again so that it takes effect).
    virtual void ShowInTaskbar() = 0;
};

// The view of this build: a window where a display can be opened, else the terminal.
std::unique_ptr<FormView> CreateFormView();
// Brings the window of another running instance of the program to the front, where this build
// can see one.
void BringOtherInstanceToFront();
