// The settings sheet "各種設定" (command 40081): six pages on tabs with OK and Cancel. At OK
// every page that was shown stores its boxes (shell/settings_pages.h); the colours, the
// colour scheme and the cross-cursor font size change at once when chosen. The chart
// repaints afterwards.
#pragma once

#include <QDialog>
#include <cstdint>

class QTabWidget;

class SettingsSheet final : public QDialog {
  Q_OBJECT
 public:
  explicit SettingsSheet(QWidget* owner);
  QTabWidget* Tabs() const { return tabs_; }
  // Whether page k has been shown (only those store their boxes at OK).
  bool PageShown(int k) const { return shown_[k]; }
  void accept() override;

 private:
  QTabWidget* tabs_;
  bool shown_[6] = {true, false, false, false, false, false};
};

// Runs the sheet modally, then repaints the chart.
void ShowSettingsSheet(QWidget* owner);
// The colour dialog with `current` preselected and the run's sixteen custom colours (black
// at first); the chosen colour, or `current` when cancelled. Colours as the settings hold
// them (blue * 65536 + green * 256 + red).
int32_t PickColour(int32_t current, QWidget* owner);
// Registers command 40081.
void RegisterSettingsCommand(QWidget* owner);
