// The log pane under a script that logs in a tight loop: 100,000 short lines, then one line of
// 16 MiB. The peer is a plain QPlainTextEdit that appends each line as it comes, the way the
// pane used to. Prints the time spent appending, the longest single append (how long the
// window could not react) and the time to put everything on the screen.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "workbench/ui/log_pane.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct TFigures {
    double appending = 0;
    double longest = 0;
    double toScreen = 0;
};

template <typename Append, typename Settle>
TFigures Measure(int lines, const std::string& longLine, Append append, Settle settle) {
    TFigures figures;
    const auto start = Clock::now();
    for (int i = 0; i <= lines; ++i) {
        const std::string line =
            i < lines ? "14:03:27, from line 2: " + std::to_string(i) : longLine;
        const auto before = Clock::now();
        append(line);
        // The engine pumps events between statements; so does this loop, now and then.
        if (i % 64 == 0) QCoreApplication::processEvents();
        figures.longest = std::max(figures.longest, Ms(Clock::now() - before));
    }
    figures.appending = Ms(Clock::now() - start);
    const auto settleStart = Clock::now();
    settle();
    figures.toScreen = Ms(Clock::now() - settleStart);
    return figures;
}

void Print(const char* name, const TFigures& f) {
    std::printf("%-22s appending %8.1f ms   longest append %8.1f ms   to screen %8.1f ms\n", name,
                f.appending, f.longest, f.toScreen);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 100000;
    const std::string longLine = "14:03:27, from line 9: " + std::string(std::size_t{16} << 20, 'x');

    korvane::workbench::TLogPane pane;
    pane.resize(800, 300);
    pane.show();
    QCoreApplication::processEvents();
    Print("log pane", Measure(lines, longLine,
                              [&](const std::string& line) { pane.AppendItem(line); },
                              [&] { pane.Flush(); QCoreApplication::processEvents(); }));

    QPlainTextEdit peer;
    peer.setLineWrapMode(QPlainTextEdit::NoWrap);
    peer.resize(800, 300);
    peer.show();
    QCoreApplication::processEvents();
    Print("plain append (peer)",
          Measure(lines, longLine,
                  [&](const std::string& line) {
                      peer.appendPlainText(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
                      peer.verticalScrollBar()->setValue(peer.verticalScrollBar()->maximum());
                  },
                  [&] { QCoreApplication::processEvents(); }));
    return 0;
}
