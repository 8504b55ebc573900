#include "platform/qt/report_list_model.h"

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
  endResetModel();
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

std::vector<int> SelectedReportRows(const QTableView* view) {
  std::vector<int> rows;
  if (!view->selectionModel()) return rows;
  for (const QModelIndex& i : view->selectionModel()->selectedRows()) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}
