// The main window on Linux with a display: FLTK 1.3 widgets laid out from the same table as the
// Windows window (twips at 96 dots per inch), doing what the Windows window does.
#pragma once

#include "app/FormView.h"
#include "app/fltk/WindowModule.h"

#include <memory>
#include <string>

class Fl_Window;
class Fl_Box;
class Fl_Button;
class Fl_Check_Button;
class Fl_Widget;

class FltkFormView : public FormView {
public:
    explicit FltkFormView(const WindowHost& p_Host);
    ~FltkFormView() override;
    FltkFormView(const FltkFormView&) = delete;
    FltkFormView& operator=(const FltkFormView&) = delete;

    // Whether an X display can be opened (FLTK itself ends the program when it cannot).
    static bool DisplayAvailable();

    void ShowModal(FormMain& p_Form) override;
    void Hide() override;
    void Unload() override;
    void SetStatusText(const Text& p_Text) override;
    void Repaint() override;
    void SetRuntimeLoggingCheck(int p_Value) override;
    void SetBusyPointer(bool p_Busy) override;
    void ShowMessage(const Text& p_Message) override;
    void ShowInTaskbar() override;

private:
    // Creates the window and its widgets, hidden, on first use (as loading a form does).
    Fl_Window* Window();
    static void OnClose(Fl_Widget* p_Widget, void* p_View);
    static void OnRunTests(Fl_Widget* p_Widget, void* p_View);
    static void OnRuntimeLogging(Fl_Widget* p_Widget, void* p_View);

    const WindowHost& m_Host;
    FormMain* m_Form = nullptr;
    std::unique_ptr<Fl_Window> m_Window;
    Fl_Box* m_Status = nullptr;
    Fl_Button* m_RunTests = nullptr;
    Fl_Check_Button* m_RuntimeLogging = nullptr;
    // FLTK keeps the pointer to a label's text: the status label's text lives here.
    std::string m_StatusText;
};
