// Whole-process start-up, as a user waits for it: from exec to the program's first window mapped on
// the X server. Each round starts every program given once, in turn, so that the machine's noise falls
// on all of them alike; it prints each one's median and its ratio to the last one given.
//   bench_start ROUNDS PROGRAM... (on an X server that does not reset: xvfb-run -s -noreset ...)
//   bench_start --bare           the yardstick: a bare Qt dialog showing one Thai caption, so that it
//                                loads the Thai fonts as Bufrex does
// Example: xvfb-run -a -s -noreset build/bench/bench_start 21 OLD/bufrex build/bufrex build/bench/bench_start

#include <QApplication>
#include <QDialog>
#include <QLabel>

#include <X11/Xlib.h>

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

// Milliseconds from fork to the first top-level window the program maps; the program is ended then.
double startMilliseconds(Display *display, const std::vector<std::string> &command)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char *> arguments;
        for (const std::string &word : command)
            arguments.push_back(const_cast<char *>(word.c_str()));
        arguments.push_back(nullptr);
        execv(arguments[0], arguments.data());
        _exit(127);
    }
    double elapsed = -1;
    while (elapsed < 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && !event.xmap.override_redirect)
            elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    XSync(display, True); // drop the unmap and destroy of the window just closed
    return elapsed;
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
        startMilliseconds(display, program);

    std::vector<std::vector<double>> times(programs.size());
    for (int round = 0; round < rounds; ++round)
        for (size_t i = 0; i < programs.size(); ++i)
            times[i].push_back(startMilliseconds(display, programs[i]));

    const double yardstick = median(times.back());
    std::printf("exec to mapped window, median of %d alternating rounds:\n", rounds);
    for (size_t i = 0; i < programs.size(); ++i)
        std::printf("  %-60s %7.1f ms  %.2fx\n", (programs[i][0] + (programs[i].size() > 1 ? " " + programs[i][1] : "")).c_str(),
                    median(times[i]), median(times[i]) / yardstick);
    XCloseDisplay(display);
    return 0;
}
