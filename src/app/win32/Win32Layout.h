// The main window's geometry on Windows: the control table in the program's resources, twips
// converted at the window's dots per inch, the font and the icons for that density.
#pragma once

#include "platform/unicode.h"
#include "winapi/winapi.h"

#include <vector>

namespace Win32Layout {

// One row of the control table (see FormLayout.h).
struct ControlRow {
    short id, kind, container, left, top, width, height, tabIndex;
};

std::vector<ControlRow> LoadControlTable(HINSTANCE p_Instance);
Text LoadText(HINSTANCE p_Instance, int p_Id);

// The rows in the order their windows are created. Siblings created one after the other follow
// each other for the Tab key, and each lies under the ones created before it. The containers
// come first, the later one on top (the first group's bottom edge overlaps the top of the
// second, whose title must not be cut); then the controls of each container in tab order.
std::vector<const ControlRow*> CreationOrder(const std::vector<ControlRow>& p_Rows);

// A twips position converted at the given dots per inch.
int ToPixels(int p_Twips, int p_Dpi);
// A row's rectangle in its container at the given dots per inch; widths are the difference of
// the converted edges, so that neighbouring controls stay flush.
RECT ControlRect(const ControlRow& p_Row, int p_Dpi);

// The window's outer size for a client area of the layout's size at the given density.
SIZE FrameSize(int p_Dpi, DWORD p_Style);

// The dots per inch of the screen for programs that are not per-monitor aware (the system's).
int SystemDpi();
// The dots per inch the window is shown at: its monitor's where Windows tells (Windows 10 1607
// and later, per-monitor aware), else the system's.
int WindowDpi(HWND p_Window);

// The window's font at the given dots per inch.
HFONT CreateFormFont(int p_Dpi);
// The program's icon at the size Windows asks for (SM_CXSMICON or SM_CXICON), scaled to the
// given dots per inch; the caller destroys it.
HICON LoadFormIcon(HINSTANCE p_Instance, int p_Metric, int p_Dpi);

} // namespace Win32Layout
