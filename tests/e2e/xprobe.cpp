// e2e_xprobe: what xdotool and xwininfo cannot do for the end-to-end tests.
//   pattern MASK   paints the root window, under all others, so that the pixel
//                  at x,y is (x & 255, y & 255, x >> 8 | (y >> 8) << 4) XOR MASK
//   pixel X Y      prints the screen's colour there as RRGGBB
//   close WINDOW   sends WM_DELETE_WINDOW, as a window manager's close button
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// Under the sanitizers: what this short-lived tool holds, the X server frees when it ends.
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=0";
}

int main(int argc, char* argv[])
{
    Display* d = XOpenDisplay(nullptr);
    const std::string mode = argc > 1 ? argv[1] : "";
    // The colour arithmetic needs the 24-bit TrueColor screen the tests start.
    if (!d || DefaultDepth(d, 0) != 24 || DefaultVisual(d, 0)->red_mask != 0xFF0000)
        return std::fprintf(stderr, "e2e_xprobe: no 24-bit RGB display\n"), 1;
    const Window root = DefaultRootWindow(d);
    if (mode == "pattern" && argc == 3) {
        const unsigned long mask = std::strtoul(argv[2], nullptr, 0) & 0xFFFFFF;
        const int w = DisplayWidth(d, 0), h = DisplayHeight(d, 0);
        XImage* image = XCreateImage(d, DefaultVisual(d, 0), 24, ZPixmap, 0, nullptr, w, h, 32, 0);
        image->data = static_cast<char*>(std::malloc(std::size_t(image->bytes_per_line) * h));
        for (unsigned long y = 0; y < unsigned(h); ++y)
            for (unsigned long x = 0; x < unsigned(w); ++x)
                XPutPixel(image, x, y, ((x & 255) << 16 | (y & 255) << 8 | x >> 8 | (y >> 8) << 4) ^ mask);
        // The server keeps the background and repaints from it however fast
        // the windows above come and go, after this process has ended.
        const Pixmap pixmap = XCreatePixmap(d, root, w, h, 24);
        XPutImage(d, pixmap, DefaultGC(d, 0), image, 0, 0, 0, 0, w, h);
        XSetWindowBackgroundPixmap(d, root, pixmap);
        XClearWindow(d, root);
        return !XSync(d, False);
    }
    if (mode == "pixel" && argc == 4) {
        XImage* i = XGetImage(d, root, std::atoi(argv[2]), std::atoi(argv[3]), 1, 1, AllPlanes, ZPixmap);
        return i ? std::printf("%06lX\n", XGetPixel(i, 0, 0) & 0xFFFFFF) < 0 : 1;
    }
    if (mode == "close" && argc == 3) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = std::strtoul(argv[2], nullptr, 0);
        e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
        return !XSendEvent(d, e.xclient.window, False, NoEventMask, &e) || !XSync(d, False);
    }
    std::fprintf(stderr, "usage: e2e_xprobe pattern MASK | pixel X Y | close WINDOW\n");
    return 2;
}
