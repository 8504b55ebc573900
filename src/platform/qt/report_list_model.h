// One table model for the report lists of the list windows (result list, ranking,
// favourites, trade history, alerts): rows of CP932 cells, fixed columns with a title, a
// width in pixels and an alignment. The view is a QTableView set up as a report list.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

class QTableView;

struct ReportColumn {
  QString title;
  int width;
  Qt::Alignment align;
};

class ReportListModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  ReportListModel(std::vector<ReportColumn> columns, QObject* parent);
  // Replaces every row (cells in CP932, one per column).
  void SetRows(std::vector<std::vector<std::string>> rows);
  // Replaces one row's cells (the selection stays).
  void SetRow(int row, std::vector<std::string> cells);
  // Background colours of the rows (0xRRGGBB); empty: the view's own.
  void SetRowBackgrounds(std::vector<uint32_t> rgb);
  const std::vector<std::vector<std::string>>& Rows() const { return rows_; }
  const std::vector<ReportColumn>& Columns() const { return columns_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<ReportColumn> columns_;
  std::vector<std::vector<std::string>> rows_;
  std::vector<uint32_t> backgrounds_;
};

// Full-row selection, grid lines, several rows selectable (Ctrl, Shift), the columns'
// widths, no row numbers, no editing.
void SetupReportView(QTableView* view, ReportListModel* model);
// The selected rows in ascending order.
std::vector<int> SelectedReportRows(const QTableView* view);
// Selects one row (the others are cleared) and makes it current.
void SelectReportRow(QTableView* view, int row);
