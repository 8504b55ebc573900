// The dialog of dbseed: "PanRollingDBからKivora DBへ変換" with "作成" (1005), "閉じる" (IDOK),
// the progress (1003) and the current stock (1006), and the about item in its context menu.
#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "platform/host.h"

class QLineEdit;
class QPushButton;
struct MarketSource;

// Message boxes of dbseed, over the dialog.
class SeedQtHost final : public Host {
 public:
  QWidget* owner = nullptr;
  int MessageBox(const char* text, const char* caption, unsigned type) override;
  void PumpEvents() override;
};

// Caption of the box that lists the warnings of a finished build.
inline constexpr const char* SEED_NOTES_CAPTION = "dbseed の注意";

class SeedDialog final : public QDialog {
 public:
  explicit SeedDialog(MarketSource* source);
  // The exit status of the tool: 1 after a stop, else 0.
  int exit_status = 0;

 protected:
  void reject() override;

 private:
  void OnCreate();
  void ShowAbout();
  void ShowNotes(const std::vector<std::string>& notes);
  MarketSource* source_;
  QLineEdit* progress_;
  QLineEdit* stock_;
  QPushButton* create_;
  bool running_ = false;
  bool cancel_ = false;
};
