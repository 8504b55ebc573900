#include "platform/qt/dialog_controls.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <climits>
#include <cstdlib>

QPushButton* IdButton(QWidget* parent, const QString& text, int id) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QString::number(id));
  b->setAutoDefault(false);
  return b;
}

QLineEdit* IdField(QWidget* parent, int id, bool read_only) {
  auto* f = new QLineEdit(parent);
  f->setObjectName(QString::number(id));
  f->setReadOnly(read_only);
  return f;
}

QCheckBox* IdCheck(QWidget* parent, const QString& text, int id) {
  auto* c = new QCheckBox(text, parent);
  c->setObjectName(QString::number(id));
  return c;
}

int FieldInt(const QLineEdit* field) {
  const QByteArray text = field->text().trimmed().remove(u',').toLatin1();
  const long long v = std::strtoll(text.constData(), nullptr, 10);
  return static_cast<int>(v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : v);
}
