#include "vision/VisionRegister.h"

#include <QSet>

#include "base/Messages.h"
#include "db/Database.h"
#include "db/Sqlite.h"
#include "interchange/CsvLayout.h"

namespace sonivera::vision {

int VisionRegister::PatientsListed() const {
  QSet<QString> patients;
  for (const auto& row : rows_) patients.insert(row.values.value(kColPatNo));
  return int(patients.size());
}

bool VisionRegister::Run(const SqlQuery& query, const QString& tag) {
  try {
    rows_ = VisionRows(database_.Conn(), query);
    query_ = query;
    return true;
  } catch (const std::exception& e) {
    const auto failure = db::DescribeFailure(e);
    ErrorReporter(prompter_, log_)
        .ShowAndLog(StandardErrorText(failure.description, failure.number, tag));
    return false;
  }
}

void VisionRegister::Build() {
  filter_on_ = false;
  filter_ = {};
  sort_ = SortField::None;
  Run(VisionRegisterSql(), QStringLiteral(" (gototestdetails:954)"));
}

void VisionRegister::Reload() { Run(query_, QStringLiteral(" (gototestdetails:954)")); }

void VisionRegister::ApplySort(SortField field) {
  const QString tag = QStringLiteral(" (formvisionsort commandok_click:954)");
  SqlQuery query;
  if (field == SortField::None) {
    query = filter_on_ ? VisionFilteredSql(filter_, field) : VisionRegisterSql();
  } else {
    query = VisionSortedSql(field, filter_on_ ? &filter_ : nullptr);
  }
  if (Run(query, tag)) sort_ = field;
}

bool VisionRegister::ApplyFilter(const FilterCriteria& criteria, int lcid) {
  const FilterBuild build = BuildVisionFilter(criteria, lcid);
  if (build.error_message != 0) {
    prompter_.Show(Msg(build.error_message), Msg(build.error_message == 1043 ? 958 : 974));
    return false;
  }
  if (!build.condition) {
    ClearFilter();
    return true;
  }
  if (!Run(VisionFilteredSql(*build.condition, sort_),
           QStringLiteral(" (formvisionfilter commandapply_click:954)"))) {
    return false;
  }
  filter_ = *build.condition;
  filter_on_ = true;
  return true;
}

void VisionRegister::ClearFilter() { Build(); }

FilterCriteria VisionRegister::CriteriaOfRow(int row) const {
  FilterCriteria criteria;
  if (row < 0 || row >= int(rows_.size())) return criteria;
  const QStringList& values = rows_[size_t(row)].values;
  const int text_columns[10] = {kColPatNo,    kColSurname,  kColForenames,     kColPositionRank,
                                kColDeptUnit, kColCompany,  kColLocation,      kColExaminer,
                                kColLeavingReason, kColStatus};
  for (int i = 0; i < 10; ++i) criteria.Boxes[i] = values.value(text_columns[i]);
  criteria.Boxes[14] = values.value(kColSex);
  const int date_columns[6] = {kColLastTest,   kColDOB,      kColPreviousTest,
                               kColDateJoined, kColDateLeft, kColRecallDate};
  for (int i = 0; i < 6; ++i) {
    const QString date = CsvDateText(values.value(date_columns[i]));
    criteria.Boxes[15 + 2 * i] = date;
    criteria.Boxes[16 + 2 * i] = date;
  }
  criteria.Boxes[27] = values.value(kColF1);
  criteria.Boxes[28] = values.value(kColF2);
  criteria.Boxes[29] = values.value(kColF3);
  return criteria;
}

std::optional<int> VisionRegister::Find(FindField field, const QString& text, int start) const {
  static const int kColumnOf[] = {kColPatNo,    kColSurname, kColForenames, kColPositionRank,
                                  kColDeptUnit, kColCompany, kColLastTest};
  const int column = kColumnOf[static_cast<int>(field)];
  const bool by_date = field == FindField::LastTest;
  const QString wanted = by_date ? StoredDateFromText(text) : text;
  if (wanted.isEmpty()) return std::nullopt;
  for (int row = std::max(0, start); row < int(rows_.size()); ++row) {
    const QString value = rows_[size_t(row)].values.value(column);
    if (by_date ? value == wanted : value.startsWith(wanted, Qt::CaseInsensitive)) return row;
  }
  return std::nullopt;
}

}  // namespace sonivera::vision
