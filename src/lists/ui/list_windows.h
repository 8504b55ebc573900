// The result list "検索結果", the ranking window "ランキング" and the two search dialogs
// (code "銘柄コードで検索します", name "銘柄名検索"). Controls carry their resource
// identifiers as object names.
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QTableView;
class ReportListModel;

// How the shell places the windows and reads their placement back (which: 0 the result
// list, 1 the ranking window).
struct ListWindowPlacement {
  void (*apply)(QWidget* w, int which) = nullptr;
  void (*read)(const QWidget* w, int which) = nullptr;
};

// Registers commands 40010 and 40092 and installs the dialogs behind command 1002, the
// digit keys, the key "f" and the screening run. owner: the main window.
void RegisterListWindows(QWidget* owner, ListWindowPlacement placement);

class ResultListWindow final : public QDialog {
  Q_OBJECT
 public:
  explicit ResultListWindow(QWidget* owner);
  ~ResultListWindow() override;
  QTableView* List() const { return list_; }
  void Copy();
  void ToFavourites();

 private:
  void SelectionChanged();
  QTableView* list_;
  ReportListModel* model_;
  std::vector<int> stocks_;
};

class RankingWindow final : public QDialog {
  Q_OBJECT
 public:
  explicit RankingWindow(QWidget* owner);
  ~RankingWindow() override;
  QTableView* List() const { return list_; }
  // Fills the list for the combos' choices; unless forced, only when they changed.
  void Refresh(bool forced);
  void Copy();
  void ToFavourites();

 private:
  void SelectionChanged();
  QComboBox* combo_[4];
  QTableView* list_;
  ReportListModel* model_;
  std::vector<int> stocks_;
};

class CodeInputDialog final : public QDialog {
  Q_OBJECT
 public:
  CodeInputDialog(QWidget* owner, int first_digit);
  QLineEdit* Field() const { return field_; }

 private:
  void TextChanged();
  QLineEdit* field_;
};

class NameInputDialog final : public QDialog {
  Q_OBJECT
 public:
  explicit NameInputDialog(QWidget* owner);
  QLineEdit* Field() const { return field_; }
  // The OK button: searches, and closes the dialog when a result list opened.
  void Search();

 private:
  QLineEdit* field_;
};

// The open windows, or nullptr.
ResultListWindow* OpenResultList();
RankingWindow* OpenRankingWindow();
// Opens the result list over KensakuList (an open one is replaced).
void ShowResultList();
// Opens the ranking window, or closes it when open (command 40092).
void ToggleRankingWindow();
