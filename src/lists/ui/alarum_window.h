// The price-alert window "株価お知らせ" (ALARUM_LIST) and the add dialog (ALARUM_TUIKA). The
// rules are in lists/price_alerts.h.
#pragma once

#include <QDialog>
#include <vector>

class QCheckBox;
class QTableView;
class ReportListModel;

class AlarumWindow final : public QDialog {
  Q_OBJECT
 public:
  explicit AlarumWindow(QWidget* owner);
  ~AlarumWindow() override;
  QTableView* List() const { return list_; }
  QCheckBox* HitsOnly() const { return hits_only_; }
  // Table index of the alert in a row of the list, or -1.
  int RecordOfRow(int row) const;

  // Refills the list (the selection is lost) and clears the details.
  void Refill();
  // The detail fields from the selected row; the chart follows the selected stock.
  void ShowDetails();
  // Check box 1358 (stop loss) or 1360 (take profit) changed.
  void LevelSwitched(bool stop_loss);
  void Commit();
  void Delete();
  void Move(int direction);
  void Sort(int column);
  void HitsOnlySwitched();

 private:
  int SelectedRecord() const;
  void SelectRecord(int index);
  QTableView* list_;
  ReportListModel* model_;
  QCheckBox* hits_only_;
  QCheckBox* at_start_;
  std::vector<int> records_;
};

// The open window, or nullptr.
AlarumWindow* OpenAlarumWindow();
// Opens the window, or closes it when open (command 40116).
void ToggleAlarumWindow();
// Closes the open price-alert window (after its handler when one waits on a dialog).
void CloseAlarumWindow();
// After a check: opens the window on a hit (with "反応した銘柄のみを表示" ticked), or refills
// an open one.
void AlarumChecked(int hits);
// The add dialog for a stock at a base price; an alert for the stock already there is
// refused ("既に登録済みです。").
void RunAlarumAdd(int stock_num, int base);

class AlarumAddDialog final : public QDialog {
  Q_OBJECT
 public:
  AlarumAddDialog(QWidget* owner, int stock_num, int base);
  // OK: keeps the percentages as the new defaults, adds the alert and closes.
  void Ok();

 private:
  int stock_;
};
