#include "shell/ui/vurn_app.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/qt/qt_codepage.h"
#include "platform/qt/qt_host.h"
#include "shell/command_line.h"
#include "shell/diagnostics.h"
#include "shell/shell_state.h"
#include "shell/ui/instance_handoff.h"
#include "shell/ui/main_window.h"

namespace {

int g_signal_pipe[2] = {-1, -1};

void OnTerminateSignal(int) {
  char c = 1;
  [[maybe_unused]] ssize_t n = write(g_signal_pipe[1], &c, 1);
}

// Renders every visible top-level window at its place into one image.
bool SaveScreenshot(const QString& file) {
  QRect area;
  QList<QWidget*> windows;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && !w->isMinimized()) {
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

void TypeKeys(QWidget* target, const QString& keys) {
  for (QChar ch : keys) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(target, &press);
    QApplication::processEvents();
  }
}

void SetWorkingDirectory() {
  char buf[260];
  if (getcwd(buf, sizeof buf)) SetCurrentDir(buf);
  else SetCurrentDir(".");
}

}  // namespace

int RunVurn(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);
  QString screenshot, keys;
  std::string options;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--screenshot" && i + 1 < argc) screenshot = QString::fromLocal8Bit(argv[++i]);
    else if (a == "--keys" && i + 1 < argc) keys = QString::fromLocal8Bit(argv[++i]);
    else options += (options.empty() ? "" : " ") + a;
  }
  if (!screenshot.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");

  QApplication app(argc, argv);
  InstallFontSubstitutions();
  const QString name = InstanceSocketName();

  // A start with options hands them to a running instance and ends.
  if (ParseStartOptions(options.c_str()) > 0 && screenshot.isEmpty() &&
      HandOffToRunningInstance(name, options))
    return 0;

  QtHost host;
  host.SetUnattended(!screenshot.isEmpty());
  SetHost(&host);
  SetWorkingDirectory();

  // SIGTERM and the desktop's session end close the program as the exit command does. The
  // signal is caught from the start; one that comes while the window is still loading closes
  // it as soon as it stands.
  static bool window_ready = false, close_pending = false;
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, g_signal_pipe) == 0) {
    auto* notifier = new QSocketNotifier(g_signal_pipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
      char c;
      [[maybe_unused]] ssize_t n = read(g_signal_pipe[0], &c, 1);
      if (window_ready && MainWnd()) MainWnd()->close();
      else close_pending = true;
    });
    std::signal(SIGTERM, OnTerminateSignal);
    std::signal(SIGINT, OnTerminateSignal);
  }

  int exit_code;
  {
    MainWindow w;
    window_ready = true;
    host.SetOwner(&w);
    StartInstanceServer(name, [](const std::string& text) {
      if (MainWindow* m = MainWnd()) {
        if (m->isMinimized()) m->showNormal();
        m->raise();
        m->activateWindow();
      }
      TakeHandedOffOptions(text.c_str());
    });
    if (close_pending) QTimer::singleShot(0, &w, [&w] { w.close(); });

    QObject::connect(&app, &QGuiApplication::commitDataRequest, &w, [&w] { w.close(); });

    w.show();
    PostStartCommands();

    if (!screenshot.isEmpty()) {
      QTimer::singleShot(0, &w, [&w, screenshot, keys] {
        QApplication::processEvents();
        TypeKeys(&w, keys);
        QApplication::processEvents();
        bool ok = SaveScreenshot(screenshot);
        if (!ok) std::fprintf(stderr, "screenshot failed: %s\n", screenshot.toLocal8Bit().constData());
        w.close();
      });
    }
    exit_code = app.exec();
    window_ready = false;
    host.SetOwner(nullptr);
    StopInstanceServer();
  }
  SetHost(nullptr);
  return exit_code;
}
