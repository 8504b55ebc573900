// The windows of the database maintenance: the four-price list "CSV_VIEW" with the CSV
// export (command 40105), its range dialog "CSV_DATE_SET", and the deletion dialog
// "DBDELETE" (command 40134, inside the common steps of the update commands).
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTextEdit;

// Control identifiers (each control's objectName is its number).
constexpr int IDC_CSV_TEXT = 1270;
constexpr int IDC_CSV_EXPORT = 3;
constexpr int IDC_CSV_FIRST = 1369;
constexpr int IDC_CSV_LAST = 1370;
constexpr int IDC_DEL_KIND = 1381;
constexpr int IDC_DEL_DATES = 1379;
constexpr int IDC_DEL_STOCKS = 40083;
constexpr int IDC_DEL_PRICES = 1378;
constexpr int IDC_DEL_DELETE = 1043;

class CsvViewDialog final : public QDialog {
 public:
  explicit CsvViewDialog(QWidget* owner);
  QTextEdit* Text() const { return text_; }

 private:
  QTextEdit* text_;
};

class CsvDateSetDialog final : public QDialog {
 public:
  explicit CsvDateSetDialog(QWidget* owner);
  void accept() override;

 private:
  QLineEdit* first_;
  QLineEdit* last_;
};

class DeletionDialog final : public QDialog {
 public:
  explicit DeletionDialog(QWidget* owner);
  QComboBox* Kind() const { return kind_; }
  QListWidget* Dates() const { return dates_; }
  QListWidget* Stocks() const { return stocks_; }
  QPlainTextEdit* Prices() const { return prices_; }
  void OnDelete();

 private:
  void ApplyKind();
  void ShowDay();
  void OnStockChosen();
  int DateNum() const;
  int StockNum() const;
  QComboBox* kind_;
  QListWidget* dates_;
  QListWidget* stocks_;
  QPlainTextEdit* prices_;
};

// Makes 40105 open the four-price list, installs the deletion dialog as the feature of 40134
// and the range dialog of the export, all over owner.
void InstallMaintenanceDialogs(QWidget* owner);
