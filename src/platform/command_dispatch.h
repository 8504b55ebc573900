// The one command dispatch: every menu item, accelerator, tool-bar button, posted command
// and key ends here, keyed by command identifier.
#pragma once

using CommandHandler = void (*)(int id);

// Registers the handler of one command or of a range of commands (a later registration of
// the same identifier replaces the earlier one).
void RegisterCommand(int id, CommandHandler handler);
void RegisterCommandRange(int first, int last, CommandHandler handler);
// Runs the handler of a command; false when none is registered. The parameter is
// available to the handler as CommandParam while it runs.
bool OnCommand(int id, long param = 0);
extern long CommandParam;
// True when a handler is registered for the command (alone or in a range).
bool CommandHandled(int id);
// Removes every registration (tests).
void ClearCommands();

// Menu state derived from program state: a command's check mark and whether it is enabled.
// The menus ask after every command and before they open, so marks never drift.
using CommandStateFn = bool (*)();
void RegisterCommandCheck(int id, CommandStateFn is_checked);
void RegisterCommandEnabled(int id, CommandStateFn is_enabled);
// 1 checked, 0 not checked, -1 when the command has no check mark.
int CommandCheckState(int id);
// False when no handler is registered (an item that would do nothing is greyed) or when a
// registered state says the command is greyed.
bool CommandEnabled(int id);
