// The trade-history window "取引履歴" (RIREKI_LIST). The rules are in
// lists/trade_history.h.
#pragma once

#include <QDialog>

class QTableView;
class ReportListModel;

class RirekiWindow final : public QDialog {
  Q_OBJECT
 public:
  RirekiWindow();
  ~RirekiWindow() override;
  QTableView* List() const { return list_; }

  // Refills the list and 総損益 (the selection is lost).
  void Refill();
  // The detail fields from the selected row; the chart follows the selected stock.
  void ShowDetails();
  void Commit();
  void Delete();
  void Move(int direction);
  void Sort(int column);
  void Copy();

 protected:
  bool eventFilter(QObject* obj, QEvent* ev) override;

 private:
  int SelectedRecord() const;
  QTableView* list_;
  ReportListModel* model_;
  bool committing_ = false;
};

// The open window, or nullptr.
RirekiWindow* OpenRirekiWindow();
// Opens the window, or closes it when open (command 40102).
void ToggleRirekiWindow();
// Closes the open trade-history window (after its handler when one waits on a dialog).
void CloseRirekiWindow();
// Adds the stock to the history (favourite -1: from the chart, else the favourite's
// purchase data) and refills an open window; false when nothing was added.
bool AddRirekiAndRefresh(int code, int favourite);
