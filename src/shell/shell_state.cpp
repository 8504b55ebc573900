#include "shell/shell_state.h"

int StartCode = 0;
int StartAshi = 0;
int fMainActive = 0;
int fNoSaveAtEnd = 0;
