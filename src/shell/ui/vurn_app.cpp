#include "shell/ui/vurn_app.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QSocketNotifier>
#include <QWindow>
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
// window when main_only is set).
bool SaveScreenshot(const QString& file, bool main_only) {
  QRect area;
  QList<QWidget*> windows;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && !w->isMinimized() && (!main_only || w == MainWnd())) {
      windows.append(w);
      area |= w->geometry();
    }
  if (windows.isEmpty()) return false;
  QImage canvas(area.size(), QImage::Format_RGB32);
  canvas.fill(Qt::darkGray);
  QPainter p(&canvas);
  for (QWidget* w : windows) p.drawPixmap(w->geometry().topLeft() - area.topLeft(), w->grab());
  p.end();
  return canvas.save(file, "PNG");
}

// The screenshot run once the window stands: the picture's stock, bar period, colours,
// size, commands and keys, then the PNG, then the end. The run saves no settings, so
// nothing it changes reaches the user's files.
void TakeScreenshot(MainWindow* w, const ProgramOptions& opt) {
  QApplication::processEvents();
  if (opt.width > 0) w->resize(opt.width, opt.height);
  if (opt.scheme >= 0)
    for (const ClrEntry& c : ClrTable) *c.colour = c.scheme[opt.scheme];
  if (!opt.code.empty() && !SelectStockByCode(String_to_Code(opt.code.c_str())))
    std::fprintf(stderr, "Vurn: --code: no stock with the code %s\n", opt.code.c_str());
  if (opt.ashi) SetAshi(opt.ashi);
  QApplication::processEvents();
  TypeKeys(w, QString::fromStdString(opt.keys));
  for (int id : opt.commands) {
    OnCommand(id);
    QApplication::processEvents();
  }
  const QString file = QString::fromStdString(opt.screenshot);
  // A chart picture shows the main window alone, without the boxes of the start.
  if (!SaveScreenshot(file, opt.ChartShot()))
    std::fprintf(stderr, "Vurn: screenshot failed: %s\n", opt.screenshot.c_str());
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
  const bool screenshot = !opt.screenshot.empty();
  if (screenshot && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Caught from the start: a signal that comes while the window is still loading ends the
  // program as soon as the window stands.
  CatchTerminateSignals();

  QApplication app(argc, argv);
  InstallFontSubstitutions();
  WatchTerminateSignals(&app);
  const QString name = InstanceSocketName();

  // A start with options hands them to a running instance and ends.
  ParseStartOptions(opt.start_options.c_str());
  if (!opt.start_options.empty() && !screenshot && HandOffToRunningInstance(name, opt.start_options)) return 0;

  QtHost host;
  host.SetUnattended(screenshot);
  SetHost(&host);
  g_host = &host;
  fNoSaveAtEnd = screenshot ? 1 : 0;
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
      if (screenshot) QMetaObject::invokeMethod(&w, [&w, &opt] { TakeScreenshot(&w, opt); }, Qt::QueuedConnection);
      exit_code = app.exec();
    }
    // The orderly end when a signal, not the window, ended the loop.
    if (g_end_requested) {
      host.SetEnding(true);
      w.close();
      exit_code = 0;
    }
    window_ready = false;
    host.SetOwner(nullptr);
    StopInstanceServer();
  }
  g_host = nullptr;
  SetHost(nullptr);
  return exit_code;
}
