#include "shell/ui/main_window_count.h"

#include <QApplication>
#include <QWidget>

int CountMainWindows() {
  int count = 0;
  for (const QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == u"MIRELO"_qs && w->windowTitle() == u"Kivora"_qs) ++count;
  return count;
}
