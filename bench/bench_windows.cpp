// Start-up and window-switch figures, measured side by side in one run:
//   (a) construct, show and expose the main window, against a bare QDialog of the same size;
//   (b) the mean time of one switch between the main and the analysis window;
//   (c) resident memory after 100 and after 10,000 switches.
// Run: cmake --build build --target bench_windows && build/bench/bench_windows [rounds]
//      (any Qt platform; xvfb-run for a real X server)

#include "analyze/analyze.h"
#include "dialog/dialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <vector>

#ifdef Q_OS_WIN
#include <windows.h>
#include <psapi.h>
#else
#include <malloc.h>
#endif

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Microseconds from construction to the window system's first expose, window deleted afterwards.
template <class Window>
double exposeMicroseconds()
{
    QElapsedTimer timer;
    timer.start();
    auto *window = new Window;
    window->resize(322, 325);
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        qFatal("window never exposed");
    const double micro = timer.nsecsElapsed() / 1000.0;
    delete window;
    QCoreApplication::processEvents();
    return micro;
}

#ifdef Q_OS_WIN

long residentKiB()
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS *>(&counters), sizeof counters))
        return -1;
    return long(counters.WorkingSetSize / 1024);
}

// Bytes the program holds on its heaps: unlike resident memory, this falls when memory is freed.
long heapKiB()
{
    _HEAPINFO entry{};
    size_t used = 0;
    while (_heapwalk(&entry) == _HEAPOK)
        if (entry._useflag == _USEDENTRY)
            used += entry._size;
    return long(used / 1024);
}

#else

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// Bytes the program holds on the heap: unlike resident memory, this falls when memory is freed.
long heapKiB()
{
    return long(mallinfo2().uordblks / 1024);
}

#endif

// Presses the switch button of the visible window, lets Qt finish the hand-over, returns the new window.
QWidget *switchOnce(QWidget *visible)
{
    auto *button = visible->findChild<QPushButton *>(qobject_cast<Dialog *>(visible) ? QStringLiteral("analyze")
                                                                                      : QStringLiteral("Back"));
    button->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible())
            return window;
    qFatal("no visible window after a switch");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(5, atoi(argv[1])) : 41;

    // (a) alternate the two kinds so that machine noise falls on both alike
    exposeMicroseconds<Dialog>(); // the first window of a process also loads fonts and plugins
    std::vector<double> bare, main;
    for (int i = 0; i < rounds; ++i) {
        bare.push_back(exposeMicroseconds<QDialog>());
        main.push_back(exposeMicroseconds<Dialog>());
    }
    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("(a) show and expose, median of %d: bare QDialog %.0f us, main window %.0f us, ratio %.2f\n",
                rounds, median(bare), median(main), median(main) / median(bare));

    // (b), (c)
    Dialog first;
    first.show();
    if (!QTest::qWaitForWindowExposed(&first))
        qFatal("main window never exposed");
    QWidget *visible = &first;
    for (int i = 0; i < 100; ++i)
        visible = switchOnce(visible);
    const long after100 = residentKiB();
    const long heap100 = heapKiB();

    QElapsedTimer timer;
    timer.start();
    const int measured = 9900;
    for (int i = 0; i < measured; ++i)
        visible = switchOnce(visible);
    const double perSwitch = timer.nsecsElapsed() / 1e6 / measured;
    const long after10000 = residentKiB();
    const long heap10000 = heapKiB();

    std::printf("(b) mean switch: %.3f ms over %d switches\n", perSwitch, measured);
    std::printf("(c) resident memory: %ld KiB after 100 switches, %ld KiB after 10000, growth %ld KiB\n",
                after100, after10000, after10000 - after100);
    std::printf("    heap in use: %ld KiB after 100 switches, %ld KiB after 10000, growth %ld KiB\n", heap100,
                heap10000, heap10000 - heap100);
    std::printf("    top-level widgets alive: %d\n", int(QApplication::topLevelWidgets().size()));

    // Qt drops the names of pixmaps no longer cached on a timer, 30 s after the cache last changed.
    QTest::qWait(31000);
    std::printf("    idle 31 s later: heap in use %ld KiB (growth %ld KiB), resident %ld KiB\n", heapKiB(),
                heapKiB() - heap100, residentKiB());
    delete (visible == &first ? nullptr : visible);
    return 0;
}
