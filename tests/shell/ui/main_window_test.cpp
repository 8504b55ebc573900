#include "shell/ui/main_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include "platform/command_ids.h"
#include "shell/command_line.h"
#include "platform/diagnostics.h"
#include "shell/shell_state.h"
#include "shell/ui/instance_handoff.h"
#include "shell/ui/prt_window.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

void TypeChar(QWidget* w, const QString& ch) {
  QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, ch);
  QApplication::sendEvent(w, &press);
}

TEST(MainWindow, TitleSizeAndDiagnosticWindowByKey) {
  TempDir dir;
  WriteFixtureDatabase(3, 10);  // start-up stops without a database
  ScriptedHost host;
  MainWindow w;
  EXPECT_EQ(w.windowTitle(), u"Kivora"_qs);
  EXPECT_EQ(w.size(), QSize(760, 580));
  w.show();
  TypeChar(&w, u"p"_qs);
  ASSERT_EQ(host.posted, std::vector<int>{IDM_PRT_WINDOW});
  host.RunPosted();
  ASSERT_NE(OpenPrtWindow(), nullptr);
  EXPECT_EQ(OpenPrtWindow()->windowTitle(), u"情報表示"_qs);
  // The history is drawn white on navy.
  QImage img = OpenPrtWindow()->grab().toImage();
  EXPECT_EQ(img.pixelColor(5, 5), QColor(0, 0, 128));
  // A second "p" closes it again.
  TypeChar(&w, u"p"_qs);
  host.RunPosted();
  EXPECT_EQ(OpenPrtWindow(), nullptr);
}

// A second process started with options hands them to the running instance and ends.
TEST(InstanceHandoff, SecondStartPassesOptionsAndEnds) {
  ScriptedHost host;
  const QString name = u"kivora-test-"_qs + QString::number(QCoreApplication::applicationPid());
  std::vector<std::string> received;
  ASSERT_TRUE(StartInstanceServer(name, [&](const std::string& text) {
    received.push_back(text);
    TakeHandedOffOptions(text.c_str());
  }));
  QProcess second;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(u"KIVORA_INSTANCE_NAME"_qs, name);
  env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
  second.setProcessEnvironment(env);
  second.start(QString::fromUtf8(VURN_BINARY_DIR "/Vurn"), {u"-C7203"_qs, u"-D2"_qs});
  ASSERT_TRUE(second.waitForStarted(5000));
  QElapsedTimer t;
  t.start();
  while (second.state() != QProcess::NotRunning && t.elapsed() < 20000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    second.waitForFinished(20);
  }
  ASSERT_EQ(second.state(), QProcess::NotRunning);
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0], "-C7203 -D2");
  EXPECT_EQ(host.posted, (std::vector<int>{17203, IDM_ASHI_WEEKLY}));
  StartCode = StartAshi = 0;
  StopInstanceServer();
}

}  // namespace

namespace {

// SIGTERM closes the program as the exit command does: an orderly end with exit code 0.
TEST(MainWindowProcess, TerminateSignalEndsOrderly) {
  TempDir dir;
  WriteFixtureDatabase(3, 10);
  QProcess vurn;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(u"KIVORA_INSTANCE_NAME"_qs, u"kivora-term-"_qs + QString::number(QCoreApplication::applicationPid()));
  env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
  vurn.setProcessEnvironment(env);
  vurn.setWorkingDirectory(QString::fromStdString(dir.path()));
  vurn.start(QString::fromUtf8(VURN_BINARY_DIR "/Vurn"), {});
  ASSERT_TRUE(vurn.waitForStarted(5000));
  // Wait until it is up (it listens for hand-offs once its window exists).
  QThread::msleep(1500);
  vurn.terminate();
  ASSERT_TRUE(vurn.waitForFinished(20000));
  EXPECT_EQ(vurn.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(vurn.exitCode(), 0);
}

}  // namespace
