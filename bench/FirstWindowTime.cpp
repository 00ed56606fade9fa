// first-window-time: starts a program and prints the milliseconds until its first top-level
// window is mapped on the X display in DISPLAY, then ends the program.
//   first-window-time PROGRAM [ARGS...]
// The wait is driven by the X server's own map notification, so the figure carries no polling
// delay; the display should be one that only this measurement uses (a private Xvfb).
#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: first-window-time PROGRAM [ARGS...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "first-window-time: cannot open the display\n");
        return 1;
    }
    // Children of the root are the top-level windows (or their frames under a window manager).
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[1], argv + 1);
        _exit(127);
    }
    if (child < 0) {
        std::perror("first-window-time: fork");
        return 1;
    }
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && !event.xmap.override_redirect) {
            break;
        }
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%lld\n", static_cast<long long>(
                              std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()));
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    XCloseDisplay(display);
    return 0;
}
