#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "base/ErrorLog.h"
#include "base/Prompter.h"
#include "register/RegisterQuery.h"
#include "vision/VisionQueries.h"

namespace sonivera::db {
class Connection;
class Database;
}  // namespace sonivera::db

namespace sonivera::vision {

// The vision window's register: the query in force (plain, filtered,
// sorted), its rows, and find over them.
class VisionRegister {
 public:
  VisionRegister(db::Database& database, Prompter& prompter, ErrorLog log)
      : database_(database), prompter_(prompter), log_(std::move(log)) {}

  const std::vector<VisionRegisterRow>& Rows() const { return rows_; }
  bool FilterOn() const { return filter_on_; }
  SortField Sort() const { return sort_; }
  // The patients listed (each once, however many of their tests are listed).
  int PatientsListed() const;

  // The plain register, filter and sort cleared.
  void Build();
  // The query in force run again (after a save or an import).
  void Reload();
  // Sort: None returns to the register without a sort (the filter stays).
  void ApplySort(SortField field);
  // Filter: false (with the message shown) when a box cannot be used; empty
  // criteria clear the filter.
  bool ApplyFilter(const FilterCriteria& criteria, int lcid);
  void ClearFilter();
  // "Current Record": the criteria of the row's patient and test.
  FilterCriteria CriteriaOfRow(int row) const;

  // Find: prefix match (any case) on the text fields, the exact date on
  // Last Test; the first row from `start` on that matches, or nullopt.
  enum class FindField { PatNo, Surname, Forenames, PositionRank, DeptUnit, Company, LastTest };
  std::optional<int> Find(FindField field, const QString& text, int start) const;

 private:
  bool Run(const SqlQuery& query, const QString& tag);

  db::Database& database_;
  Prompter& prompter_;
  ErrorLog log_;
  std::vector<VisionRegisterRow> rows_;
  SqlQuery query_ = VisionRegisterSql();
  bool filter_on_ = false;
  FilterCondition filter_;
  SortField sort_ = SortField::None;
};

}  // namespace sonivera::vision
