// The window module of the Linux program: the FLTK window in a shared module of its own, which
// the program loads only when it opens a window, so that a run in the terminal maps neither FLTK
// nor the X libraries. The program and the module meet only in the two C functions below; the
// module reaches the program only through the table it is given (it needs none of its symbols).
#pragma once

#include "app/FormView.h"
#include "platform/unicode.h"
#include "version.h"

#include <string>

class FormMain;

// The build a module belongs to: the version and a digest of the files that make up this
// interface (computed by the build as ZANPROBE_WINDOW_INTERFACE). The program refuses a module
// whose build differs from its own.
#define ZANPROBE_WINDOW_BUILD ZANPROBE_VERSION_TEXT "/" ZANPROBE_WINDOW_INTERFACE

// What the window needs of the program: the form's handlers it raises and the text conversion.
struct WindowHost {
    void (*formActivate)(FormMain& p_Form);
    void (*formQueryUnload)(FormMain& p_Form, bool& p_Cancel, int p_UnloadMode);
    void (*runTestsClick)(FormMain& p_Form);
    void (*checkboxChanged)(FormMain& p_Form, int p_Value);
    std::string (*toUtf8)(const Text& p_Text);
};

#define ZANPROBE_WINDOW_BUILD_FUNCTION "zanprobe7_window_build"
#define ZANPROBE_WINDOW_CREATE_FUNCTION "zanprobe7_window_create"

extern "C" {
// The module's ZANPROBE_WINDOW_BUILD.
using WindowBuildFunction = const char* (*)();
// A new window view on the X display named by DISPLAY, owned by the caller; null when no display
// can be opened. The host table must outlive the view.
using WindowCreateFunction = FormView* (*)(const WindowHost* p_Host);
}
