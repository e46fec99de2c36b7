// e2e_wm_delete WINDOW: asks an X client to close one of its windows the way
// a window manager's close button does, with a WM_DELETE_WINDOW message.
// Needed where no window manager runs; exit status 0 once the message is
// sent, 1 if the window does not take part in that protocol, 2 on misuse.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s WINDOW\n", argv[0]);
        return 2;
    }
    char* end = nullptr;
    const unsigned long window = std::strtoul(argv[1], &end, 0);
    if (window == 0 || end == argv[1] || *end != '\0') {
        std::fprintf(stderr, "%s: not a window id: %s\n", argv[0], argv[1]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "%s: cannot open the display\n", argv[0]);
        return 2;
    }
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);

    Atom* listed = nullptr;
    int count = 0;
    bool takesPart = false;
    if (XGetWMProtocols(display, Window(window), &listed, &count)) {
        for (int i = 0; i < count; ++i)
            takesPart = takesPart || listed[i] == deleteWindow;
        XFree(listed);
    }
    if (!takesPart) {
        std::fprintf(stderr, "%s: window 0x%lx does not list WM_DELETE_WINDOW in WM_PROTOCOLS\n",
                     argv[0], window);
        XCloseDisplay(display);
        return 1;
    }

    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = Window(window);
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, Window(window), False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
