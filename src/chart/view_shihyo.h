// The lower indicator panes: which kinds are shown, in the order they were switched on,
// and the table of kinds with their show flags and compute operations.
#pragma once

// One indicator kind: its number and the operation that appends its lines to the chart's
// line list (its show flag is ShihyoFlag(kind)).
struct ShihyoRow {
  int kind;
  void (*append_lines)();
};
constexpr int SHIHYO_KINDS = 8;
extern const ShihyoRow ShihyoTable[SHIHYO_KINDS];

// Kinds of the panes that draw in their own way.
constexpr int SHIHYO_KAIRI = 7;
constexpr int SHIHYO_MACD = 8;

// Makes ViewShihyo follow the show flags: kinds switched off leave the list (the others
// keep their order), kinds switched on and not listed are appended in kind order. A
// corrupt list stops the program.
void RebuildViewShihyo();
// Steps the lower pane from the first listed kind by step (+1 forward, -1 backward): only
// the next kind is shown afterwards, or none (the volume pane alone) past either end.
void StepShihyo(int step);
