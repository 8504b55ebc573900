#include "shell/ui/vurn_app.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QSocketNotifier>
#include <QWindow>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

#include "chart/chart_settings.h"
#include "chart/chart_view.h"
#include "db/stock_code.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/host.h"
#include "platform/program_version.h"
#include "platform/qt/qt_codepage.h"
#include "platform/qt/qt_translations.h"
#include "platform/qt/qt_host.h"
#include "platform/working_folder.h"
#include "shell/command_line.h"
#include "shell/shell_commands.h"
#include "shell/shell_state.h"
#include "shell/ui/instance_handoff.h"
#include "shell/ui/main_window.h"

namespace {

int g_signal_pipe[2] = {-1, -1};
QtHost* g_host = nullptr;
bool g_end_requested = false;

void OnTerminateSignal(int) {
  char c = 1;
  [[maybe_unused]] ssize_t n = write(g_signal_pipe[1], &c, 1);
}

// SIGTERM and SIGINT only write a byte; the loop that runs next (the main loop, or the
// loop of a modal box) reads it and ends the program in order.
void CatchTerminateSignals() {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signal_pipe) != 0) return;
  std::signal(SIGTERM, OnTerminateSignal);
  std::signal(SIGINT, OnTerminateSignal);
}

void WatchTerminateSignals(QApplication* app) {
  if (g_signal_pipe[0] < 0) return;
  auto* notifier = new QSocketNotifier(g_signal_pipe[0], QSocketNotifier::Read, app);
  QObject::connect(notifier, &QSocketNotifier::activated, app, [] {
    char c;
    [[maybe_unused]] ssize_t n = read(g_signal_pipe[0], &c, 1);
    RequestOrderlyEnd();
  });
}

// Renders every visible top-level window at its place into one image (only the main
// window, and `over` when given, when main_only is set).
bool SaveScreenshot(const QString& file, bool main_only, QWidget* over = nullptr) {
  QRect area;
  QList<QWidget*> windows;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && !w->isMinimized() && (!main_only || w == MainWnd() || w == over)) {
      windows.append(w);
      area |= w->geometry();
    }
  if (windows.isEmpty()) return false;
  // Drawn from the bottom: the main window first, the dialog of the moment last.
  std::stable_partition(windows.begin(), windows.end(), [](QWidget* w) { return w == MainWnd(); });
  if (over) std::stable_partition(windows.begin(), windows.end(), [over](QWidget* w) { return w != over; });
  QImage canvas(area.size(), QImage::Format_RGB32);
  canvas.fill(Qt::darkGray);
  QPainter p(&canvas);
  for (QWidget* w : windows) p.drawPixmap(w->geometry().topLeft() - area.topLeft(), w->grab());
  p.end();
  return canvas.save(file, "PNG");
}

// The state of the unattended run between its steps.
struct UnattendedRun {
  const ProgramOptions* opt = nullptr;
  bool last_step = false;     // the last command (or the keys, without commands) is running
  bool dialog_shot = false;   // the picture was taken over a dialog of that step
  bool failed = false;        // the picture or the PDF was not written
};
UnattendedRun g_run;

void ShotFailed() {
  std::fprintf(stderr, "Vurn: screenshot failed: %s\n", g_run.opt->screenshot.c_str());
  g_run.failed = true;
}

// A modal dialog of the run, just before it is closed with Cancel: the dialog of the last
// step is the picture, drawn over the main window.
void OnUnattendedDialog(QDialog* dialog) {
  if (!g_run.opt || g_run.opt->screenshot.empty() || !g_run.last_step) return;
  if (!SaveScreenshot(QString::fromStdString(g_run.opt->screenshot), g_run.opt->ChartShot(), dialog)) ShotFailed();
  g_run.dialog_shot = true;
}

// The screenshot run once the window stands: the picture's stock, bar period, colours,
// size, keys and commands, then the PNG and the PDF, then the end. The run saves no
// settings, so nothing it changes reaches the user's files.
void TakeScreenshot(MainWindow* w, const ProgramOptions& opt, QtHost* host) {
  g_run.opt = &opt;
  QApplication::processEvents();
  if (opt.width > 0) w->resize(opt.width, opt.height);
  if (opt.scheme >= 0)
    for (const ClrEntry& c : ClrTable) *c.colour = c.scheme[opt.scheme];
  if (!opt.code.empty() && !SelectStockByCode(String_to_Code(opt.code.c_str())))
    std::fprintf(stderr, "Vurn: --code: no stock with the code %s\n", opt.code.c_str());
  if (opt.ashi) SetAshi(opt.ashi);
  QApplication::processEvents();
  g_run.last_step = opt.commands.empty();
  TypeKeys(w, QString::fromStdString(opt.keys));
  for (size_t i = 0; i < opt.commands.size(); ++i) {
    g_run.last_step = i + 1 == opt.commands.size();
    OnCommand(opt.commands[i]);
    QApplication::processEvents();
  }
  g_run.last_step = false;
  // A chart picture shows the main window alone, without the boxes of the start.
  if (!opt.screenshot.empty() && !g_run.dialog_shot &&
      !SaveScreenshot(QString::fromStdString(opt.screenshot), opt.ChartShot()))
    ShotFailed();
  if (!opt.print_pdf.empty()) {
    host->SetPrintToFile(QString::fromStdString(opt.print_pdf));
    OnCommand(IDM_PRINT);
    QApplication::processEvents();
    if (!host->PrintedToFile()) {
      std::fprintf(stderr, "Vurn: --print-pdf: the chart could not be printed to %s\n", opt.print_pdf.c_str());
      g_run.failed = true;
    }
    host->SetPrintToFile(QString());
  }
  w->close();
}

void SetWorkingDirectory() {
  char buf[4096];
  if (getcwd(buf, sizeof buf)) SetCurrentDir(buf);
  else SetCurrentDir(".");
}

}  // namespace

void TypeKeys(QWidget* window, const QString& keys) {
  QWindow* target = window->windowHandle();
  for (QChar ch : keys) {
    int key;
    QString text(ch);
    switch (ch.unicode()) {
      case ' ': key = Qt::Key_Space; break;
      case '\b': key = Qt::Key_Backspace; break;
      case '\t': key = Qt::Key_Tab; break;
      case '\r':
      case '\n':
        key = Qt::Key_Return;
        text = u"\r"_qs;
        break;
      case 0x1b: key = Qt::Key_Escape; break;
      default:
        // Qt's codes of the printable ASCII keys are the characters themselves, letters in
        // upper case.
        key = ch.unicode() > 0x20 && ch.unicode() < 0x7F ? static_cast<int>(ch.toUpper().unicode()) : static_cast<int>(Qt::Key_unknown);
        break;
    }
    const Qt::KeyboardModifiers mods = ch.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    if (target) QApplication::sendEvent(target, &press);
    else QApplication::sendEvent(window, &press);
    QApplication::processEvents();
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    if (target) QApplication::sendEvent(target, &release);
    else QApplication::sendEvent(window, &release);
    QApplication::processEvents();
  }
}

void RequestOrderlyEnd() {
  g_end_requested = true;
  // Boxes shown from now on answer at once; the loops of those already open, and every
  // loop started later, return, so control comes back to RunVurn, which closes the window.
  if (g_host) g_host->SetEnding(true);
  QCoreApplication::exit(0);
}

int RunVurn(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);
  ProgramOptions opt;
  std::string error;
  if (!ParseProgramOptions(argc, argv, &opt, &error)) {
    std::fprintf(stderr, "Vurn: %s\n(Vurn --help lists the options)\n", error.c_str());
    return 2;
  }
  if (opt.help) {
    std::fputs(ProgramUsageText().c_str(), stdout);
    return 0;
  }
  if (opt.version) {
    std::printf("%s\n", PROGRAM_VERSION);
    return 0;
  }
  const bool unattended = opt.Unattended();
  if (unattended && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Caught from the start: a signal that comes while the window is still loading ends the
  // program as soon as the window stands.
  CatchTerminateSignals();

  QApplication app(argc, argv);
  InstallFontSubstitutions();
  InstallJapaneseTranslations(&app);
  WatchTerminateSignals(&app);
  const QString name = InstanceSocketName();

  // A start with options hands them to a running instance and ends.
  ParseStartOptions(opt.start_options.c_str());
  if (!opt.start_options.empty() && !unattended && HandOffToRunningInstance(name, opt.start_options)) return 0;

  QtHost host;
  if (unattended) host.SetUnattended(true, OnUnattendedDialog);
  SetHost(&host);
  g_host = &host;
  fNoSaveAtEnd = unattended ? 1 : 0;
  SetWorkingDirectory();

  // Listening from before the window is built, so that a start with options during the
  // boxes of this start reaches this instance; options that come before the window stands
  // are posted with this start's own once it does.
  static bool window_ready = false;
  StartInstanceServer(name, [](const std::string& text) {
    if (!window_ready) {
      ParseStartOptions(text.c_str());
      return;
    }
    if (MainWindow* m = MainWnd()) {
      if (m->isMinimized()) m->showNormal();
      m->raise();
      m->activateWindow();
    }
    TakeHandedOffOptions(text.c_str());
  });

  int exit_code = 0;
  {
    MainWindow w;
    window_ready = true;
    host.SetOwner(&w);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &w, [] { RequestOrderlyEnd(); });
    w.show();
    if (!g_end_requested) {
      PostStartCommands();
      // The cross window comes back when it was open at the last exit.
      if (CrossView) HostPostCommand(IDM_CROSS_CURSOR);
      if (unattended)
        QMetaObject::invokeMethod(&w, [&w, &opt, &host] { TakeScreenshot(&w, opt, &host); }, Qt::QueuedConnection);
      exit_code = app.exec();
    }
    // The orderly end when a signal, not the window, ended the loop.
    if (g_end_requested) {
      host.SetEnding(true);
      w.close();
      exit_code = 0;
    }
    if (g_run.failed && exit_code == 0) exit_code = 1;
    window_ready = false;
    host.SetOwner(nullptr);
    StopInstanceServer();
  }
  g_host = nullptr;
  g_run = UnattendedRun{};
  host.SetUnattended(false);
  SetHost(nullptr);
  return exit_code;
}
