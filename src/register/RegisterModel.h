#pragma once

#include <QAbstractTableModel>
#include <QVariant>
#include <array>
#include <map>
#include <vector>

#include "register/RegisterQuery.h"

namespace sonivera {

namespace db {
class Connection;
}

// One register row: the stored value of each column.
using RegisterRow = std::array<QVariant, kRegisterColumnCount>;

// The register as a table model the grid shows directly. Rows are read in
// pages as the view asks for them (canFetchMore/fetchMore), so a register of
// any size shows its first screen at once; moving to a far row reads only
// that row's page, the pages between are read when they are shown.
class RegisterModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kPageSize = 200;
  // The stored value of a cell (dates 'yyyy-MM-dd'), beside the shown text.
  static constexpr int kStoredRole = Qt::UserRole + 1;

  explicit RegisterModel(db::Connection& connection, QObject* parent = nullptr);

  // Makes the query the register's source and reads its first page.
  void SetQuery(const SqlQuery& query);
  const SqlQuery& Query() const { return query_; }
  // Reads the register again from the start (after a save or a delete).
  void Requery() { SetQuery(query_); }

  // Makes the row part of the model, reading its page; false when the
  // register has fewer rows.
  bool EnsureRow(int row);
  // Reads rows from `from` onwards with a query that yields the register's
  // rows from that row on (the register's order, a condition instead of an
  // offset). True when at least one row was read.
  bool PlaceRows(int from, const SqlQuery& continuation);
  // The number of register rows, counted by the engine (not all read).
  int TotalRows();
  // The stored value of a cell (its page is read when needed).
  QVariant Stored(int row, int column) const;
  QString PatNo(int row) const { return Stored(row, kColPatNo).toString(); }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  bool canFetchMore(const QModelIndex& parent = QModelIndex()) const override;
  void fetchMore(const QModelIndex& parent = QModelIndex()) override;

 private:
  using Row = RegisterRow;
  std::vector<Row> ReadPage(int offset, int count) const;
  std::vector<Row> ReadRows(const SqlQuery& query, int count, int offset) const;
  const Row* RowAt(int row) const;
  // Records rows read from first on; extends the row count.
  void AddRows(int first, std::vector<Row> rows);

  db::Connection& connection_;
  SqlQuery query_;
  // The rows read so far by row number; rows not read yet are absent.
  mutable std::map<int, Row> rows_;
  int row_count_ = 0;
  bool at_end_ = true;
  int total_ = -1;
};

// Runs a register query: count rows from offset on, or every row when count
// is negative (the summary report and the batch print read it whole).
std::vector<RegisterRow> ReadRegisterRows(db::Connection& connection, const SqlQuery& query,
                                          int count = -1, int offset = 0);

// A cell's text as the grid shows it: dates "dd/mm/yyyy", the rest as stored.
QString RegisterCellText(int column, const QVariant& stored);

}  // namespace sonivera
