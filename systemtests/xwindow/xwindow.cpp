// Drives and photographs a top-level X window, found by its title, for the system tests under
// Xvfb:
//   xwindow wait TITLE SECONDS     waits until the window is mapped; exit 1 when it never is
//   xwindow gone TITLE SECONDS     waits until no such window is mapped
//   xwindow shot TITLE FILE.png    writes what the screen shows of the window as a PNG
//   xwindow click TITLE X Y        a left click at X, Y of the window (pixels)
//   xwindow close TITLE            asks the window to close, as its close box does
//   xwindow geometry TITLE         prints "WIDTH HEIGHT" of the window
#include "PngFile.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

bool IsMapped(Display* p_Display, Window p_Window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(p_Display, p_Window, &attributes) &&
           attributes.map_state == IsViewable;
}

// The mapped window titled p_Title, searched from p_Root down (window managers and toolkits
// may wrap a top-level window in frames).
Window Find(Display* p_Display, Window p_Root, const std::string& p_Title) {
    char* name = nullptr;
    if (XFetchName(p_Display, p_Root, &name) && name) {
        bool match = p_Title == name;
        XFree(name);
        if (match && IsMapped(p_Display, p_Root)) {
            return p_Root;
        }
    }
    Window root, parent;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(p_Display, p_Root, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i) {
            found = Find(p_Display, children[i], p_Title);
        }
        if (children) {
            XFree(children);
        }
    }
    return found;
}

Window WaitFor(Display* p_Display, const std::string& p_Title, double p_Seconds, bool p_Gone) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(p_Seconds);
    for (;;) {
        Window window = Find(p_Display, DefaultRootWindow(p_Display), p_Title);
        if ((window != 0) != p_Gone || std::chrono::steady_clock::now() > end) {
            return window;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

int Shot(Display* p_Display, Window p_Window, const char* p_Path) {
    XWindowAttributes attributes;
    XGetWindowAttributes(p_Display, p_Window, &attributes);
    Window root = DefaultRootWindow(p_Display);
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(p_Display, p_Window, root, 0, 0, &x, &y, &child);
    XImage* image = XGetImage(p_Display, root, x, y, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) {
        std::fprintf(stderr, "xwindow: cannot read the screen\n");
        return 1;
    }
    std::string rgb;
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            unsigned long pixel = XGetPixel(image, x, y);
            rgb += static_cast<char>((pixel & image->red_mask) >> 16);
            rgb += static_cast<char>((pixel & image->green_mask) >> 8);
            rgb += static_cast<char>(pixel & image->blue_mask);
        }
    }
    bool written = WritePng(p_Path, image->width, image->height, rgb);
    XDestroyImage(image);
    return written ? 0 : 1;
}

void Click(Display* p_Display, Window p_Window, int p_X, int p_Y) {
    Window root = DefaultRootWindow(p_Display);
    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(p_Display, p_Window, root, p_X, p_Y, &rootX, &rootY, &child);
    XWarpPointer(p_Display, None, root, 0, 0, 0, 0, rootX, rootY);
    for (int type : {ButtonPress, ButtonRelease}) {
        XEvent event = {};
        event.xbutton.type = type;
        event.xbutton.display = p_Display;
        event.xbutton.window = p_Window;
        event.xbutton.root = root;
        event.xbutton.x = p_X;
        event.xbutton.y = p_Y;
        event.xbutton.x_root = rootX;
        event.xbutton.y_root = rootY;
        event.xbutton.button = Button1;
        event.xbutton.state = type == ButtonRelease ? Button1Mask : 0;
        event.xbutton.same_screen = True;
        event.xbutton.time = CurrentTime;
        XSendEvent(p_Display, p_Window, True,
                   type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &event);
        XFlush(p_Display);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void Close(Display* p_Display, Window p_Window) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = p_Window;
    event.xclient.message_type = XInternAtom(p_Display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(p_Display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(p_Display, p_Window, False, NoEventMask, &event);
    XFlush(p_Display);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: xwindow wait|gone|shot|click|close|geometry TITLE [...]\n");
        return 2;
    }
    std::string command = argv[1];
    std::string title = argv[2];
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "xwindow: cannot open the display\n");
        return 2;
    }
    int status = 0;
    if (command == "wait" || command == "gone") {
        double seconds = argc > 3 ? std::atof(argv[3]) : 10;
        Window window = WaitFor(display, title, seconds, command == "gone");
        status = (window != 0) == (command == "wait") ? 0 : 1;
    } else {
        Window window = Find(display, DefaultRootWindow(display), title);
        if (!window) {
            std::fprintf(stderr, "xwindow: no window titled \"%s\"\n", title.c_str());
            status = 1;
        } else if (command == "shot" && argc > 3) {
            status = Shot(display, window, argv[3]);
        } else if (command == "click" && argc > 4) {
            Click(display, window, std::atoi(argv[3]), std::atoi(argv[4]));
        } else if (command == "close") {
            Close(display, window);
        } else if (command == "geometry") {
            XWindowAttributes attributes;
            XGetWindowAttributes(display, window, &attributes);
            std::printf("%d %d\n", attributes.width, attributes.height);
        } else {
            std::fprintf(stderr, "xwindow: bad command\n");
            status = 2;
        }
    }
    XCloseDisplay(display);
    return status;
}
