#include "register/RegisterModel.h"

#include <QDate>

#include "db/Sqlite.h"

namespace sonivera {

RegisterModel::RegisterModel(db::Connection& connection, QObject* parent)
    : QAbstractTableModel(parent), connection_(connection) {}

QString RegisterCellText(int column, const QVariant& stored) {
  if (stored.isNull()) return QString();
  if (IsRegisterDateColumn(column)) {
    const QDate date = QDate::fromString(stored.toString(), QStringLiteral("yyyy-MM-dd"));
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : stored.toString();
  }
  return stored.toString();
}

std::vector<RegisterModel::Row> RegisterModel::ReadPage(int offset, int count) const {
  std::vector<Row> page;
  if (query_.sql.isEmpty()) return page;
  auto statement = connection_.Prepare(query_.sql + QStringLiteral(" LIMIT ? OFFSET ?"));
  int index = 1;
  for (const auto& p : query_.params) statement.Bind(index++, p);
  statement.Bind(index++, count);
  statement.Bind(index, offset);
  while (statement.Step()) {
    Row row;
    for (int c = 0; c < kRegisterColumnCount; ++c) row[c] = statement.Value(c);
    page.push_back(std::move(row));
  }
  return page;
}

void RegisterModel::SetQuery(const SqlQuery& query) {
  beginResetModel();
  query_ = query;
  rows_.clear();
  total_ = -1;
  try {
    rows_ = ReadPage(0, kPageSize);
    at_end_ = static_cast<int>(rows_.size()) < kPageSize;
  } catch (...) {
    at_end_ = true;
    endResetModel();
    throw;
  }
  endResetModel();
}

bool RegisterModel::EnsureRow(int row) {
  // One read for every missing row, rather than page after page.
  const int size = static_cast<int>(rows_.size());
  if (row >= size && !at_end_) {
    const int wanted = ((row - size) / kPageSize + 1) * kPageSize;
    auto rows = ReadPage(size, wanted);
    at_end_ = static_cast<int>(rows.size()) < wanted;
    if (!rows.empty()) {
      beginInsertRows(QModelIndex(), size, size + static_cast<int>(rows.size()) - 1);
      for (auto& r : rows) rows_.push_back(std::move(r));
      endInsertRows();
    }
  }
  return row >= 0 && row < static_cast<int>(rows_.size());
}

int RegisterModel::TotalRows() {
  if (total_ < 0) {
    if (at_end_) {
      total_ = static_cast<int>(rows_.size());
    } else {
      auto statement =
          connection_.Prepare(QStringLiteral("SELECT COUNT(*) FROM (") + query_.sql + u')');
      int index = 1;
      for (const auto& p : query_.params) statement.Bind(index++, p);
      total_ = statement.Step() ? static_cast<int>(statement.Int(0)) : 0;
    }
  }
  return total_;
}

QVariant RegisterModel::Stored(int row, int column) const {
  if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 ||
      column >= kRegisterColumnCount) {
    return QVariant();
  }
  return rows_[row][column];
}

int RegisterModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RegisterModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kRegisterColumnCount;
}

QVariant RegisterModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return QVariant();
  const QVariant stored = Stored(index.row(), index.column());
  if (role == Qt::DisplayRole) return RegisterCellText(index.column(), stored);
  if (role == kStoredRole) return stored;
  return QVariant();
}

QVariant RegisterModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kRegisterColumnCount) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  if (role == Qt::DisplayRole) return RegisterHeading(section);
  if (role == kStoredRole) return RegisterColumnWidth(section);
  return QVariant();
}

bool RegisterModel::canFetchMore(const QModelIndex& parent) const {
  return !parent.isValid() && !at_end_;
}

void RegisterModel::fetchMore(const QModelIndex& parent) {
  if (parent.isValid() || at_end_) return;
  auto page = ReadPage(static_cast<int>(rows_.size()), kPageSize);
  at_end_ = static_cast<int>(page.size()) < kPageSize;
  if (page.empty()) return;
  const int first = static_cast<int>(rows_.size());
  beginInsertRows(QModelIndex(), first, first + static_cast<int>(page.size()) - 1);
  for (auto& row : page) rows_.push_back(std::move(row));
  endInsertRows();
}

}  // namespace sonivera
