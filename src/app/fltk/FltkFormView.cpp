#include "app/fltk/FltkFormView.h"

#include "app/FormLayout.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Window.H>
#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>

namespace {

// Twips at the usual logical resolution of a desktop (X servers often report none or a wrong
// physical size): 15 twips a pixel.
const int kDotsPerInch = 96;
const int kFontPixels = (ZP_FONT_CENTIPOINTS * kDotsPerInch + 3600) / 7200;

int ToPixels(int p_Twips) {
    // Rounded half away from zero, as the Windows window converts.
    int scaled = p_Twips * kDotsPerInch;
    return scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440);
}

struct Row {
    int id, kind, container, left, top, width, height, tabIndex;
};

const Row kRows[] = {{ZP_ROW_FRAME_DIAGNOSTIC_TESTS},
                     {ZP_ROW_FRAME1},
                     {ZP_ROW_RUN_TESTS},
                     {ZP_ROW_LABEL3},
                     {ZP_ROW_LABEL2},
                     {ZP_ROW_STATUS},
                     {ZP_ROW_FRAME2},
                     {ZP_ROW_RUNTIME_LOGGING},
                     {ZP_ROW_FRAME3},
                     {ZP_ROW_LABEL5},
                     {ZP_ROW_LABEL4}};

const char* TextOf(int p_Id) {
    switch (p_Id) {
    case ZP_ID_RUN_TESTS:
        return ZP_TEXT_RUN_TESTS;
    case ZP_ID_LABEL2:
        return ZP_TEXT_LABEL2;
    case ZP_ID_LABEL3:
        return ZP_TEXT_LABEL3;
    case ZP_ID_RUNTIME_LOGGING:
        return ZP_TEXT_RUNTIME_LOGGING;
    case ZP_ID_LABEL5:
        return ZP_TEXT_LABEL5;
    case ZP_ID_LABEL4:
        return ZP_TEXT_LABEL4;
    default:
        return nullptr;
    }
}

// A label's text (UTF-8) as FLTK shows it literally: line breaks as LF alone, "@" (which would
// start a symbol) doubled.
std::string LabelText(const std::string& p_Text) {
    std::string out;
    for (char c : p_Text) {
        if (c == '\r') {
            continue;
        }
        if (c == '@') {
            out += '@';
        }
        out += c;
    }
    return out;
}

// Tahoma where it is installed, else Liberation Sans (narrower than the usual default, so that
// the texts wrap about as they do in Tahoma), else FLTK's sans-serif font.
Fl_Font WindowFont() {
    static Fl_Font font = [] {
        Fl_Font found = FL_HELVETICA;
        int count = Fl::set_fonts(nullptr);
        for (int i = FL_FREE_FONT; i < count; ++i) {
            int attributes = 0;
            const char* name = Fl::get_font_name(static_cast<Fl_Font>(i), &attributes);
            if (!name || attributes != 0) {
                continue;
            }
            if (std::strcmp(name, ZP_FONT_FACE) == 0) {
                return static_cast<Fl_Font>(i);
            }
            if (std::strcmp(name, "Liberation Sans") == 0) {
                found = static_cast<Fl_Font>(i);
            }
        }
        return found;
    }();
    return font;
}

void Style(Fl_Widget* p_Widget) {
    p_Widget->labelfont(WindowFont());
    p_Widget->labelsize(kFontPixels);
}

// A message box with the text and only an OK button, no icon; modal.
void MessageBox(const std::string& p_Text) {
    const int width = 360;
    const int height = 110;
    Fl_Window box(width, height, ZP_MESSAGE_TITLE);
    Fl_Box text(12, 12, width - 24, height - 58);
    text.label(p_Text.c_str());
    text.align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
    Style(&text);
    Fl_Button ok(width - 87, height - 37, 75, 25, "OK");
    Style(&ok);
    ok.callback([](Fl_Widget* p_Ok, void*) { p_Ok->window()->hide(); });
    box.end();
    box.set_modal();
    box.show();
    ok.take_focus();
    while (box.shown()) {
        Fl::wait();
    }
}

} // namespace

FltkFormView::FltkFormView(const WindowHost& p_Host) : m_Host(p_Host) {}

FltkFormView::~FltkFormView() {
    Unload();
}

bool FltkFormView::DisplayAvailable() {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) {
        return false;
    }
    Display* display = XOpenDisplay(name);
    if (!display) {
        return false;
    }
    XCloseDisplay(display);
    return true;
}

Fl_Window* FltkFormView::Window() {
    if (m_Window) {
        return m_Window.get();
    }
    // The colour of dialog faces on Windows.
    Fl::background(0xf0, 0xf0, 0xf0);
    m_Window = std::make_unique<Fl_Window>(ToPixels(ZP_CLIENT_WIDTH), ToPixels(ZP_CLIENT_HEIGHT),
                                           ZP_CAPTION);
    m_Window->xclass("Zanprobe7");
    m_Window->callback(OnClose, this);

    // Groups in tab order (the later one drawn over the earlier), their widgets in tab order.
    // FLTK places children in window coordinates: a child's position adds its container's.
    for (int tab = 0; tab <= ZP_CONTROL_COUNT * 2; ++tab) {
        for (const Row& row : kRows) {
            if (row.tabIndex != tab || row.kind != ZP_KIND_CONTAINER) {
                continue;
            }
            int x = ToPixels(row.left);
            int y = ToPixels(row.top);
            auto* group = new Fl_Group(x, y, ToPixels(row.left + row.width) - x,
                                       ToPixels(row.top + row.height) - y);
            // Rules wider than the group must be cut at its edges.
            group->clip_children(1);
            for (int childTab = 0; childTab <= ZP_CONTROL_COUNT * 2; ++childTab) {
                for (const Row& child : kRows) {
                    if (child.tabIndex != childTab || child.container != row.id) {
                        continue;
                    }
                    int cx = x + ToPixels(child.left);
                    int cy = y + ToPixels(child.top);
                    int cw = x + ToPixels(child.left + child.width) - cx;
                    int ch = y + ToPixels(child.top + child.height) - cy;
                    Fl_Widget* widget = nullptr;
                    switch (child.kind) {
                    case ZP_KIND_RULE:
                        widget = new Fl_Box(FL_ENGRAVED_FRAME, cx, cy, cw, ch, nullptr);
                        break;
                    case ZP_KIND_BUTTON:
                        m_RunTests = new Fl_Button(cx, cy, cw, ch, TextOf(child.id));
                        m_RunTests->callback(OnRunTests, this);
                        widget = m_RunTests;
                        break;
                    case ZP_KIND_CHECKBOX:
                        m_RuntimeLogging = new Fl_Check_Button(cx, cy, cw, ch, TextOf(child.id));
                        m_RuntimeLogging->callback(OnRuntimeLogging, this);
                        widget = m_RuntimeLogging;
                        break;
                    default: {
                        auto* label = new Fl_Box(cx, cy, cw, ch, TextOf(child.id));
                        label->align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE |
                                     FL_ALIGN_WRAP);
                        if (child.id == ZP_ID_STATUS) {
                            m_Status = label;
                        }
                        widget = label;
                        break;
                    }
                    }
                    Style(widget);
                }
            }
            group->end();
        }
    }
    m_Window->end();
    m_Window->set_modal();
    return m_Window.get();
}

void FltkFormView::ShowModal(FormMain& p_Form) {
    m_Form = &p_Form;
    Fl_Window* window = Window();
    window->show();
    m_RunTests->take_focus();
    Fl::flush();
    // FLTK reports no activation: the window is active once shown.
    m_Host.formActivate(p_Form);
    while (m_Window && m_Window->shown()) {
        Fl::wait();
    }
}

void FltkFormView::Hide() {
    if (m_Window) {
        m_Window->hide();
    }
}

void FltkFormView::Unload() {
    m_Window.reset();
    m_Status = nullptr;
    m_RunTests = nullptr;
    m_RuntimeLogging = nullptr;
    m_Form = nullptr;
}

void FltkFormView::SetStatusText(const Text& p_Text) {
    Window();
    m_StatusText = LabelText(m_Host.toUtf8(p_Text));
    m_Status->label(m_StatusText.c_str());
    m_Window->redraw();
}

void FltkFormView::Repaint() {
    // The run keeps the program busy: draw now, without waiting for the event loop.
    if (m_Window && m_Window->shown()) {
        m_Window->redraw();
        Fl::flush();
    }
}

void FltkFormView::SetRuntimeLoggingCheck(int p_Value) {
    Window();
    m_RuntimeLogging->value(p_Value == 1 ? 1 : 0);
}

void FltkFormView::SetBusyPointer(bool p_Busy) {
    if (m_Window && m_Window->shown()) {
        m_Window->cursor(p_Busy ? FL_CURSOR_WAIT : FL_CURSOR_DEFAULT);
        Fl::flush();
    }
}

void FltkFormView::ShowMessage(const Text& p_Message) {
    MessageBox(LabelText(m_Host.toUtf8(p_Message)));
}

void FltkFormView::ShowInTaskbar() {
    // An X window without a parent and without the skip-taskbar hint has its own taskbar entry
    // already; its class name groups it there.
}

void FltkFormView::OnClose(Fl_Widget*, void* p_View) {
    auto* view = static_cast<FltkFormView*>(p_View);
    // FLTK closes a window on Escape too; only the close box and the window menu close it.
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) {
        return;
    }
    bool cancel = false;
    if (view->m_Form) {
        view->m_Host.formQueryUnload(*view->m_Form, cancel, 0);
    }
    if (!cancel) {
        // Destroyed by the unload that follows the modal display, not inside its own callback.
        view->Hide();
    }
}

void FltkFormView::OnRunTests(Fl_Widget*, void* p_View) {
    auto* view = static_cast<FltkFormView*>(p_View);
    if (view->m_Form) {
        view->m_Host.runTestsClick(*view->m_Form);
    }
}

void FltkFormView::OnRuntimeLogging(Fl_Widget* p_Widget, void* p_View) {
    auto* view = static_cast<FltkFormView*>(p_View);
    if (view->m_Form) {
        view->m_Host.checkboxChanged(*view->m_Form,
                                     static_cast<Fl_Check_Button*>(p_Widget)->value() ? 1 : 0);
    }
}
