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
  pages_.clear();
  row_count_ = 0;
  total_ = -1;
  at_end_ = true;
  try {
    auto first = ReadPage(0, kPageSize);
    at_end_ = static_cast<int>(first.size()) < kPageSize;
    row_count_ = static_cast<int>(first.size());
    pages_[0] = std::move(first);
  } catch (...) {
    endResetModel();
    throw;
  }
  endResetModel();
}

void RegisterModel::AddPage(int page, std::vector<Row> rows) {
  const int end = page * kPageSize + static_cast<int>(rows.size());
  if (static_cast<int>(rows.size()) < kPageSize) at_end_ = true;
  pages_[page] = std::move(rows);
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
  const int page = row / kPageSize;
  auto rows = ReadPage(page * kPageSize, kPageSize);
  if (rows.empty()) {
    at_end_ = true;
    return false;
  }
  AddPage(page, std::move(rows));
  return row < row_count_;
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
  const int page = row / kPageSize;
  auto it = pages_.find(page);
  if (it == pages_.end()) {
    // A page between two that were read: read it now.
    try {
      it = pages_.emplace(page, ReadPage(page * kPageSize, kPageSize)).first;
    } catch (const std::exception&) {
      return nullptr;
    }
  }
  const int offset = row - page * kPageSize;
  return offset < static_cast<int>(it->second.size()) ? &it->second[offset] : nullptr;
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
  const int page = (row_count_ + kPageSize - 1) / kPageSize;
  auto rows = ReadPage(page * kPageSize, kPageSize);
  if (rows.empty()) {
    at_end_ = true;
    return;
  }
  AddPage(page, std::move(rows));
}

}  // namespace sonivera
