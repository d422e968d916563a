#include "base/Messages.h"
#include "register/RecordDisplay.h"
#include "register/RegisterFixture.h"

namespace sonivera {
namespace {

// Three patients: Hall (3 tests), O'Brien (2), Hallam (1, same day as
// O'Brien's latest but later in the day).
class RegisterTest : public test::RegisterFixture {
 protected:
  void SetUp() override {
    RegisterFixture::SetUp();
    AddPatient("100", "Hall", "01/01/2018");
    InsertTest("01/01/2019");
    InsertTest("01/01/2020");
    AddPatient("200", "O'Brien", "05/05/2019", "09:00:00");
    InsertTest("05/05/2021", "09:00:00");
    AddPatient("300", "Hallam", "05/05/2021", "14:00:00");
  }
  void SetCategorisation(const QString& pat_no, const QString& date, const QString& text) {
    auto s = Conn().Prepare(
        "UPDATE TestDetails SET Categorisation = ?3 WHERE PatNo = ?1 AND DateofTest = ?2");
    s.Bind(1, pat_no).Bind(2, date).Bind(3, text).Run();
  }
};

TEST_F(RegisterTest, ListsEachPatientsMirroredTestNewestFirst) {
  // A patient whose mirror names none of its tests is not listed.
  Conn().Exec("UPDATE PatDetails SET TimeofTest = '23:59:59' WHERE PatNo = '100'");
  reg->BuildRegister();
  EXPECT_EQ(Column(kColPatNo), (QStringList{"300", "200"}));
  EXPECT_EQ(Status(), "Patients: 3 | Records: 2 | Filter: Off | Sorted:  ");
  auto& model = reg->Model();
  ASSERT_EQ(model.columnCount(), 23);
  EXPECT_EQ(model.headerData(kColServiceLength, Qt::Horizontal).toString(), "Length of Service");
  EXPECT_EQ(model.headerData(kColStatus, Qt::Horizontal).toString(), "Status");
  const auto cell = [&](int row, int column) { return model.data(model.index(row, column)); };
  EXPECT_EQ(test::Joined({cell(0, kColLastTest).toString(), cell(0, kColDOB).toString(),
                          cell(1, kColPreviousTest).toString()}),
            "05/05/2021|01/02/1970|05/05/2019");
}

class LargeRegister : public test::RegisterFixture {};

TEST_F(LargeRegister, ModelReadsInPages) {
  {
    db::Transaction transaction(Conn());
    AudiogramStore store(Conn());
    for (int i = 0; i < 450; ++i) {
      AudiogramRecord r;
      r.patient.PatNo = QString::number(1000 + i);
      // The five oldest share one date and time.
      r.key = {QDate(2000, 1, 1).addDays(std::max(i, 4)).toString("yyyy-MM-dd"), "10:00:00"};
      store.Write(EditMode::AddingPatient, r);
    }
    transaction.Commit();
  }
  reg->BuildRegister();
  auto& model = reg->Model();
  EXPECT_EQ(model.rowCount(), RegisterModel::kPageSize);
  EXPECT_TRUE(model.canFetchMore());
  EXPECT_EQ(model.TotalRows(), 450);
  // Moving to the last patient reads its page only; the rows between are
  // read when they are shown.
  ASSERT_TRUE(reg->MoveToPatient("1002"));
  const int placed = reg->CurrentRow();
  EXPECT_GE(placed, 445);
  EXPECT_EQ(model.PatNo(placed), "1002");
  ASSERT_TRUE(reg->MoveToPatient("1000"));
  EXPECT_GE(reg->CurrentRow(), 445);
  EXPECT_EQ(model.rowCount(), 450);
  EXPECT_FALSE(model.canFetchMore());
  EXPECT_EQ(model.PatNo(300), "1149");
  EXPECT_EQ(model.data(model.index(250, kColLastTest)).toString(), "18/07/2000");
  EXPECT_FALSE(model.EnsureRow(450));
  const QStringList placed_rows = Column(kColPatNo);
  model.Requery();
  EXPECT_EQ(model.rowCount(), RegisterModel::kPageSize);
  while (model.canFetchMore()) model.fetchMore();
  // Rows placed by the latest test agree with the register read in order.
  EXPECT_EQ(Column(kColPatNo), placed_rows);
  EXPECT_EQ(placed_rows[placed], "1002");
}

TEST_F(RegisterTest, ChoosingARecordPlacesTheShownTestAndItsMarker) {
  const auto cursor = [&] {
    return test::Joined(
        {Cursor().PatNo, QString::number(Cursor().TestIndex), QString::number(Cursor().TestCount)});
  };
  // Marker, historic, record n of m, date, previous test, its first threshold, baseline.
  const auto view = [&] {
    const RecordView v = LoadRecordView(Conn(), "100", Cursor().TestIndex);
    return test::Joined({v.marker.caption, v.marker.historic ? "historic" : "current",
                         QString::number(v.record_number), QString::number(v.record_count),
                         v.entries.Dates[kBoxDateofTest], v.entries.Dates[kBoxPreviousTest],
                         v.entries.Previous[0], v.entries.Details[kComboExaminer], v.baseline});
  };
  ASSERT_TRUE(reg->MoveToPatient("100"));
  EXPECT_EQ(cursor(), "100|0|3");
  EXPECT_EQ(view(), test::Joined({Msg(1116), "current", "3", "3", "01/01/2020", "01/01/2019", "20",
                                  "Examiner E", Msg(931)}));
  ASSERT_TRUE(reg->ShowTest(2));
  EXPECT_EQ(view(), test::Joined({Msg(1115), "historic", "1", "3", "01/01/2018", kEmptyDateBox, "",
                                  "Examiner E", Msg(931)}));
  EXPECT_FALSE(reg->ShowTest(3));
  // A sorted register lists older tests too: choosing one shows that test.
  reg->ApplySort(SortField::DateofTest);
  ASSERT_TRUE(reg->GoToChosenRecord(0));
  EXPECT_EQ(cursor(), "100|2|3");
  EXPECT_FALSE(reg->MoveUp());
  EXPECT_TRUE(reg->MoveDown());
  EXPECT_EQ(reg->CurrentRow(), 1);
  Conn().Exec("UPDATE PatDetails SET BaselineDate = '2018-01-01', BaselineTime = '10:00:00'");
  EXPECT_EQ(LoadRecordView(Conn(), "100", 0).baseline, "01/01/2018");
}

TEST_F(RegisterTest, FindMatchesPrefixesDatesAndApostrophes) {
  reg->BuildRegister();
  using F = Register::FindField;
  // The patient found, or "-" when nothing is.
  const auto find = [&](F field, const QString& text, bool first) {
    return reg->Find(field, text, first) ? Cursor().PatNo : QString("-");
  };
  EXPECT_EQ(find(F::Surname, "hall", true), "300");  // Hallam is listed first
  EXPECT_EQ(find(F::Surname, "hall", false), "100");
  EXPECT_EQ(find(F::Surname, "hall", false), "-");
  EXPECT_EQ(find(F::Surname, "O'B", true), "200");
  EXPECT_EQ(find(F::LastTest, "01/01/2020", true), "100");
  EXPECT_EQ(find(F::PatNo, "3", true), "300");
  t.prompter = test::ScriptedPrompter();
  EXPECT_EQ(find(F::LastTest, "not a date", true), "-");
  EXPECT_EQ(find(F::Company, "zzz", true), "-");
  EXPECT_EQ(find(F::Forenames, "", true), "-");
  EXPECT_EQ(t.prompter.Texts(), (QStringList{Msg(989), Msg(989), Msg(989)}));
  EXPECT_EQ(Cursor().PatNo, "300");
}

TEST_F(RegisterTest, SortListsEveryAudiogramAndNoneLeavesTheRegister) {
  reg->BuildRegister();
  const QStringList before = Column(kColPatNo);
  reg->ApplySort(SortField::None);
  EXPECT_EQ(Column(kColPatNo), before);
  EXPECT_EQ(Status(), "Patients: 3 | Records: 3 | Filter: Off | Sorted:  ");
  reg->ApplySort(SortField::Surname);
  EXPECT_EQ(Column(kColSurname),
            (QStringList{"Hall", "Hall", "Hall", "Hallam", "O'Brien", "O'Brien"}));
  EXPECT_EQ(Status(), "Patients: 3 | Records: 6 | Filter: Off | Sorted: Surname ");
  reg->ApplySort(SortField::DateofTest);
  EXPECT_EQ(Column(kColLastTest).first(), "2018-01-01");
  reg->BuildRegister();
  EXPECT_EQ(reg->SortDescription(), "");
  EXPECT_EQ(Column(kColPatNo), before);
}

TEST_F(RegisterTest, FilterCriteriaSelectTestsAndCountDistinctPatients) {
  Conn().Exec("UPDATE TestDetails SET RecallDate = DateofTest");
  Conn().Exec("UPDATE TestDetails SET LengthofService = CASE PatNo WHEN '100' THEN 10 ELSE 30 END");
  struct Case {
    const char* name;
    int item;
    const char* text;
    QStringList pat_nos;  // the register rows, in order
    int patients;
  };
  const Case cases[] = {
      {"surname alone lists every test", 1, "hall", {"100", "100", "100"}, 1},
      {"apostrophe", 1, "O'Brien", {"200", "200"}, 1},
      {"recall date alone lists each patient once", 25, "01/01/2019", {"100", "200", "300"}, 3},
      {"test date before includes the day", 16, "05/05/2019", {"100", "100", "200"}, 2},
      {"test date on or after", 15, "05/05/2021", {"200", "300"}, 2},
      {"sex", 14, "Female", {"100", "100", "100", "200", "200", "300"}, 3},
      {"length of service from", 10, "2", {"200", "200", "300"}, 2},
      {"length of service to", 13, "11", {"100", "100", "100"}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FilterCriteria criteria;
    criteria.Boxes[c.item] = c.text;
    ASSERT_TRUE(reg->ApplyFilter(criteria));
    EXPECT_EQ(Column(kColPatNo), c.pat_nos);
    EXPECT_EQ(Status(), QString("Patients: %1 | Records: %2 | Filter: On | Sorted:  ")
                            .arg(c.patients)
                            .arg(c.pat_nos.size()));
  }
  reg->ClearFilter();
  EXPECT_EQ(Status(), "Patients: 3 | Records: 3 | Filter: Off | Sorted:  ");
  EXPECT_EQ(Column(kColPatNo), (QStringList{"300", "200", "100"}));
}

TEST_F(RegisterTest, FilterOnCategorisationCodes) {
  SetCategorisation("100", "2020-01-01", "HSE:  1 4-no data ");
  SetCategorisation("100", "2019-01-01", "HSE:  2L 3R U ");
  SetCategorisation("200", "2021-05-05", "HSE:  2B 4L ");
  SetCategorisation("300", "2021-05-05", "HSE: Data incomplete");
  struct Case {
    const char* name;
    bool FilterCriteria::*flag;
    QStringList dates;
  };
  const Case cases[] = {
      {"1", &FilterCriteria::Category1, {"2020-01-01"}},
      {"2", &FilterCriteria::Category2, {"2019-01-01", "2021-05-05"}},
      {"3", &FilterCriteria::Category3, {"2019-01-01"}},
      {"4 without no data", &FilterCriteria::Category4, {"2021-05-05"}},
      {"4 no data", &FilterCriteria::Category4NoData, {"2020-01-01"}},
      {"U", &FilterCriteria::CategoryU, {"2019-01-01"}},
      {"incomplete", &FilterCriteria::Incomplete, {"2021-05-05"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FilterCriteria criteria;
    criteria.*c.flag = true;
    ASSERT_TRUE(reg->ApplyFilter(criteria));
    EXPECT_EQ(Column(kColLastTest), c.dates);
  }
}

TEST_F(RegisterTest, FrenchRangesAcceptACommaAndBadBoxesAreReported) {
  Conn().Exec(
      "UPDATE TestDetails SET Categorisation = 'MP42= 40.00  ', MP42 = 40.0 "
      "WHERE PatNo = '100'");
  Conn().Exec(
      "UPDATE TestDetails SET Categorisation = 'MP42= 52.50  ', MP42 = 52.5 "
      "WHERE PatNo = '200'");
  reg = std::make_unique<Register>(t->Db(), t->Reporter(), 1036);  // a French run
  FilterCriteria criteria;
  criteria.Category1 = true;  // the HSE choices do not apply
  ASSERT_TRUE(reg->ApplyFilter(criteria));
  EXPECT_FALSE(reg->FilterOn());
  criteria = {};
  criteria.Mp42 = {true, "52,5", "41"};
  ASSERT_TRUE(reg->ApplyFilter(criteria));
  EXPECT_EQ(Column(kColPatNo), (QStringList{"200", "200"}));
  criteria.Mp42 = {true, "", ""};
  ASSERT_TRUE(reg->ApplyFilter(criteria));
  EXPECT_EQ(reg->StatusTexts()[0], "Patients: 2");
  const auto rows_before = Column(kColPatNo);
  criteria.Mp42 = {true, "abc", ""};
  EXPECT_FALSE(reg->ApplyFilter(criteria));
  FilterCriteria dates;
  dates.Boxes[17] = "31/02/1970";
  EXPECT_FALSE(reg->ApplyFilter(dates));
  EXPECT_EQ(t.prompter.Texts(), (QStringList{Msg(1522), Msg(1043)}));
  EXPECT_EQ(Column(kColPatNo), rows_before);
}

TEST_F(RegisterTest, CurrentRecordFillsTheCriteriaThatFindItAgain) {
  reg->BuildRegister();
  ASSERT_TRUE(reg->MoveToPatient("200"));
  const FilterCriteria criteria = reg->CurrentRecordCriteria();
  EXPECT_EQ(criteria.Boxes[1], "O'Brien");
  EXPECT_EQ(criteria.Boxes[15], "05/05/2021");
  ASSERT_TRUE(reg->ApplyFilter(criteria));
  EXPECT_EQ(Column(kColLastTest), QStringList{"2021-05-05"});
  // Sorting under a filter keeps the filter.
  FilterCriteria surname;
  surname.Boxes[1] = "Hall";
  ASSERT_TRUE(reg->ApplyFilter(surname));
  reg->ApplySort(SortField::DateofTest);
  EXPECT_EQ(Column(kColLastTest), (QStringList{"2018-01-01", "2019-01-01", "2020-01-01"}));
}

}  // namespace
}  // namespace sonivera
