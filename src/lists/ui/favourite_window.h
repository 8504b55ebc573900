// The favourites window "お気に入り銘柄" (TYUMOKU_LIST), its add dialog (TYUMOKU_TUIKA), the
// move dialog (TYUMOKU_HENKO) and the folder dialog (TYUMOKU_GROUP). The rules are in
// lists/favourites.h; these widgets show them and forward the user's actions.
#pragma once

#include <QDialog>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTableView;
class ReportListModel;

class TyumokuWindow final : public QDialog {
  Q_OBJECT
 public:
  TyumokuWindow();
  ~TyumokuWindow() override;
  QTableView* List() const { return list_; }
  QComboBox* Folders() const { return folders_; }
  QMenu* CopyPasteMenu() const { return copy_paste_; }
  // Table index of the favourite in a row of the list, or -1.
  int RecordOfRow(int row) const;

  // Refills the folder box and the list from the tables (the selection is lost).
  void Refill();
  void FolderChosen(int index);
  // The detail pane from the selected row; the chart follows the selected stock.
  void ShowDetails();
  void Commit();
  void Delete();
  void Move(int direction);
  void ToOtherFolder();
  void ToHistory();
  void ToAlarum();
  void OrganiseFolders();
  void Sort(int column);
  void Copy();
  void Paste();

 protected:
  bool eventFilter(QObject* obj, QEvent* ev) override;

 private:
  int SelectedRecord() const;
  QComboBox* folders_;
  QTableView* list_;
  ReportListModel* model_;
  QMenu* copy_paste_;
  std::vector<int> records_;  // table index of each row
  QLabel* day_label_;
  bool committing_ = false;
};

// Adds a stock (single mode, by code) or the codes in SelectCode (code -1) through the add
// dialog: AddToFavouritesHook.
void RunTyumokuAdd(int code);

class TyumokuAddDialog final : public QDialog {
  Q_OBJECT
 public:
  // stock: the stock of single mode, -1 for the codes in SelectCode.
  TyumokuAddDialog(QWidget* owner, int stock);
  // OK: adds and closes.
  void Ok();

 private:
  int stock_;
};

class TyumokuMoveDialog final : public QDialog {
  Q_OBJECT
 public:
  TyumokuMoveDialog(QWidget* owner, int record);
  // OK: moves and closes, or warns and stays open.
  void Ok();

 private:
  int record_;
};

class TyumokuGroupDialog final : public QDialog {
  Q_OBJECT
 public:
  explicit TyumokuGroupDialog(QWidget* owner);
  void NewFolder();
  void Ok();
  void DeleteFolder();
};

// The open favourites window, or nullptr.
TyumokuWindow* OpenTyumokuWindow();
// Opens the favourites window, or closes it when open (command 40089).
void ToggleTyumokuWindow();
// Closes the open favourites window (after its handler when one waits on a dialog).
void CloseTyumokuWindow();
