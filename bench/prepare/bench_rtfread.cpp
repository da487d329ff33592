// Reading rich text whose paragraph is made of many short runs, each in its own colour (what a
// segmented example looks like, and what a crafted file pushes to the extreme). The reading time
// must grow with the file, not with the square of its runs.
//
//   bench_rtfread [RUNS]   reads paragraphs of RUNS/4, RUNS/2 and RUNS runs (default 40,000, a
//                          file of about 1 MB) and prints the time of each; exits 1 when doubling
//                          the runs more than triples the time.
#include "prepare/richtext.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

QByteArray paragraph(int runs)
{
    QByteArray rtf = "{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\\pard ";
    for (int i = 0; i < runs; ++i)
        rtf += (i % 2 ? "\\cf1 " : "\\cf2 ") + QByteArray("\\u20013?\\u25991?");
    rtf += "\\par}";
    return rtf;
}

double readMs(const QByteArray &rtf)
{
    QTextDocument doc;
    QElapsedTimer t;
    t.start();
    orvane::RtfError error;
    if (!orvane::readRtf(rtf, &doc, &error)) {
        std::fprintf(stderr, "bench_rtfread: not read\n");
        std::exit(1);
    }
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(100, atoi(argv[1])) : 40000;
    double last = 0;
    bool linear = true;
    for (int n : {runs / 4, runs / 2, runs}) {
        const QByteArray rtf = paragraph(n);
        const double ms = readMs(rtf);
        std::printf("%d runs in one paragraph (%lld bytes): %.1f ms\n", n, static_cast<long long>(rtf.size()), ms);
        if (last > 5 && ms > 3 * last)
            linear = false;
        last = ms;
    }
    std::printf(linear ? "grows linearly\n" : "grows faster than the file\n");
    return linear ? 0 : 1;
}
