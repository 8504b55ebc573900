// The value tip ("CtipClass"): a small popup below the mouse listing the values of the bar
// under it. The content comes from chart/value_tip.h; this window only draws it.
#pragma once

#include <QWidget>

#include "chart/value_tip.h"

class ValueTipWindow final : public QWidget {
  Q_OBJECT
 public:
  ValueTipWindow(QWidget* owner, const TipContent& content);
  const TipContent& Content() const { return content_; }
  int ColumnWidth() const { return column_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  TipContent content_;
  int column_ = 0;
};

// Registers the tip window with the tip logic; the owner is the main window.
void InstallValueTipWindow(QWidget* owner);
// The tip shown, or nullptr.
ValueTipWindow* TheValueTipWindow();
