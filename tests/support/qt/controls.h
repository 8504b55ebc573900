// A window's control by its id: the dialogs and windows name their controls with their ids.
#pragma once

#include <QString>
#include <QWidget>

template <typename T>
T* Control(QWidget* window, int id) {
  return window->findChild<T*>(QString::number(id));
}
