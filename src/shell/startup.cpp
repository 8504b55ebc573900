#include "shell/startup.h"

#include "net/https_client.h"
#include "shell/diagnostics.h"

void MainOnCreate() {
  PRT("Kivora 3.74 2026/10/31\n");
  init_winsock();  // the socket layer, last of the start-up steps
}

void MainOnDestroy() {}
