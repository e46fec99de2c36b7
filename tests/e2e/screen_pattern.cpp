// e2e_screen_pattern: known colours on the screen for the picking tests, and
// a way to read back what the screen shows.
//
//   e2e_screen_pattern show X Y W H [MASK]
//       Maps a W x H window at root position X,Y whose every pixel encodes
//       its own root coordinates x,y: red = x & 255, green = y & 255,
//       blue = (x >> 8 & 15) | (y >> 8 & 15) << 4, each pixel then XORed
//       with MASK (0xRRGGBB, default 0), so that a second pattern differs
//       from the first at every pixel. The window is override-redirect and
//       kept at the bottom of the stack, under every other window, like a
//       desktop background; the pattern is its background pixmap, so the X
//       server itself repaints whatever is uncovered, however quickly the
//       windows above it come and go. Prints "shown 0xID" once the window
//       is mapped, then stays until it is killed or the display goes.
//   e2e_screen_pattern pixel X Y [X Y]...
//       Prints the colour the screen shows at each root point, RRGGBB in
//       upper-case hex, one per line.
//   e2e_screen_pattern expect X Y [MASK]
//       Prints the pattern's colour at root point X,Y, as "pixel" would
//       read it there: RRGGBB.
//
// Exit status 0 on success, 1 when the display refuses, 2 on misuse.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const char* g_program = "e2e_screen_pattern";

unsigned long patternColour(int x, int y, unsigned long mask)
{
    const unsigned long r = unsigned(x) & 255u;
    const unsigned long g = unsigned(y) & 255u;
    const unsigned long b = ((unsigned(x) >> 8) & 15u) | (((unsigned(y) >> 8) & 15u) << 4);
    return ((r << 16) | (g << 8) | b) ^ (mask & 0xFFFFFFul);
}

// Where a colour channel lies in a pixel value of the visual.
struct Channel
{
    unsigned long mask = 0;
    int shift = 0;
    int bits = 0;
};

Channel channelOf(unsigned long mask)
{
    Channel c;
    c.mask = mask;
    while (mask && !(mask & 1ul)) {
        mask >>= 1;
        ++c.shift;
    }
    while (mask & 1ul) {
        mask >>= 1;
        ++c.bits;
    }
    return c;
}

unsigned long toPixel(const Channel& ch, unsigned value8)
{
    const unsigned long v = ch.bits >= 8 ? (unsigned long)value8 << (ch.bits - 8)
                                         : (unsigned long)value8 >> (8 - ch.bits);
    return (v << ch.shift) & ch.mask;
}

unsigned fromPixel(const Channel& ch, unsigned long pixel)
{
    const unsigned long v = (pixel & ch.mask) >> ch.shift;
    return ch.bits >= 8 ? unsigned(v >> (ch.bits - 8)) : unsigned(v << (8 - ch.bits));
}

struct Rgb
{
    Channel r, g, b;
};

bool trueColour(Display* display, Rgb* rgb)
{
    Visual* visual = DefaultVisual(display, DefaultScreen(display));
    if (visual->c_class != TrueColor && visual->c_class != DirectColor) {
        std::fprintf(stderr, "%s: the default visual is not a true-colour one\n", g_program);
        return false;
    }
    rgb->r = channelOf(visual->red_mask);
    rgb->g = channelOf(visual->green_mask);
    rgb->b = channelOf(visual->blue_mask);
    if (rgb->r.bits < 8 || rgb->g.bits < 8 || rgb->b.bits < 8) {
        std::fprintf(stderr, "%s: the screen has fewer than 8 bits per colour channel\n",
                     g_program);
        return false;
    }
    return true;
}

bool parseInt(const char* text, long* value)
{
    char* end = nullptr;
    *value = std::strtol(text, &end, 0);
    return end != text && *end == '\0';
}

int show(int x, int y, int width, int height, unsigned long mask)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "%s: cannot open the display\n", g_program);
        return 1;
    }
    Rgb rgb;
    if (!trueColour(display, &rgb))
        return 1;
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    const int depth = DefaultDepth(display, screen);
    Visual* visual = DefaultVisual(display, screen);

    XImage* image = XCreateImage(display, visual, unsigned(depth), ZPixmap, 0, nullptr,
                                 unsigned(width), unsigned(height), 32, 0);
    if (!image) {
        std::fprintf(stderr, "%s: cannot make a %dx%d image\n", g_program, width, height);
        return 1;
    }
    image->data = static_cast<char*>(std::malloc(std::size_t(image->bytes_per_line) * height));
    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            const unsigned long c = patternColour(x + i, y + j, mask);
            XPutPixel(image, i, j,
                      toPixel(rgb.r, unsigned(c >> 16) & 255u) |
                          toPixel(rgb.g, unsigned(c >> 8) & 255u) |
                          toPixel(rgb.b, unsigned(c) & 255u));
        }
    }
    const Pixmap pixmap =
        XCreatePixmap(display, root, unsigned(width), unsigned(height), unsigned(depth));
    const GC gc = XCreateGC(display, pixmap, 0, nullptr);
    // Xlib splits an image larger than one request allows.
    XPutImage(display, pixmap, gc, image, 0, 0, 0, 0, unsigned(width), unsigned(height));
    XDestroyImage(image);
    XFreeGC(display, gc);

    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixmap = pixmap;
    attributes.event_mask = StructureNotifyMask;
    const Window window =
        XCreateWindow(display, root, x, y, unsigned(width), unsigned(height), 0, depth, InputOutput,
                      visual, CWOverrideRedirect | CWBackPixmap | CWEventMask, &attributes);
    XFreePixmap(display, pixmap); // the window keeps it
    XStoreName(display, window, "tintaro-e2e-pattern");
    XClassHint hint{const_cast<char*>("tintaro-e2e-pattern"), const_cast<char*>("Tintaro-e2e")};
    XSetClassHint(display, window, &hint);
    XMapWindow(display, window);
    XLowerWindow(display, window);

    XEvent event;
    do
        XNextEvent(display, &event);
    while (event.type != MapNotify || event.xmap.window != window);
    // Lowered once more now that it is mapped: the server has the final order.
    XLowerWindow(display, window);
    XSync(display, False);
    std::printf("shown 0x%lx\n", (unsigned long)window);
    std::fflush(stdout);

    // Nothing more to do: the server paints the background. Waiting for
    // events keeps the connection (and so the window) alive; a lost display
    // ends the program through Xlib's fatal I/O error handler.
    for (;;)
        XNextEvent(display, &event);
}

int pixels(int argc, char* argv[])
{
    if (argc % 2 != 0) {
        std::fprintf(stderr, "usage: %s pixel X Y [X Y]...\n", g_program);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "%s: cannot open the display\n", g_program);
        return 1;
    }
    Rgb rgb;
    if (!trueColour(display, &rgb))
        return 1;
    const Window root = DefaultRootWindow(display);
    for (int k = 0; k < argc; k += 2) {
        long x = 0, y = 0;
        if (!parseInt(argv[k], &x) || !parseInt(argv[k + 1], &y)) {
            std::fprintf(stderr, "%s: not a point: %s %s\n", g_program, argv[k], argv[k + 1]);
            return 2;
        }
        XImage* image = XGetImage(display, root, int(x), int(y), 1, 1, AllPlanes, ZPixmap);
        if (!image) {
            std::fprintf(stderr, "%s: cannot read the screen at %ld,%ld\n", g_program, x, y);
            return 1;
        }
        const unsigned long p = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        std::printf("%02X%02X%02X\n", fromPixel(rgb.r, p), fromPixel(rgb.g, p),
                    fromPixel(rgb.b, p));
    }
    XCloseDisplay(display);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    g_program = argv[0];
    const char* mode = argc > 1 ? argv[1] : "";
    long v[5] = {0, 0, 0, 0, 0};
    if (std::strcmp(mode, "show") == 0 && (argc == 6 || argc == 7)) {
        for (int i = 0; i < argc - 2; ++i) {
            if (!parseInt(argv[i + 2], &v[i])) {
                std::fprintf(stderr, "%s: not a number: %s\n", g_program, argv[i + 2]);
                return 2;
            }
        }
        if (v[2] <= 0 || v[3] <= 0) {
            std::fprintf(stderr, "%s: the size must be positive\n", g_program);
            return 2;
        }
        return show(int(v[0]), int(v[1]), int(v[2]), int(v[3]), (unsigned long)v[4]);
    }
    if (std::strcmp(mode, "pixel") == 0 && argc >= 4)
        return pixels(argc - 2, argv + 2);
    if (std::strcmp(mode, "expect") == 0 && (argc == 4 || argc == 5)) {
        for (int i = 0; i < argc - 2; ++i) {
            if (!parseInt(argv[i + 2], &v[i])) {
                std::fprintf(stderr, "%s: not a number: %s\n", g_program, argv[i + 2]);
                return 2;
            }
        }
        std::printf("%06lX\n", patternColour(int(v[0]), int(v[1]), (unsigned long)v[2]));
        return 0;
    }
    std::fprintf(stderr, "usage: %s show X Y W H [MASK] | pixel X Y [X Y]... | expect X Y [MASK]\n",
                 g_program);
    return 2;
}
