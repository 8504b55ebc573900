#include "shell/ui/vurn_app.h"

int main(int argc, char** argv) { return RunVurn(argc, argv); }
