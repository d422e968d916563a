#include "register/RegisterModel.h"

#include <QDate>

#include "base/DateText.h"
#include "db/Sqlite.h"

namespace sonivera {

RegisterModel::RegisterModel(db::Connection& connection, QObject* parent)
    : QAbstractTableModel(parent), connection_(connection) {}

QString RegisterCellText(int column, const QVariant& stored) {
  if (stored.isNull()) return QString();
  if (IsRegisterDateColumn(column)) {
    const QDate date = DateFromStored(stored.toString());
    return date.isValid() ? DayMonthYearText(date) : stored.toString();
  }
  return stored.toString();
}

std::vector<RegisterRow> ReadRegisterRows(db::Connection& connection, const SqlQuery& query,
                                          int count, int offset) {
  std::vector<RegisterRow> rows;
  if (query.sql.isEmpty()) return rows;
  auto statement = connection.Prepare(query.sql + QStringLiteral(" LIMIT ? OFFSET ?"));
  int index = 1;
  for (const auto& p : query.params) statement.Bind(index++, p);
  statement.Bind(index++, count < 0 ? -1 : count);
  statement.Bind(index, offset);
  while (statement.Step()) {
    RegisterRow row;
    for (int c = 0; c < kRegisterColumnCount; ++c) row[c] = statement.Value(c);
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<RegisterModel::Row> RegisterModel::ReadRows(const SqlQuery& query, int count,
                                                        int offset) const {
  return ReadRegisterRows(connection_, query, count, offset);
}

std::vector<RegisterModel::Row> RegisterModel::ReadPage(int offset, int count) const {
  return ReadRows(query_, count, offset);
}

void RegisterModel::SetQuery(const SqlQuery& query) {
  beginResetModel();
  query_ = query;
  rows_.clear();
  row_count_ = 0;
  total_ = -1;
  at_end_ = true;
  try {
    auto first = ReadPage(0, kPageSize);
    at_end_ = static_cast<int>(first.size()) < kPageSize;
    row_count_ = static_cast<int>(first.size());
    for (int i = 0; i < row_count_; ++i) rows_[i] = std::move(first[i]);
  } catch (...) {
    endResetModel();
    throw;
  }
  endResetModel();
}

void RegisterModel::AddRows(int first, std::vector<Row> rows) {
  const int end = first + static_cast<int>(rows.size());
  if (static_cast<int>(rows.size()) < kPageSize) at_end_ = true;
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) rows_[first + i] = std::move(rows[i]);
  if (end > row_count_) {
    beginInsertRows(QModelIndex(), row_count_, end - 1);
    row_count_ = end;
    endInsertRows();
  }
}

bool RegisterModel::EnsureRow(int row) {
  if (row < 0) return false;
  if (row < row_count_) return RowAt(row) != nullptr;
  if (at_end_) return false;
  const int first = row / kPageSize * kPageSize;
  auto rows = ReadPage(first, kPageSize);
  if (rows.empty()) {
    at_end_ = true;
    return false;
  }
  AddRows(first, std::move(rows));
  return row < row_count_;
}

bool RegisterModel::PlaceRows(int from, const SqlQuery& continuation) {
  auto rows = ReadRows(continuation, kPageSize, 0);
  if (rows.empty()) return false;
  AddRows(from, std::move(rows));
  return true;
}

int RegisterModel::TotalRows() {
  if (total_ < 0) {
    if (at_end_) {
      total_ = row_count_;
    } else {
      // The order does not change the count; leaving it out lets the engine
      // count without reading the columns.
      QString sql = query_.sql;
      const int order = sql.lastIndexOf(QStringLiteral(" ORDER BY "));
      if (order > 0) sql.truncate(order);
      auto statement = connection_.Prepare(QStringLiteral("SELECT COUNT(*) FROM (") + sql + u')');
      int index = 1;
      for (const auto& p : query_.params) statement.Bind(index++, p);
      total_ = statement.Step() ? static_cast<int>(statement.Int(0)) : 0;
    }
  }
  return total_;
}

const RegisterModel::Row* RegisterModel::RowAt(int row) const {
  if (row < 0 || row >= row_count_) return nullptr;
  auto it = rows_.find(row);
  if (it == rows_.end()) {
    // A row between rows that were read: read its page now.
    try {
      const int first = row / kPageSize * kPageSize;
      auto page = ReadPage(first, kPageSize);
      for (int i = 0; i < static_cast<int>(page.size()); ++i) {
        rows_.try_emplace(first + i, std::move(page[i]));
      }
    } catch (const std::exception&) {
      return nullptr;
    }
    it = rows_.find(row);
    if (it == rows_.end()) return nullptr;
  }
  return &it->second;
}

QVariant RegisterModel::Stored(int row, int column) const {
  const Row* values = RowAt(row);
  if (values == nullptr || column < 0 || column >= kRegisterColumnCount) return QVariant();
  return (*values)[column];
}

int RegisterModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : row_count_;
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
  auto rows = ReadPage(row_count_, kPageSize);
  if (rows.empty()) {
    at_end_ = true;
    return;
  }
  AddRows(row_count_, std::move(rows));
}

}  // namespace sonivera
