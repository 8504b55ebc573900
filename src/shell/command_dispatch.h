// The one command dispatch: every menu item, accelerator, tool-bar button, posted command
// and key ends here, keyed by command identifier.
#pragma once

using CommandHandler = void (*)(int id);

// Registers the handler of one command or of a range of commands (a later registration of
// the same identifier replaces the earlier one).
void RegisterCommand(int id, CommandHandler handler);
void RegisterCommandRange(int first, int last, CommandHandler handler);
// Runs the handler of a command; false when none is registered.
bool OnCommand(int id);
// Removes every registration (tests).
void ClearCommands();
