// The commands the shell itself owns: help, the web page, the code-search counter, stock
// selection by code, the diagnostic history.
#pragma once

constexpr const char* KIVORA_WEB_PAGE = "https://kivora.jp/";

// Uses of command 1002 since start-up.
extern int nCodeSearch;

// Shows the stock with this code through ShowStock; false (with a diagnostic line) when it
// is not in the table.
bool SelectStockByCode(int code);
// Registers the shell's commands with the dispatch.
void RegisterShellCommands();
