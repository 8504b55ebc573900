#include "shell/main_keys.h"

#include "platform/host.h"
#include "shell/command_ids.h"

void MainOnChar(int ch) {
  if (ch == 'p') HostPostCommand(IDM_PRT_WINDOW);
}
