#pragma once

#include <QString>
#include <QVariantList>
#include <array>
#include <optional>

namespace sonivera {

// A query text with its values, always bound as parameters.
struct SqlQuery {
  QString sql;
  QVariantList params;
};

// The register's 23 columns.
constexpr int kRegisterColumnCount = 23;
enum RegisterColumn {
  kColPatNo = 0,
  kColSurname = 1,
  kColForenames = 2,
  kColLastTest = 3,
  kColTimeofTest = 4,
  kColPreviousTest = 5,
  kColDOB = 6,
  kColCategorisation = 7,
  kColPositionRank = 8,
  kColDeptUnit = 9,
  kColCompany = 10,
  kColLocation = 11,
  kColSex = 12,
  kColExaminer = 13,
  kColRecallDate = 14,
  kColStatus = 15,
  kColDateJoined = 16,
  kColDateLeft = 17,
  kColLeavingReason = 18,
  kColServiceLength = 19,
  kColF1 = 20,
  kColF2 = 21,
  kColF3 = 22,
};
QString RegisterHeading(int column);
// The column's width in twips; 0 for the grid's default width.
int RegisterColumnWidth(int column);
// Whether the column shows a date ("dd/mm/yyyy").
bool IsRegisterDateColumn(int column);

// The sort options, in the order of the sort window.
enum class SortField { None, PatNo, Surname, DOB, DateofTest, PreviousTest, Categorisation };
// The qualified field ("PatDetails.Surname"), empty for None.
QString SortFieldSql(SortField field);
// The option's caption (messages 840 to 846).
QString SortCaption(SortField field);

// The filter window's criteria: the 30 boxes and the category choices.
struct FilterCriteria {
  std::array<QString, 30> Boxes;
  bool Category1 = false, Category2 = false, Category3 = false, Category4 = false;
  bool CategoryU = false, Category4NoData = false, Incomplete = false;
  bool Shift = false, Nihl = false;  // hidden option groups
  // French schemes: the tick box and its upper (Text2) and lower (Text3) bounds.
  struct Range {
    bool ticked = false;
    QString upper, lower;
  };
  Range Mp42, Pam, Ipa;
  bool IsEmpty() const;
};

// A built filter condition, or the message number of a box that cannot be used.
struct FilterCondition {
  QString where;
  QVariantList params;
  bool mentions_recall = false;
};
struct FilterBuild {
  std::optional<FilterCondition> condition;  // nullopt: the criteria are empty
  int error_message = 0;                     // 1043 bad date, 1522 bad number
  int error_item = -1;                       // the box at fault
};
FilterBuild BuildFilter(const FilterCriteria& criteria, int lcid);

// The register of the latest test of each patient, newest first.
SqlQuery RegisterSql();
// The register from a patient's latest test (date and time) on, and the
// number of register rows before that test: together they place a patient
// in a large register without reading the rows above it.
SqlQuery RegisterFromSql(const QString& date, const QString& time);
// Every test's key (PatNo, DateofTest, TimeofTest), each patient's newest
// first, read from an index alone: the rescue listing when a damaged table
// page stops the register's own query.
SqlQuery TestKeysFromIndexSql();
SqlQuery RegisterRowsBeforeSql(const QString& date, const QString& time);
// Every audiogram (or those the filter keeps) in the order of the sort field.
SqlQuery SortedSql(SortField field, const FilterCondition* filter);
// The tests the filter keeps, ordered by the sort field (patient number when
// none), then by patient and newest test first.
SqlQuery FilteredSql(const FilterCondition& filter, SortField field);
// The number of distinct patients of the filtered join, and of its rows.
SqlQuery FilteredPatientCountSql(const FilterCondition& filter);

// A date typed as "dd/mm/yyyy" (or d/m/yy) in stored form, or a null text.
QString StoredDateFromText(const QString& text);

}  // namespace sonivera
