#include "shell/startup.h"

#include "shell/diagnostics.h"

void MainOnCreate() {
  PRT("Kivora 3.74 2026/10/31\n");
}

void (*TimedDownloadCheckHook)() = nullptr;

void MainOnMinuteTimer() {
  if (TimedDownloadCheckHook) TimedDownloadCheckHook();
}

void MainOnDestroy() {}
