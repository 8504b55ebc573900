// The host of the running program: real Qt widgets.
#pragma once

#include <QObject>
#include <QPointer>

#include "platform/host.h"

class QDialog;
class QWidget;

class QtHost final : public QObject, public Host {
  Q_OBJECT
 public:
  // Boxes and the wait dialog are shown over `owner` once it is set.
  void SetOwner(QWidget* owner) { owner_ = owner; }
  // Unattended (the screenshot run): boxes stay on the screen without waiting for a click
  // and answer with their default button, so the picture shows them.
  void SetUnattended(bool on) { unattended_ = on; }
  // While the program ends (SIGTERM, session end), boxes are not shown: each answers at once
  // as if closed (Cancel / No; OK for a box with OK alone).
  void SetEnding(bool on) { ending_ = on; }
  int MessageBox(const char* text, const char* caption, unsigned type) override;
  void WaitDialogOpen(const char* text) override;
  void WaitDialogClose() override;
  void PumpEvents() override;
  void PostCommand(int id, long param) override;
  void SetClipboardText(const std::string& text) override;
  bool OpenUrl(const std::string& url) override;
  bool OpenLocalFile(const std::string& path) override;
  void Beep() override;
  int64_t Now() override;
  void SleepMs(int ms) override;

 private:
  QPointer<QWidget> owner_;
  QPointer<QDialog> wait_;
  bool unattended_ = false;
  bool ending_ = false;
};
