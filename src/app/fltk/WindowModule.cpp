// The window module's two entry points (the only symbols it exports).
#include "app/fltk/WindowModule.h"

#include "app/fltk/FltkFormView.h"

#include <type_traits>

#define ZANPROBE_WINDOW_EXPORT extern "C" __attribute__((visibility("default")))

ZANPROBE_WINDOW_EXPORT const char* zanprobe7_window_build() {
    return ZANPROBE_WINDOW_BUILD;
}

ZANPROBE_WINDOW_EXPORT FormView* zanprobe7_window_create(const WindowHost* p_Host) {
    if (p_Host == nullptr || !FltkFormView::DisplayAvailable()) {
        return nullptr;
    }
    return new FltkFormView(*p_Host);
}

static_assert(std::is_same_v<decltype(&zanprobe7_window_build), WindowBuildFunction> &&
              std::is_same_v<decltype(&zanprobe7_window_create), WindowCreateFunction>);
