#include "shell/ui/main_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QImage>
#include <QLocalSocket>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "shell/command_line.h"
#include "platform/diagnostics.h"
#include "platform/hooks.h"
#include "shell/shell_state.h"
#include "shell/ui/instance_handoff.h"
#include "shell/ui/prt_window.h"
#include "shell/ui/vurn_app.h"
#include "db/database_upgrade.h"
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

// The timed download asks how many main windows are open: the window counts itself and
// every other top-level "MIRELO" titled "Kivora", and takes the question back when it goes.
TEST(MainWindow, CountsMainWindowsAndTakesItsHooksAwayWithIt) {
  TempDir dir;
  WriteFixtureDatabase(3, 10);
  ScriptedHost host;
  {
    MainWindow w;
    EXPECT_NE(BackfillDialog, nullptr);
    EXPECT_NE(BackfillFeature, nullptr);
    ASSERT_NE(CountMainWindowsHook, nullptr);
    EXPECT_EQ(CountMainWindowsHook(), 1);
    QWidget other;
    other.setObjectName(u"MIRELO"_qs);
    EXPECT_EQ(CountMainWindowsHook(), 1);  // no title
    other.setWindowTitle(u"Kivora"_qs);
    EXPECT_EQ(CountMainWindowsHook(), 2);
  }
  EXPECT_EQ(CountMainWindowsHook, nullptr);
  // The dialogs and update features go with the window: nothing opens ownerless later.
  EXPECT_EQ(BackfillDialog, nullptr);
  EXPECT_EQ(BackfillFeature, nullptr);
  EXPECT_EQ(DeletionFeature, nullptr);
}

// Typed keys go through the window's own key handling: a blank is Space (next stock), a
// backspace Backspace (previous stock), "p" the diagnostic window.
TEST(MainWindow, TypedKeysReachTheKeyHandling) {
  TempDir dir;
  WriteFixtureDatabase(3, 10);
  ScriptedHost host;
  MainWindow w;
  w.show();
  TypeKeys(&w, u" \bp"_qs);
  EXPECT_EQ(host.posted, (std::vector<int>{IDM_NEXT_STOCK, IDM_PREV_STOCK, IDM_PRT_WINDOW}));
}

// A refused calendar leaves the program running over an empty one: the chart, the stock
// stepping and the bar periods show nothing and stop nowhere.
TEST(MainWindow, EmptyCalendarIsShownWithoutBars) {
  TempDir dir;
  ResetDatabaseState();
  WriteFixtureDatabase(3, 10);
  const int32_t twice = FixtureCalendar(10)[3];
  std::string bytes = ReadFileRange(dir.File(DB_FILE), 0, static_cast<size_t>(DB_HEADER_SIZE));
  std::memcpy(&bytes[20 + 4 * 4], &twice, 4);  // day 4 repeats day 3
  {
    std::FILE* f = std::fopen(dir.File(DB_FILE).c_str(), "r+b");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  ScriptedHost host;
  host.Answer(IDOK, "データベースの読みこみ失敗");
  {
    MainWindow w;
    w.show();
    EXPECT_EQ(LastDate, 0);
    for (int id : {IDM_NEXT_STOCK, IDM_ASHI_WEEKLY, IDM_PREV_STOCK, IDM_ASHI_MONTHLY, IDM_ASHI_DAILY}) {
      OnCommand(id);
      host.RunPosted();
      EXPECT_FALSE(w.grab().isNull()) << id;
    }
  }
  ResetDatabaseState();
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

// A Vurn process in a test folder, on the offscreen platform, with its own hand-off name.
class VurnProcess {
 public:
  explicit VurnProcess(const std::string& dir) {
    name_ = u"kivora-proc-"_qs + QString::number(QCoreApplication::applicationPid()) + u"-"_qs +
            QString::number(++count_);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"KIVORA_INSTANCE_NAME"_qs, name_);
    env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(QString::fromStdString(dir));
  }
  ~VurnProcess() {
    if (p.state() != QProcess::NotRunning) {
      p.kill();
      p.waitForFinished(5000);
    }
  }
  bool Start(const QStringList& args = {}) {
    p.start(QString::fromUtf8(VURN_BINARY_DIR "/Vurn"), args);
    return p.waitForStarted(5000);
  }
  // Waits until the process answers on its hand-off socket, which it does only from a
  // running event loop: the loop of its first box, or the main loop.
  bool WaitForEventLoop(int timeout_ms = 60000) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeout_ms && p.state() == QProcess::Running) {
      QLocalSocket sock;
      sock.connectToServer(name_);
      if (sock.waitForConnected(1000)) {
        sock.write("\n");
        sock.waitForBytesWritten(1000);
        while (!sock.canReadLine() && sock.waitForReadyRead(timeout_ms)) {
        }
        if (sock.readLine().startsWith("ok")) return true;
      }
      p.waitForFinished(100);
    }
    return false;
  }
  // Sends SIGTERM; the milliseconds until the process ended, or -1.
  qint64 Terminate(int timeout_ms = 20000) {
    QElapsedTimer t;
    t.start();
    p.terminate();
    if (!p.waitForFinished(timeout_ms)) return -1;
    return t.elapsed();
  }
  QProcess p;

 private:
  QString name_;
  static inline int count_ = 0;
};

// SIGTERM ends the program in order from wherever it is: a box open at start-up is
// answered as closed (OK; "いいえ" for the question before price history is replaced), then
// the window closes and the settings are saved, within a second or two.
TEST(MainWindowProcess, TerminateSignalEndsOrderly) {
  enum Setup { SAMPLE_NOTICE, QUESTION, RUNNING };
  for (Setup setup : {SAMPLE_NOTICE, QUESTION, RUNNING}) {
    SCOPED_TRACE(setup);
    TempDir dir;
    if (setup == SAMPLE_NOTICE) {
      WriteFixtureDatabase(FixtureDatabase{.file = SAMPLE_DB_FILE});
      WriteFixtureTag(3);
    } else {
      WriteFixtureDatabase(3, 10);
    }
    if (setup == QUESTION) {
      // A master file of another edition: every slot holds another stock's prices.
      std::vector<Fundamental> other = FixtureStocks(3);
      for (int n = 0; n < 3; ++n) other[static_cast<size_t>(n)].code = 8000 + n;
      WriteFixtureTag(other);
    }
    const size_t used = static_cast<size_t>(DbRecordOffset(3));  // header and the records in use
    const std::string db_before = ReadFileRange(dir.File(DB_FILE), 0, used);
    VurnProcess vurn(dir.path());
    ASSERT_TRUE(vurn.Start());
    ASSERT_TRUE(vurn.WaitForEventLoop());
    const qint64 ms = vurn.Terminate();
    ASSERT_GE(ms, 0) << "SIGTERM did not end the program";
    EXPECT_LT(ms, 4000);
    EXPECT_EQ(vurn.p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(vurn.p.exitCode(), 0) << vurn.p.readAllStandardError().toStdString();
    // The orderly end saved the settings; the question was answered "いいえ".
    EXPECT_NE(ReadFileBytes(dir.File("mirelo.ini")), "");
    EXPECT_EQ(ReadFileRange(dir.File(DB_FILE), 0, used), db_before);
    EXPECT_EQ(::access(dir.File(DB_BACKUP_FILE).c_str(), F_OK), -1);
  }
}

// In an empty folder the start stops at its box (no database); a SIGTERM there answers
// the box and the program ends at once, as after OK, without writing anything.
TEST(MainWindowProcess, TerminateSignalInAnEmptyFolder) {
  TempDir dir;
  VurnProcess vurn(dir.path());
  ASSERT_TRUE(vurn.Start());
  ASSERT_TRUE(vurn.WaitForEventLoop());
  const qint64 ms = vurn.Terminate();
  ASSERT_GE(ms, 0) << "SIGTERM did not end the program";
  EXPECT_LT(ms, 4000);
  EXPECT_EQ(vurn.p.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(vurn.p.exitCode(), 1);  // the fatal-error stop of a start without a database
  EXPECT_EQ(ReadFileBytes(dir.File("mirelo.ini")), "");
}

// --help and --version print and end; an unknown option or a bad value is named on
// standard error with exit code 2; none of them starts the window (in an empty folder a
// start would stop at a box and never end by itself).
TEST(MainWindowProcess, InformationalAndBadOptionsEndWithoutAWindow) {
  TempDir dir;
  struct Case {
    QStringList args;
    int exit_code;
    const char* out;
    const char* err;
  } cases[] = {
      {{u"--help"_qs}, 0, "--screenshot FILE", ""},
      {{u"--version"_qs}, 0, "Kivora 3.74 2026/10/31\n", ""},
      {{u"--frobnicate"_qs}, 2, "", "'--frobnicate'"},
      {{u"-D7"_qs}, 2, "", "-D: "},
      {{u"--ashi"_qs, u"5"_qs, u"--size"_qs, u"800x500"_qs}, 2, "", "--ashi: "},
  };
  for (const Case& c : cases) {
    VurnProcess vurn(dir.path());
    ASSERT_TRUE(vurn.Start(c.args));
    ASSERT_TRUE(vurn.p.waitForFinished(20000)) << c.args.join(u' ').toStdString();
    const std::string out = vurn.p.readAllStandardOutput().toStdString();
    const std::string err = vurn.p.readAllStandardError().toStdString();
    EXPECT_EQ(vurn.p.exitCode(), c.exit_code) << c.args.join(u' ').toStdString() << err;
    EXPECT_NE(out.find(c.out), std::string::npos) << out;
    EXPECT_NE(err.find(c.err), std::string::npos) << err;
    EXPECT_EQ(err.find("--size"), std::string::npos) << err;  // a valid value is not blamed
  }
}

// A screenshot run leaves the user's settings byte for byte, whatever its commands changed.
TEST(MainWindowProcess, ScreenshotRunSavesNoSettings) {
  TempDir dir;
  WriteFixtureDatabase(3, 10);
  WriteFileBytes(dir.File("mirelo.ini"), "[SETTEI0]\r\nCandleHaba=8\r\n");
  const std::string before = ReadFileBytes(dir.File("mirelo.ini"));
  VurnProcess vurn(dir.path());
  ASSERT_TRUE(vurn.Start({u"--screenshot"_qs, QString::fromStdString(dir.File("s.png")), u"--commands"_qs,
                          u"40086,40086"_qs, u"--size"_qs, u"640x480"_qs}));
  ASSERT_TRUE(vurn.p.waitForFinished(60000));
  EXPECT_EQ(vurn.p.exitCode(), 0) << vurn.p.readAllStandardError().toStdString();
  EXPECT_EQ(QImage(QString::fromStdString(dir.File("s.png"))).size().width(), 640);
  EXPECT_EQ(ReadFileBytes(dir.File("mirelo.ini")), before);
  EXPECT_EQ(ReadFileBytes(dir.File("mirelo.in2")), "");
}

// A screenshot run on a folder that would ask the one-time repair after a version change (the
// settings name no version, the calendar ends before December 2024) changes no price, however
// often it runs: nobody is there to answer, and it saves no settings to stop the next ask.
TEST(MainWindowProcess, ScreenshotRunNeverRepairsPrices) {
  TempDir dir;
  WriteEtfFaultDatabase(3, 60);
  const std::string before = ReadFileBytes(dir.File("vurn.hy3"));
  for (int run = 0; run < 2; ++run) {
    VurnProcess vurn(dir.path());
    ASSERT_TRUE(vurn.Start({u"--screenshot"_qs, QString::fromStdString(dir.File("s.png"))}));
    ASSERT_TRUE(vurn.p.waitForFinished(60000));
    EXPECT_EQ(vurn.p.exitCode(), 0) << vurn.p.readAllStandardError().toStdString();
    EXPECT_EQ(ReadFileBytes(dir.File("vurn.hy3")), before) << "run " << run;
  }
}

// Runs Vurn in `dir` with these arguments and waits for its end, at most a minute; the
// picture it wrote (null when none).
QImage RunUnattended(const TempDir& dir, const QStringList& args) {
  VurnProcess vurn(dir.path());
  if (!vurn.Start(args)) return {};
  const bool ended = vurn.p.waitForFinished(60000);
  EXPECT_TRUE(ended) << "the run waits in a dialog";
  EXPECT_EQ(vurn.p.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(vurn.p.exitCode(), 0) << vurn.p.readAllStandardError().toStdString();
  return QImage(QString::fromStdString(dir.File("s.png")));
}

// A run with nobody at the screen never waits in a dialog: the settings, print and today's
// download dialogs are shown, closed with Cancel, and the run writes its picture, with the
// dialog over the main window, and ends without touching the settings or the database.
TEST(MainWindowProcess, UnattendedRunClosesModalDialogs) {
  TempDir dir;
  WriteFixtureDatabase(3, 10);
  WriteFileBytes(dir.File("mirelo.ini"), "[SETTEI0]\r\nCandleHaba=8\r\n");
  const std::string ini = ReadFileBytes(dir.File("mirelo.ini"));
  const std::string db = ReadFileBytes(dir.File(DB_FILE));
  const QString shot = QString::fromStdString(dir.File("s.png"));
  const QImage chart = RunUnattended(dir, {u"--screenshot"_qs, shot, u"--size"_qs, u"640x480"_qs});
  ASSERT_EQ(chart.size(), QSize(640, 480));
  for (int command : {IDM_SETTINGS, IDM_PRINT, IDM_TODAY_DOWNLOAD}) {
    for (bool chart_shot : {false, true}) {
      SCOPED_TRACE(testing::Message() << command << (chart_shot ? " chart" : ""));
      QFile::remove(shot);
      QStringList args = {u"--screenshot"_qs, shot, u"--commands"_qs, QString::number(command)};
      if (chart_shot) args << u"--size"_qs << u"640x480"_qs;
      const QImage picture = RunUnattended(dir, args);
      EXPECT_FALSE(picture.isNull());
      // The dialog is drawn over the chart.
      if (chart_shot) EXPECT_NE(picture.convertToFormat(chart.format()), chart);
      EXPECT_EQ(ReadFileBytes(dir.File("mirelo.ini")), ini);
      EXPECT_EQ(ReadFileBytes(dir.File(DB_FILE)), db);
    }
  }
}

// --print-pdf prints the chart as the print command does, to a PDF, without a dialog; a PDF
// that cannot be written is named on standard error with exit code 1.
TEST(MainWindowProcess, PrintPdfWritesTheChart) {
  TempDir dir;
  WriteFixtureDatabase(3, 10);
  const std::string ini = ReadFileBytes(dir.File("mirelo.ini"));
  {
    VurnProcess vurn(dir.path());
    ASSERT_TRUE(vurn.Start({u"--print-pdf"_qs, QString::fromStdString(dir.File("c.pdf")), u"--size"_qs, u"640x480"_qs}));
    ASSERT_TRUE(vurn.p.waitForFinished(60000));
    EXPECT_EQ(vurn.p.exitCode(), 0) << vurn.p.readAllStandardError().toStdString();
    EXPECT_EQ(ReadFileBytes(dir.File("c.pdf")).substr(0, 4), "%PDF");
    EXPECT_EQ(ReadFileBytes(dir.File("mirelo.ini")), ini);
  }
  {
    VurnProcess vurn(dir.path());
    ASSERT_TRUE(vurn.Start({u"--print-pdf"_qs, QString::fromStdString(dir.File("no/such/folder/c.pdf"))}));
    ASSERT_TRUE(vurn.p.waitForFinished(60000));
    EXPECT_EQ(vurn.p.exitCode(), 1);
    EXPECT_NE(vurn.p.readAllStandardError().toStdString().find("--print-pdf"), std::string::npos);
  }
}

}  // namespace
