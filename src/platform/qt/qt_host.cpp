#include "platform/qt/qt_host.h"

#include <algorithm>
#include <cstring>

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/command_dispatch.h"
#include "platform/file_filters.h"
#include "platform/print_layout.h"
#include "platform/qt/qt_codepage.h"
#include "platform/qt/unattended_dialogs.h"

namespace {

// Control identifiers of the progress dialog (the download dialogs' own).
constexpr char16_t kProgressBarId[] = u"1035";
constexpr char16_t kElapsedId[] = u"1104";
constexpr char16_t kRemainingId[] = u"1055";
constexpr char16_t kTextId[] = u"1105";
constexpr char16_t kNoTime[] = u"--:--";

// The progress dialog: Cancel, Escape and the close button only raise the cancel flag; the
// work stops at its next item and closes the dialog itself.
class ProgressDialogWidget final : public QDialog {
 public:
  using QDialog::QDialog;
  bool cancelled = false;
  void reject() override { cancelled = true; }
};

QString LocalPath(const std::string& path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}
std::string FromLocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QImage ToQImage(const HostImage& image) {
  QImage img(image.width, image.height, QImage::Format_RGB32);
  for (int y = 0; y < image.height; ++y)
    std::memcpy(img.scanLine(y), image.pixels.data() + static_cast<size_t>(y) * image.width,
                static_cast<size_t>(image.width) * 4);
  if (image.monochrome) img = img.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
  return img;
}

}  // namespace

namespace {

// The answer that changes nothing: Cancel / No; OK for a box with OK alone.
int UnchangingAnswer(unsigned type) {
  const unsigned buttons = type & MB_BUTTON_MASK;
  if (buttons == MB_YESNO) return IDNO;
  if (buttons == MB_OKCANCEL || buttons == MB_YESNOCANCEL) return IDCANCEL;
  return IDOK;
}

}  // namespace

void QtHost::SetUnattended(bool on, std::function<void(QDialog*)> on_dialog) {
  unattended_ = on;
  delete dialog_closer_.data();
  if (!on) return;
  auto* closer = new UnattendedDialogCloser(std::move(on_dialog), this);
  qApp->installEventFilter(closer);
  dialog_closer_ = closer;
}

int QtHost::MessageBox(const char* text, const char* caption, unsigned type) {
  if (ending_) return UnchangingAnswer(type);
  if (unattended_) {
    auto* shown = new QMessageBox(owner_);
    shown->setAttribute(Qt::WA_DeleteOnClose);
    // Shown for the picture only: the keys of the run still reach the main window.
    shown->setWindowModality(Qt::NonModal);
    shown->setWindowTitle(FromCp932(caption));
    shown->setText(FromCp932(text));
    shown->show();
    QCoreApplication::processEvents();
    // Nobody is there to answer: a question never goes on to change data.
    return UnchangingAnswer(type);
  }
  QMessageBox box(owner_);
  box.setWindowTitle(FromCp932(caption));
  box.setText(FromCp932(text));
  switch (type & MB_ICON_MASK) {
    case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
  }
  const bool second = (type & MB_DEFBUTTON2) != 0;
  QPushButton* first_button = nullptr;
  QPushButton* second_button = nullptr;
  QPushButton* third_button = nullptr;  // Cancel of Yes/No/Cancel
  int first_id = IDOK, second_id = IDCANCEL;
  switch (type & MB_BUTTON_MASK) {
    case MB_OKCANCEL:
      first_button = box.addButton(QMessageBox::Ok);
      second_button = box.addButton(QMessageBox::Cancel);
      break;
    case MB_YESNO:
      first_button = box.addButton(QMessageBox::Yes);
      second_button = box.addButton(QMessageBox::No);
      first_id = IDYES;
      second_id = IDNO;
      break;
    case MB_YESNOCANCEL:
      first_button = box.addButton(QMessageBox::Yes);
      second_button = box.addButton(QMessageBox::No);
      first_id = IDYES;
      second_id = IDNO;
      third_button = box.addButton(QMessageBox::Cancel);
      break;
    default:
      first_button = box.addButton(QMessageBox::Ok);
      break;
  }
  if (second && second_button) box.setDefaultButton(second_button);
  else box.setDefaultButton(first_button);
  if (third_button) box.setEscapeButton(third_button);
  box.exec();
  if (third_button && (box.clickedButton() == third_button || !box.clickedButton())) return IDCANCEL;
  if (second_button && box.clickedButton() == second_button) return second_id;
  if (!second_button) return IDOK;
  // Escape or closing the box counts as the second button (Cancel / No).
  return box.clickedButton() == first_button ? first_id : second_id;
}

void QtHost::WaitDialogOpen(const char* text) {
  if (!wait_) {
    auto* dlg = new QDialog(owner_);
    dlg->setObjectName(u"WAIT_JOB"_qs);
    dlg->setWindowTitle(u"しばらくお待ちください"_qs);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(dlg);
    auto* label = new QLabel(dlg);
    label->setObjectName(u"WAIT_TEXT"_qs);
    layout->addWidget(label);
    wait_ = dlg;
  }
  if (auto* label = wait_->findChild<QLabel*>(u"WAIT_TEXT"_qs)) label->setText(FromCp932(text));
  wait_->show();
  QCoreApplication::processEvents();
}

void QtHost::WaitDialogClose() {
  if (wait_) wait_->close();
}

void QtHost::ProgressOpen(const char* title, const char* text, int total) {
  ProgressClose();
  auto* dlg = new ProgressDialogWidget(owner_);
  dlg->setObjectName(u"PROGRESS"_qs);
  dlg->setWindowTitle(FromCp932(title));
  dlg->setAttribute(Qt::WA_DeleteOnClose);
  // The work runs on this thread between pumps: nothing else may be clicked meanwhile.
  dlg->setModal(true);
  auto* grid = new QGridLayout(dlg);
  auto* label = new QLabel(FromCp932(text), dlg);
  label->setObjectName(QString::fromUtf16(kTextId));
  grid->addWidget(label, 0, 0, 1, 2);
  auto* bar = new QProgressBar(dlg);
  bar->setObjectName(QString::fromUtf16(kProgressBarId));
  bar->setRange(0, total > 0 ? total : 0);
  bar->setValue(0);
  grid->addWidget(bar, 1, 0, 1, 2);
  const struct {
    const char16_t* caption;
    const char16_t* id;
  } times[] = {{u"経過時間", kElapsedId}, {u"残り時間", kRemainingId}};
  for (int row = 0; row < 2; ++row) {
    grid->addWidget(new QLabel(QString::fromUtf16(times[row].caption), dlg), row + 2, 0);
    auto* value = new QLabel(QString::fromUtf16(kNoTime), dlg);
    value->setObjectName(QString::fromUtf16(times[row].id));
    grid->addWidget(value, row + 2, 1);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, dlg);
  buttons->button(QDialogButtonBox::Cancel)->setText(u"キャンセル"_qs);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dlg, &QDialog::reject);
  grid->addWidget(buttons, 4, 0, 1, 2);
  progress_ = dlg;
  dlg->show();
  QCoreApplication::processEvents();
}

void QtHost::ProgressSetText(const char* text) {
  if (!progress_) return;
  if (auto* label = progress_->findChild<QLabel*>(QString::fromUtf16(kTextId))) label->setText(FromCp932(text));
}

void QtHost::ProgressShow(int done, const char* elapsed, const char* remaining) {
  if (progress_) {
    if (auto* bar = progress_->findChild<QProgressBar*>(QString::fromUtf16(kProgressBarId)))
      bar->setValue(std::min(done, bar->maximum()));
    if (auto* l = progress_->findChild<QLabel*>(QString::fromUtf16(kElapsedId))) l->setText(FromCp932(elapsed));
    if (auto* l = progress_->findChild<QLabel*>(QString::fromUtf16(kRemainingId))) l->setText(FromCp932(remaining));
  }
  QCoreApplication::processEvents();
}

bool QtHost::ProgressCancelled() {
  auto* dlg = static_cast<ProgressDialogWidget*>(progress_.data());
  // A long job stops between its items when the program is asked to end.
  return ending_ || (dlg && dlg->cancelled);
}

void QtHost::ProgressClose() {
  if (progress_) {
    progress_->hide();
    progress_->deleteLater();
    progress_ = nullptr;
  }
}

void QtHost::PumpEvents() { QCoreApplication::processEvents(); }

void QtHost::PostCommand(int id, long param) {
  // Queued, so posted commands run in the order posted once control returns to the loop.
  QMetaObject::invokeMethod(this, [id, param] { OnCommand(id, param); }, Qt::QueuedConnection);
}

std::string QtHost::ChooseOpenFile(const char* title, const std::string& folder, const char* filters) {
  QStringList names;
  for (const FileFilter& f : ParseFileFilters(filters)) {
    QStringList patterns;
    for (const std::string& p : f.patterns) patterns << QString::fromLatin1(p.data(), static_cast<qsizetype>(p.size()));
    // Qt reads the patterns from the last parentheses of a filter's name.
    names << FromCp932(f.name) + u" ("_qs + patterns.join(u' ') + u')';
  }
  QFileDialog dlg(owner_, FromCp932(title), LocalPath(folder));
  dlg.setObjectName(u"OPEN_FILE"_qs);
  dlg.setOption(QFileDialog::DontUseNativeDialog);  // the same dialog on every desktop, and in tests
  dlg.setOption(QFileDialog::ReadOnly);
  dlg.setFileMode(QFileDialog::ExistingFile);
  dlg.setAcceptMode(QFileDialog::AcceptOpen);
  if (!names.isEmpty()) dlg.setNameFilters(names);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
  return FromLocalPath(dlg.selectedFiles().front());
}

std::string QtHost::ChooseFolder(const char* title, const std::string& start) {
  QFileDialog dlg(owner_, FromCp932(title), LocalPath(start));
  dlg.setObjectName(u"CHOOSE_FOLDER"_qs);
  dlg.setOption(QFileDialog::DontUseNativeDialog);
  dlg.setOption(QFileDialog::ShowDirsOnly);
  dlg.setFileMode(QFileDialog::Directory);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
  return FromLocalPath(dlg.selectedFiles().front());
}

void QtHost::SetClipboardText(const std::string& text) {
  QApplication::clipboard()->setText(FromCp932(text));
}

bool QtHost::GetClipboardText(std::string& text) {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return false;
  text = ToCp932(data->text());
  return true;
}

bool QtHost::SetClipboardImage(const HostImage& image) {
  QApplication::clipboard()->setImage(ToQImage(image));
  return true;
}

bool QtHost::PrintImage(const HostImage& image, const char* document) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(FromCp932(document));
  printer.setCopyCount(1);
  printer.setFromTo(1, 1);
  // Placed from the sheet's corner, as on a printer whose whole page prints.
  printer.setFullPage(true);
  if (!print_to_file_.isEmpty()) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(print_to_file_);
  } else {
    QPrintDialog dlg(&printer, owner_);
    dlg.setObjectName(u"PRINT"_qs);
    // One page; no page numbers or selection. Printing to a file stays offered: many
    // machines have no printer, and a PDF is then the way to paper.
    dlg.setOption(QAbstractPrintDialog::PrintSelection, false);
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dlg.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dlg.setOption(QAbstractPrintDialog::PrintToFile, true);
    dlg.setMinMax(1, 1);
    if (dlg.exec() != QDialog::Accepted) return false;
  }
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const PrintRect r = PrintPlacement(image.width, image.height, printer.width(), printer.height(), printer.logicalDpiX(),
                                     printer.logicalDpiY());
  painter.drawImage(QRect(r.x, r.y, r.width, r.height), ToQImage(image));
  const bool ok = painter.end();
  if (!print_to_file_.isEmpty()) printed_to_file_ = ok;
  return ok;
}

bool QtHost::OpenUrl(const std::string& url) {
  return QDesktopServices::openUrl(QUrl(QString::fromLatin1(url.data(), static_cast<qsizetype>(url.size()))));
}

bool QtHost::OpenLocalFile(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size()))));
}

void QtHost::Beep() { QApplication::beep(); }
