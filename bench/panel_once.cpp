// The panel's own start-up, as the nuvaro executable runs it, quitting once
// painted: the child of the start-up figures measured under Wine
// (bench/wine_figures.cpp), where bench_startup, which starts its children
// with fork, does not run. On Linux, bench_startup --child is the same.
#include <QCoreApplication>

#include "app/lifecycle.h"
#include "bench/quit_after_first_paint.h"

namespace {

void WatchFirstPaint() {
  qApp->installEventFilter(new bench::QuitAfterFirstPaint(qApp));
}
Q_COREAPP_STARTUP_FUNCTION(WatchFirstPaint)

} // namespace

int main(int argc, char **argv) {
  return NuvaroMain(argc, argv) == 0 ? 0 : 1;
}
