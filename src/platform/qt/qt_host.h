// The host of the running program: real Qt widgets.
#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

#include "platform/host.h"

class QWidget;

class QtHost final : public QObject, public Host {
  Q_OBJECT
 public:
  // Boxes and dialogs are shown over `owner` once it is set.
  void SetOwner(QWidget* owner) { owner_ = owner; }
  // Unattended (the screenshot and PDF runs): boxes stay on the screen without waiting for a
  // click, so the picture shows them, and answer as closed (Cancel / No): nobody agreed to a
  // change. Every modal dialog is rejected (Cancel) once it has been painted; `on_dialog`
  // runs just before, with the dialog on the screen.
  void SetUnattended(bool on, std::function<void(QDialog*)> on_dialog = {});
  // While the program ends (SIGTERM, session end), boxes are not shown: each answers at once
  // as if closed (Cancel / No; OK for a box with OK alone).
  void SetEnding(bool on) { ending_ = on; }
  // Printing goes to this PDF file without the print dialog (unattended runs and tests).
  void SetPrintToFile(const QString& pdf_path) {
    print_to_file_ = pdf_path;
    printed_to_file_ = false;
  }
  // True once a page went whole into that file.
  bool PrintedToFile() const { return printed_to_file_; }

  int MessageBox(const char* text, const char* caption, unsigned type) override;
  void WaitDialogOpen(const char* text) override;
  void WaitDialogClose() override;
  void ProgressOpen(const char* title, const char* text, int total) override;
  void ProgressSetText(const char* text) override;
  void ProgressShow(int done, const char* elapsed, const char* remaining) override;
  bool ProgressCancelled() override;
  void ProgressClose() override;
  void PumpEvents() override;
  void PostCommand(int id, long param) override;
  std::string ChooseOpenFile(const char* title, const std::string& folder, const char* filters) override;
  std::string ChooseFolder(const char* title, const std::string& start) override;
  void SetClipboardText(const std::string& text) override;
  bool GetClipboardText(std::string& text) override;
  bool SetClipboardImage(const HostImage& image) override;
  bool PrintImage(const HostImage& image, const char* document) override;
  bool OpenUrl(const std::string& url) override;
  bool OpenLocalFile(const std::string& path) override;
  void Beep() override;

  // The open progress dialog (tests find its controls by identifier), or nullptr.
  QDialog* ProgressDialog() const { return progress_; }

 private:
  QPointer<QWidget> owner_;
  QPointer<QDialog> wait_;
  QPointer<QDialog> progress_;
  QPointer<QObject> dialog_closer_;
  QString print_to_file_;
  bool printed_to_file_ = false;
  bool unattended_ = false;
  bool ending_ = false;
};
