// Controls of the dialogs, named by their resource identifiers (tests find them so).
#pragma once

#include <QString>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QWidget;

QPushButton* IdButton(QWidget* parent, const QString& text, int id);
// An edit field; read_only: a field that only shows.
QLineEdit* IdField(QWidget* parent, int id, bool read_only = false);
QCheckBox* IdCheck(QWidget* parent, const QString& text, int id);
// The field's text as a signed integer (a leading number, as a "%d" scan reads it; 0
// without one).
int FieldInt(const QLineEdit* field);
