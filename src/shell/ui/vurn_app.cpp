#include "shell/ui/vurn_app.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <iterator>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

#include "chart/chart_settings.h"
#include "chart/chart_view.h"
#include "chart/view_shihyo.h"
#include "db/stock_code.h"
#include "platform/qt/qt_codepage.h"
#include "platform/qt/qt_host.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/host.h"
#include "shell/command_line.h"
#include "shell/shell_commands.h"
#include "platform/diagnostics.h"
#include "platform/working_folder.h"
#include "shell/ui/instance_handoff.h"
#include "shell/ui/main_window.h"

namespace {

int g_signal_pipe[2] = {-1, -1};

void OnTerminateSignal(int) {
  char c = 1;
  [[maybe_unused]] ssize_t n = write(g_signal_pipe[1], &c, 1);
}

// Renders every visible top-level window at its place into one image (only the main
// window when main_only is set).
bool SaveScreenshot(const QString& file, bool main_only = false) {
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

void TypeKeys(QWidget* target, const QString& keys) {
  for (QChar ch : keys) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(target, &press);
    QApplication::processEvents();
  }
}

// What a screenshot shows besides the start state: a stock, a bar period, a colour scheme
// and a window size. The chart state is put back before the window closes, so the
// settings saved at the end are the user's own.
struct ShotOptions {
  QString code;
  int ashi = 0;
  int scheme = -1;
  QSize size;
};

// 0, 1, 2 for "黒"/"kuro", "白"/"shiro", "紺"/"kon" (or the digit); -1 otherwise.
int SchemeIndex(const QString& name) {
  if (name == u"黒"_qs || name == u"kuro"_qs || name == u"0"_qs) return 0;
  if (name == u"白"_qs || name == u"shiro"_qs || name == u"1"_qs) return 1;
  if (name == u"紺"_qs || name == u"kon"_qs || name == u"2"_qs) return 2;
  return -1;
}

bool ParseShotOption(const std::string& a, const char* value, ShotOptions* shot, bool* bad) {
  const QString v = QString::fromLocal8Bit(value);
  if (a == "--code") {
    shot->code = v;
  } else if (a == "--ashi") {
    shot->ashi = v.toInt();
    if (shot->ashi < 1 || shot->ashi > 3) *bad = true;
  } else if (a == "--scheme") {
    shot->scheme = SchemeIndex(v);
    if (shot->scheme < 0) *bad = true;
  } else if (a == "--size") {
    const QStringList wh = v.split(u'x');
    if (wh.size() == 2) shot->size = QSize(wh[0].toInt(), wh[1].toInt());
    if (shot->size.width() < 1 || shot->size.height() < 1) *bad = true;
  } else {
    return false;
  }
  if (*bad) std::fprintf(stderr, "bad value for %s: %s\n", a.c_str(), value);
  return true;
}

void SetWorkingDirectory() {
  char buf[260];
  if (getcwd(buf, sizeof buf)) SetCurrentDir(buf);
  else SetCurrentDir(".");
}

}  // namespace

int RunVurn(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);
  QString screenshot, keys, commands;
  ShotOptions shot;
  bool bad_option = false;
  std::string options;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--screenshot" && i + 1 < argc) screenshot = QString::fromLocal8Bit(argv[++i]);
    else if (a == "--keys" && i + 1 < argc) keys = QString::fromLocal8Bit(argv[++i]);
    else if (a == "--commands" && i + 1 < argc) commands = QString::fromLocal8Bit(argv[++i]);
    else if (i + 1 < argc && ParseShotOption(a, argv[i + 1], &shot, &bad_option)) ++i;
    else options += (options.empty() ? "" : " ") + a;
  }
  if (bad_option) return 2;
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
    // The cross window comes back when it was open at the last exit.
    if (CrossView) HostPostCommand(IDM_CROSS_CURSOR);

    if (!screenshot.isEmpty()) {
      QTimer::singleShot(0, &w, [&w, screenshot, keys, commands, shot] {
        QApplication::processEvents();
        const QRect geometry = w.geometry();
        const int ashi = AshiFlag;
        int32_t colours[CLR_COUNT];
        for (int i = 0; i < CLR_COUNT; ++i) colours[i] = *ClrTable[i].colour;
        if (shot.size.isValid()) w.resize(shot.size);
        if (shot.scheme >= 0)
          for (const ClrEntry& c : ClrTable) *c.colour = c.scheme[shot.scheme];
        if (!shot.code.isEmpty() && !SelectStockByCode(String_to_Code(ToCp932(shot.code).c_str())))
          std::fprintf(stderr, "no stock with the code %s\n", shot.code.toLocal8Bit().constData());
        if (shot.ashi) SetAshi(shot.ashi);
        QApplication::processEvents();
        TypeKeys(&w, keys);
        QApplication::processEvents();
        // Commands for the picture (indicator and overlay toggles); the panes and overlays
        // of the settings are put back afterwards.
        int saved_flags[VIEW_FLAG_COUNT];
        for (int i = 0; i < VIEW_FLAG_COUNT; ++i) saved_flags[i] = *ViewFlags[i].flag;
        const int saved_share = DekiHabaRitu;
        int saved_list[VIEW_SHIHYO_MAX];
        const int saved_n = nViewShihyo;
        std::copy(ViewShihyo, ViewShihyo + VIEW_SHIHYO_MAX, saved_list);
        for (const QString& id : commands.split(u',', Qt::SkipEmptyParts)) {
          OnCommand(id.trimmed().toInt());
          QApplication::processEvents();
        }
        // A chart picture shows the main window alone, without the boxes of the start.
        const bool chart_shot = !shot.code.isEmpty() || shot.ashi || shot.scheme >= 0 || shot.size.isValid();
        bool ok = SaveScreenshot(screenshot, chart_shot);
        if (!ok) std::fprintf(stderr, "screenshot failed: %s\n", screenshot.toLocal8Bit().constData());
        for (int i = 0; i < CLR_COUNT; ++i) *ClrTable[i].colour = colours[i];
        AshiFlag = ashi;
        if (!commands.isEmpty()) {
          for (int i = 0; i < VIEW_FLAG_COUNT; ++i) *ViewFlags[i].flag = saved_flags[i];
          DekiHabaRitu = saved_share;
          std::copy(saved_list, saved_list + VIEW_SHIHYO_MAX, ViewShihyo);
          nViewShihyo = saved_n;
          ReRangeChart();
        }
        w.setGeometry(geometry);
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
