#include "app/win32/Win32Layout.h"

#include "app/FormLayout.h"
#include "app/win32/resources.h"

namespace Win32Layout {

namespace {

const int kTwipsPerInch = 1440;
const wchar_t kFontFace[] = L"" ZP_FONT_FACE;

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

} // namespace

std::vector<ControlRow> LoadControlTable(HINSTANCE p_Instance) {
    std::vector<ControlRow> rows;
    HRSRC found = FindResourceW(p_Instance, MAKEINTRESOURCEW(ZP_IDR_LAYOUT),
                                MAKEINTRESOURCEW(10)); // RT_RCDATA
    HGLOBAL loaded = found ? LoadResource(p_Instance, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data) {
        const auto* first = static_cast<const ControlRow*>(data);
        rows.assign(first, first + SizeofResource(p_Instance, found) / sizeof(ControlRow));
    }
    return rows;
}

Text LoadText(HINSTANCE p_Instance, int p_Id) {
    wchar_t buffer[1024] = {};
    int length = LoadStringW(p_Instance, static_cast<UINT>(p_Id), buffer, 1024);
    return Text(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

int ToPixels(int p_Twips, int p_Dpi) {
    return MulDiv(p_Twips, p_Dpi, kTwipsPerInch);
}

RECT ControlRect(const ControlRow& p_Row, int p_Dpi) {
    return RECT{ToPixels(p_Row.left, p_Dpi), ToPixels(p_Row.top, p_Dpi),
                ToPixels(p_Row.left + p_Row.width, p_Dpi),
                ToPixels(p_Row.top + p_Row.height, p_Dpi)};
}

SIZE FrameSize(int p_Dpi, DWORD p_Style) {
    RECT frame = {0, 0, ToPixels(ZP_CLIENT_WIDTH, p_Dpi), ToPixels(ZP_CLIENT_HEIGHT, p_Dpi)};
    AdjustWindowRectEx(&frame, p_Style, FALSE, 0);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) {
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : 96;
}

int WindowDpi(HWND p_Window) {
    // Looked up, so that Windows versions before 10 1607 start the program too.
    HMODULE user32 = GetModuleHandleW(L"user32");
    auto forWindow = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(user32 ? GetProcAddress(user32, "GetDpiForWindow") : nullptr));
    UINT dpi = forWindow && p_Window ? forWindow(p_Window) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}

HFONT CreateFormFont(int p_Dpi) {
    LOGFONTW font = {};
    font.lfHeight = -MulDiv(ZP_FONT_CENTIPOINTS, p_Dpi, 72 * 100);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(font.lfFaceName, kFontFace, LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

HICON LoadFormIcon(HINSTANCE p_Instance, int p_Metric, int p_Dpi) {
    // GetSystemMetrics answers at the system's density; the icon follows the window's.
    int size = MulDiv(GetSystemMetrics(p_Metric), p_Dpi, SystemDpi());
    return static_cast<HICON>(
        LoadImageW(p_Instance, MAKEINTRESOURCEW(ZP_IDI_ICON), IMAGE_ICON, size, size, 0));
}

std::vector<const ControlRow*> CreationOrder(const std::vector<ControlRow>& p_Rows) {
    std::vector<const ControlRow*> order;
    for (int pass = 0; pass < 2; ++pass) {
        for (int tab = 0; tab <= ZP_CONTROL_COUNT * 2; ++tab) {
            int wanted = pass == 0 ? ZP_CONTROL_COUNT * 2 - tab : tab;
            for (const ControlRow& row : p_Rows) {
                bool container = row.kind == ZP_KIND_CONTAINER;
                if (row.tabIndex == wanted && container == (pass == 0)) {
                    order.push_back(&row);
                }
            }
        }
    }
    return order;
}

} // namespace Win32Layout
