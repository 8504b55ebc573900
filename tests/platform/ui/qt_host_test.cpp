// The Qt host's dialogs, driven headless: progress, file and folder choice, the clipboard
// picture and printing to a PDF file.
#include "platform/qt/qt_host.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QRegularExpression>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/progress.h"
#include "support/temp_dir.h"

namespace {

// Runs `act` on the modal dialog of the given name as soon as it is shown.
void WhenShown(const QString& name, std::function<void(QDialog*)> act) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, name, act] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible() && d->objectName() == name) {
        timer->stop();
        timer->deleteLater();
        act(d);
        return;
      }
  });
  timer->start(10);
}

struct InstalledQtHost {
  QtHost host;
  InstalledQtHost() { SetHost(&host); }
  ~InstalledQtHost() { SetHost(nullptr); }
};

// Qt's own texts are Japanese: the standard buttons of a question box the host shows.
TEST(QtHost, StandardButtonsAreJapanese) {
  InstalledQtHost installed;
  QStringList texts;
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, &texts] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    timer->stop();
    timer->deleteLater();
    for (QAbstractButton* b : box->buttons()) texts << b->text();
    box->button(QMessageBox::Cancel)->click();
  });
  timer->start(10);
  EXPECT_EQ(HostMessageBox("続けますか？", "確認", MB_YESNOCANCEL), IDCANCEL);
  const QString all = texts.join(u'|');
  for (const QString& word : {u"はい"_qs, u"いいえ"_qs, u"キャンセル"_qs})
    EXPECT_TRUE(all.contains(word)) << all.toStdString();
}

TEST(QtHost, ProgressDialogShowsCountsTimesAndTakesCancel) {
  InstalledQtHost q;
  ProgressRun run("過去株価を補充", "しばらくお待ち下さい。", 10);
  QDialog* dlg = q.host.ProgressDialog();
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(dlg->windowTitle(), u"過去株価を補充"_qs);
  EXPECT_EQ(dlg->findChild<QLabel*>(u"1104"_qs)->text(), u"--:--"_qs);
  EXPECT_TRUE(run.Step(3));
  EXPECT_EQ(dlg->findChild<QProgressBar*>(u"1035"_qs)->value(), 3);
  // The clock is the real one: a second may pass on a loaded machine.
  const QRegularExpression seconds(u"^0分0\\d秒$"_qs);
  EXPECT_TRUE(seconds.match(dlg->findChild<QLabel*>(u"1104"_qs)->text()).hasMatch());
  EXPECT_TRUE(seconds.match(dlg->findChild<QLabel*>(u"1055"_qs)->text()).hasMatch());
  run.SetText("あと少し");
  EXPECT_EQ(dlg->findChild<QLabel*>(u"1105"_qs)->text(), u"あと少し"_qs);
  // Cancel only raises the flag: the dialog stays until the work closes it.
  dlg->findChild<QPushButton*>()->click();
  EXPECT_FALSE(run.Step(4));
  EXPECT_TRUE(dlg->isVisible());
}

TEST(QtHost, ChoosesAFileThroughTheFiltersAndAFolder) {
  TempDir dir;
  QFile(QString::fromStdString(dir.File("y20261210.txt"))).open(QIODevice::WriteOnly);
  InstalledQtHost q;
  WhenShown(u"OPEN_FILE"_qs, [](QDialog* d) {
    auto* fd = static_cast<QFileDialog*>(d);
    EXPECT_EQ(fd->nameFilters().front(), u"Kivora1日分ファイル(y*.txt) (y*.txt)"_qs);
    fd->selectFile(u"y20261210.txt"_qs);
    d->accept();  // QFileDialog's own accept checks the choice
  });
  const std::string chosen = HostChooseOpenFile("開く", dir.path(), "Kivora1日分ファイル(y*.txt)|y*.txt|");
  EXPECT_EQ(chosen, dir.File("y20261210.txt"));
  WhenShown(u"CHOOSE_FOLDER"_qs, [](QDialog* d) { d->reject(); });
  EXPECT_EQ(HostChooseFolder("フォルダを選択して下さい", dir.path()), "");
  WhenShown(u"CHOOSE_FOLDER"_qs, [](QDialog* d) { d->accept(); });
  std::string folder = HostChooseFolder("フォルダを選択して下さい", dir.path());
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  std::string expected = dir.path();
  while (expected.size() > 1 && expected.back() == '/') expected.pop_back();
  EXPECT_EQ(folder, expected);
}

TEST(QtHost, PicturesGoToTheClipboardAndToAPdf) {
  InstalledQtHost q;
  HostImage img{4, 2, std::vector<uint32_t>(8, 0xFFFFFFFF)};
  img.pixels[1] = 0xFF0000FF;
  ASSERT_TRUE(HostSetClipboardImage(img));
  QImage got = QApplication::clipboard()->image();
  EXPECT_EQ(got.size(), QSize(4, 2));
  EXPECT_EQ(got.pixel(1, 0) & 0xFFFFFF, 0x0000FFu);
  img.monochrome = true;
  ASSERT_TRUE(HostSetClipboardImage(img));
  got = QApplication::clipboard()->image();
  EXPECT_EQ(got.pixel(1, 0) & 0xFFFFFF, 0u);      // blue is dark: black
  EXPECT_EQ(got.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);

  HostSetClipboardText("お気に入り");
  std::string text;
  ASSERT_TRUE(HostGetClipboardText(text));
  EXPECT_EQ(text, "お気に入り");

  TempDir dir;
  const QString pdf = QString::fromStdString(dir.File("chart.pdf"));
  q.host.SetPrintToFile(pdf);
  ASSERT_TRUE(HostPrintImage(img, "Kivora"));
  QFile f(pdf);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.read(5).startsWith("%PDF-"));
}

}  // namespace
