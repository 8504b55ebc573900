#include "db/ui/update_dialog.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

#include "db/day_file_update.h"
#include "platform/qt/qt_codepage.h"

namespace {

QPointer<QWidget> g_owner;
QPointer<QDialog> g_dialog;

QLabel* Control(const char16_t* name) {
  return g_dialog ? g_dialog->findChild<QLabel*>(QString::fromUtf16(name)) : nullptr;
}

void Open(const char* title) {
  if (!g_dialog) {
    auto* dlg = new QDialog(g_owner);
    dlg->setObjectName(u"UPDATE"_qs);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(dlg);
    for (const char16_t* id : {u"1090", u"1089"}) {
      auto* label = new QLabel(dlg);
      label->setObjectName(QString::fromUtf16(id));
      label->setMinimumWidth(220);
      layout->addWidget(label);
    }
    g_dialog = dlg;
  }
  g_dialog->setWindowTitle(FromCp932(title));
  g_dialog->show();
  QCoreApplication::processEvents();
}

void Retitle(const char* title) {
  if (g_dialog) g_dialog->setWindowTitle(FromCp932(title));
}

void Show(const char* count, const char* stock) {
  if (QLabel* c = Control(u"1090")) c->setText(FromCp932(count));
  if (QLabel* s = Control(u"1089")) s->setText(FromCp932(stock));
}

void Close() {
  if (g_dialog) g_dialog->close();
}

std::string ChooseFile(const std::string& folder, const char* filters) {
  QFileDialog dlg(g_owner);
  dlg.setObjectName(u"DAY_FILE_OPEN"_qs);
  dlg.setFileMode(QFileDialog::ExistingFile);
  dlg.setAcceptMode(QFileDialog::AcceptOpen);
  dlg.setOption(QFileDialog::HideNameFilterDetails, true);
  dlg.setOption(QFileDialog::ReadOnly, false);
  dlg.setDirectory(QFile::decodeName(QByteArray::fromStdString(folder)));
  const QStringList list = DayFileNameFilters(filters);
  dlg.setNameFilters(list);
  if (!list.isEmpty()) dlg.selectNameFilter(list.first());
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::string();
  return QFile::encodeName(dlg.selectedFiles().first()).toStdString();
}

}  // namespace

QStringList DayFileNameFilters(const char* filters) {
  // "caption|patterns|caption|patterns|": Qt wants "caption (pattern pattern)".
  const QStringList parts = FromCp932(filters).split(u'|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) continue;
    QString patterns = parts[i + 1];
    patterns.replace(u';', u' ');
    out << parts[i] + u" ("_qs + patterns + u')';
  }
  return out;
}

void InstallDayFileUpdateWindows(QWidget* owner) {
  g_owner = owner;
  if (!owner) {
    Close();
    DayFileUpdateWindows = DayFileUpdateUi{};
    return;
  }
  DayFileUpdateWindows.choose_file = ChooseFile;
  DayFileUpdateWindows.open = Open;
  DayFileUpdateWindows.retitle = Retitle;
  DayFileUpdateWindows.show = Show;
  DayFileUpdateWindows.close = Close;
}
