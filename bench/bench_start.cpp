// Whole-process start-up, as a user waits for it: from exec to the program's first window mapped on
// the X server, and to that window first painted. Each round starts every program given once, in turn,
// so that the machine's noise falls on all of them alike; it prints each one's medians and their
// ratios to the last one given.
//   bench_start ROUNDS PROGRAM... (on an X server that does not reset: xvfb-run -s -noreset ...)
//   bench_start --bare           the yardstick: a bare Qt dialog showing one Thai caption, so that it
//                                loads the Thai fonts as Bufrex does
// Example: cmake --build build --target bench_start, then
//   xvfb-run -a -s -noreset build/bench/bench_start 21 OLD/bufrex build/bufrex build/bench/bench_start

#include <QApplication>
#include <QDialog>
#include <QLabel>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

int showBareDialog(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Bare"));
    QLabel caption(QString::fromUtf8("เลือก Indicator ที่คุณต้องการหาค่า"), &dialog);
    caption.move(10, 10);
    dialog.resize(322, 325);
    dialog.show();
    return application.exec();
}

struct Start
{
    double mapped;  // ms from fork to the first top-level window mapped
    double painted; // ms from fork to its first pixels drawn
};

// The pixel at (2, 2) of `window`: black (the bare root beneath) until the program first paints.
unsigned long cornerPixel(Display *display, Window window)
{
    XImage *image = XGetImage(display, window, 2, 2, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return 0;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return pixel;
}

// Starts the program, times its first window's map and first paint, and ends it.
Start start(Display *display, const std::vector<std::string> &command)
{
    const auto begin = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char *> arguments;
        for (const std::string &word : command)
            arguments.push_back(const_cast<char *>(word.c_str()));
        arguments.push_back(nullptr);
        execv(arguments[0], arguments.data());
        _exit(127);
    }
    const auto since = [&begin] {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
    };
    Start times{-1, -1};
    Window window = 0;
    while (!window) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && !event.xmap.override_redirect) {
            times.mapped = since();
            window = event.xmap.window;
        }
    }
    while (cornerPixel(display, window) == 0 && since() < 10000)
        usleep(200);
    times.painted = since();
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    XSync(display, True); // drop the unmap and destroy of the window just closed
    return times;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 2 && std::strcmp(argv[1], "--bare") == 0)
        return showBareDialog(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_start ROUNDS PROGRAM... | bench_start --bare\n");
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "bench_start: no X display\n");
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);

    const int rounds = std::max(3, std::atoi(argv[1]));
    std::vector<std::vector<std::string>> programs;
    for (int i = 2; i < argc; ++i) {
        // This program given as a program stands for the bare dialog.
        if (std::string(argv[i]) == argv[0] || std::string(argv[i]) == "--bare")
            programs.push_back({"/proc/self/exe", "--bare"});
        else
            programs.push_back({argv[i]});
    }
    // Start each once untimed, so that every one finds the fonts and libraries in the page cache.
    for (const auto &program : programs)
        start(display, program);

    std::vector<std::vector<double>> mapped(programs.size()), painted(programs.size());
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < programs.size(); ++i) {
            const Start times = start(display, programs[i]);
            mapped[i].push_back(times.mapped);
            painted[i].push_back(times.painted);
        }
    }

    std::printf("median of %d alternating rounds, from exec to the first window mapped and to it painted:\n", rounds);
    for (size_t i = 0; i < programs.size(); ++i)
        std::printf("  %-44s mapped %6.1f ms %.2fx   painted %6.1f ms %.2fx\n",
                    (programs[i][0] + (programs[i].size() > 1 ? " " + programs[i][1] : "")).c_str(),
                    median(mapped[i]), median(mapped[i]) / median(mapped.back()), median(painted[i]),
                    median(painted[i]) / median(painted.back()));
    XCloseDisplay(display);
    return 0;
}
