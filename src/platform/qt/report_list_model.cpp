#include "platform/qt/report_list_model.h"

#include <QColor>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>

#include "platform/qt/qt_codepage.h"

ReportListModel::ReportListModel(std::vector<ReportColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)) {}

void ReportListModel::SetRows(std::vector<std::vector<std::string>> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  for (auto& r : rows_) r.resize(columns_.size());
  backgrounds_.clear();
  endResetModel();
}

void ReportListModel::SetRow(int row, std::vector<std::string> cells) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  cells.resize(columns_.size());
  rows_[row] = std::move(cells);
  emit dataChanged(index(row, 0), index(row, static_cast<int>(columns_.size()) - 1));
}

void ReportListModel::SetRowBackgrounds(std::vector<uint32_t> rgb) {
  backgrounds_ = std::move(rgb);
  if (!rows_.empty()) emit dataChanged(index(0, 0), index(static_cast<int>(rows_.size()) - 1, static_cast<int>(columns_.size()) - 1));
}

int ReportListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ReportListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
  if (role == Qt::DisplayRole) return FromCp932(rows_[index.row()][index.column()]);
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue(columns_[index.column()].align | Qt::AlignVCenter);
  if (role == Qt::BackgroundRole && index.row() < static_cast<int>(backgrounds_.size()))
    return QColor(QRgb(backgrounds_[index.row()]));
  return {};
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(columns_.size())) return {};
  if (role == Qt::DisplayRole) return columns_[section].title;
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(columns_[section].align | Qt::AlignVCenter);
  return {};
}

void SetupReportView(QTableView* view, ReportListModel* model) {
  view->setModel(model);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setShowGrid(true);
  view->verticalHeader()->hide();
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
  view->horizontalHeader()->setHighlightSections(false);
  view->horizontalHeader()->setStretchLastSection(false);
  for (int c = 0; c < static_cast<int>(model->Columns().size()); ++c) view->setColumnWidth(c, model->Columns()[c].width);
}

void SelectReportRow(QTableView* view, int row) {
  if (!view->model() || row < 0 || row >= view->model()->rowCount()) return;
  const QModelIndex i = view->model()->index(row, 0);
  view->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

std::vector<int> SelectedReportRows(const QTableView* view) {
  std::vector<int> rows;
  if (!view->selectionModel()) return rows;
  for (const QModelIndex& i : view->selectionModel()->selectedRows()) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}
