#include "register/Register.h"

#include <QDate>

#include "base/AppError.h"
#include "base/ErrorLog.h"
#include "base/Messages.h"
#include "db/Database.h"
#include "register/EntryFields.h"
#include "register/RecordDisplay.h"
#include "register/RecordEditor.h"

namespace sonivera {

Register::Register(db::Database& database, ErrorReporter& reporter, int lcid)
    : database_(database),
      reporter_(reporter),
      lcid_(lcid),
      model_(std::make_unique<RegisterModel>(database.Conn())) {}

Register::~Register() {
  if (editor_ != nullptr) editor_->register_ = nullptr;
}

bool Register::Editing() const { return editor_ != nullptr && editor_->Editing(); }

bool Register::AddingPatient() const {
  return editor_ != nullptr && editor_->Mode() == EditMode::AddingPatient;
}

void Register::Report(const std::exception& error, const QString& procedure) {
  const auto failure = db::DescribeFailure(error);
  reporter_.Report(failure.description, failure.number, procedure);
}

void Register::SetQuery(const SqlQuery& query) {
  default_register_ = false;
  model_->SetQuery(query);
  current_row_ = model_->rowCount() > 0 ? 0 : -1;
}

void Register::BuildRegister() {
  if (editor_ == nullptr || !editor_->BulkMode()) {
    try {
      SetQuery(RegisterSql());
      default_register_ = true;
    } catch (const std::exception& e) {
      Report(e, QStringLiteral("buildregister"));
    }
  }
  sort_ = SortField::None;
  sort_description_.clear();
}

std::array<QString, 4> Register::StatusTexts() {
  qint64 patients = 0;
  int records = 0;
  try {
    auto& conn = database_.Conn();
    if (filter_on_) {
      const SqlQuery count = FilteredPatientCountSql(filter_);
      auto s = conn.Prepare(count.sql);
      for (int i = 0; i < count.params.size(); ++i) s.Bind(i + 1, count.params[i]);
      // One pass gives both counts: sorting a filtered register keeps its rows.
      if (s.Step()) {
        patients = s.Int(0);
        records = static_cast<int>(s.Int(1));
      }
    } else {
      patients = PatientCount(conn);
      records = model_->TotalRows();
    }
  } catch (const std::exception& e) {
    Report(e, QStringLiteral("updatestatusbar"));
  }
  return {Msg(490) + QString::number(patients), Msg(491) + QString::number(records),
          filter_on_ ? Msg(492) : Msg(493), Msg(494) + sort_description_ + u' '};
}

QString Register::TitleText() {
  QString part;
  if (current_row_ >= 0 && current_row_ < model_->rowCount() && !AddingPatient()) {
    const QString pat_no = model_->PatNo(current_row_);
    part = QStringLiteral(" [ ") + pat_no + QStringLiteral(", ") +
           model_->Stored(current_row_, kColForenames).toString() + u' ' +
           model_->Stored(current_row_, kColSurname).toString() + QStringLiteral(", on ") +
           RegisterCellText(kColLastTest, model_->Stored(current_row_, kColLastTest)) +
           QStringLiteral(" ]");
    cursor_.PatNo = pat_no;
  }
  return ApplicationTitle() + part;
}

bool Register::GoToChosenRecord(int row) {
  try {
    if (!model_->EnsureRow(row)) return false;
    current_row_ = row;
    cursor_.PatNo = model_->PatNo(row);
    const TestKey shown{model_->Stored(row, kColLastTest).toString(),
                        model_->Stored(row, kColTimeofTest).toString()};
    const auto tests = PatientTestKeys(database_.Conn(), cursor_.PatNo);
    cursor_.TestCount = static_cast<int>(tests.size());
    cursor_.TestIndex = 0;
    for (int i = 0; i < cursor_.TestCount; ++i) {
      if (tests[i] == shown) {
        cursor_.TestIndex = i;
        break;
      }
    }
    return true;
  } catch (const std::exception& e) {
    Report(e, QStringLiteral("gotochosenrecord"));
    return false;
  }
}

bool Register::MoveDown() {
  if (Editing()) return false;
  return GoToChosenRecord(current_row_ + 1);
}

bool Register::MoveUp() {
  if (Editing() || current_row_ <= 0) return false;
  return GoToChosenRecord(current_row_ - 1);
}

bool Register::MoveToPatient(const QString& pat_no) {
  std::optional<int> found;
  try {
    // A saved patient is most often on the first screen.
    const int shown = std::min(model_->rowCount(), static_cast<int>(RegisterModel::kPageSize));
    for (int row = 0; row < shown && !found; ++row) {
      if (model_->PatNo(row).compare(pat_no, Qt::CaseInsensitive) == 0) found = row;
    }
    if (!found && default_register_) found = PlacePatient(pat_no);
    if (!found) {
      found = FindRow(
          [&](const db::Statement& row) {
            return row.Text(0).compare(pat_no, Qt::CaseInsensitive) == 0;
          },
          0, true);
    }
  } catch (const std::exception& e) {
    Report(e, QStringLiteral("gotochosenrecord"));
  }
  return found && GoToChosenRecord(*found);
}

std::optional<int> Register::PlacePatient(const QString& pat_no) {
  auto& conn = database_.Conn();
  auto mirror = conn.Prepare(
      QStringLiteral("SELECT DateofTest, TimeofTest FROM PatDetails WHERE PatNo = ?1"));
  mirror.Bind(1, pat_no);
  if (!mirror.Step() || mirror.IsNull(0) || mirror.IsNull(1)) return std::nullopt;
  const QString date = mirror.Text(0), time = mirror.Text(1);
  const SqlQuery before = RegisterRowsBeforeSql(date, time);
  auto count = conn.Prepare(before.sql);
  count.Bind(1, date).Bind(2, time);
  if (!count.Step()) return std::nullopt;
  const int from = static_cast<int>(count.Int(0));
  if (!model_->PlaceRows(from, RegisterFromSql(date, time))) return std::nullopt;
  // Patients whose latest tests share the date and time come in index order.
  for (int row = from; row < from + RegisterModel::kPageSize && row < model_->rowCount(); ++row) {
    if (model_->PatNo(row).compare(pat_no, Qt::CaseInsensitive) == 0) return row;
  }
  return std::nullopt;
}

std::optional<int> Register::FindRow(const std::function<bool(const db::Statement&)>& matches,
                                     int start, bool numbers_only) {
  // Walks the register's own query in its order without loading every row
  // into the grid; reading only the numbers spares the engine the other
  // columns.
  const SqlQuery& query = model_->Query();
  if (query.sql.isEmpty()) return std::nullopt;
  auto s = database_.Conn().Prepare(
      numbers_only ? QStringLiteral("SELECT \"Pat No\" FROM (") + query.sql + u')' : query.sql);
  for (int i = 0; i < query.params.size(); ++i) s.Bind(i + 1, query.params[i]);
  for (int row = 0; s.Step(); ++row) {
    if (row >= start && matches(s)) return row;
  }
  return std::nullopt;
}

bool Register::ShowTest(int test_index) {
  if (Editing() || test_index < 0 || test_index >= cursor_.TestCount) return false;
  cursor_.TestIndex = test_index;
  return true;
}

void Register::ShowNewTest(bool new_patient) {
  cursor_.TestIndex = 0;
  if (new_patient) cursor_.TestCount = 1;
}

void Register::ApplySort(SortField field) {
  if (field == SortField::None) return;
  try {
    SetQuery(SortedSql(field, filter_on_ ? &filter_ : nullptr));
    sort_ = field;
    sort_description_ = SortCaption(field);
  } catch (const std::exception& e) {
    Report(e, QStringLiteral("formsort commandok_click"));
  }
}

bool Register::ApplyFilter(const FilterCriteria& criteria) {
  const FilterBuild build = BuildFilter(criteria, lcid_);
  if (build.error_message != 0) {
    reporter_.prompter().Show(Msg(build.error_message),
                              Msg(build.error_message == 1043 ? 958 : 974));
    return false;
  }
  if (!build.condition) {
    ClearFilter();
    return true;
  }
  try {
    SetQuery(FilteredSql(*build.condition, sort_));
    filter_ = *build.condition;
    criteria_ = criteria;
    filter_on_ = true;
    return true;
  } catch (const std::exception& e) {
    Report(e, QStringLiteral("formfilter commandapply_click"));
    return false;
  }
}

void Register::ClearFilter() {
  filter_ = {};
  criteria_ = {};
  filter_on_ = false;
  BuildRegister();
}

FilterCriteria Register::CurrentRecordCriteria() {
  FilterCriteria criteria;
  if (current_row_ < 0 || current_row_ >= model_->rowCount()) return criteria;
  auto text = [&](int column) { return model_->Stored(current_row_, column).toString(); };
  auto date = [&](int column) {
    return RegisterCellText(column, model_->Stored(current_row_, column));
  };
  const int text_columns[10] = {kColPatNo,         kColSurname, kColForenames, kColPositionRank,
                                kColDeptUnit,      kColCompany, kColLocation,  kColExaminer,
                                kColLeavingReason, kColStatus};
  for (int i = 0; i < 10; ++i) criteria.Boxes[i] = text(text_columns[i]);
  criteria.Boxes[14] = text(kColSex);
  const int date_columns[6] = {kColLastTest,   kColDOB,      kColPreviousTest,
                               kColDateJoined, kColDateLeft, kColRecallDate};
  for (int i = 0; i < 6; ++i) {
    criteria.Boxes[15 + 2 * i] = date(date_columns[i]);
    criteria.Boxes[16 + 2 * i] = date(date_columns[i]);
  }
  criteria.Boxes[27] = text(kColF1);
  criteria.Boxes[28] = text(kColF2);
  criteria.Boxes[29] = text(kColF3);
  return criteria;
}

bool Register::Find(FindField field, const QString& text, bool first) {
  static const int kColumnOf[] = {kColPatNo,    kColSurname, kColForenames, kColPositionRank,
                                  kColDeptUnit, kColCompany, kColLastTest};
  const int column = kColumnOf[static_cast<int>(field)];
  const bool by_date = field == FindField::LastTest;
  const QString wanted = by_date ? StoredDateFromText(text) : text;
  std::optional<int> found;
  if (!wanted.isEmpty()) {
    try {
      found = FindRow(
          [&](const db::Statement& row) {
            const QString value = row.Text(column);
            return by_date ? value == wanted : value.startsWith(wanted, Qt::CaseInsensitive);
          },
          first ? 0 : current_row_ + 1);
    } catch (const std::exception& e) {
      Report(e, QStringLiteral("findrecord"));
      return false;
    }
  }
  if (!found || !GoToChosenRecord(*found)) {
    reporter_.prompter().Show(Msg(989), ApplicationTitle());
    return false;
  }
  return true;
}

}  // namespace sonivera
