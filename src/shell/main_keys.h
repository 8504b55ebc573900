// The main window's key and character handling, as plain functions the widgets forward to.
#pragma once

// A typed character (after keyboard translation).
void MainOnChar(int ch);
