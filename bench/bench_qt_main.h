// The main of the benchmarks that paint: one QApplication on the offscreen platform, with the
// chart's font substitutions.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

#include "platform/qt/qt_codepage.h"

inline int RunPaintBenchmarks(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  InstallFontSubstitutions();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
