// The vision register: find, sort and filter over the vision tables.
#include <gtest/gtest.h>

#include "base/Messages.h"
#include "vision/VisionFixture.h"
#include "vision/VisionRegister.h"

namespace sonivera::vision {
namespace {

using test::VisionPlace;
using test::VisionSample;
using Find = VisionRegister::FindField;

constexpr int kEnglish = 2057;

class VisionRegisterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Three patients; O'Hara and Zeller have two tests each. Every test has a
    // recall date in 2027, so only the latest-test condition tells them apart.
    Store("P1", "O'Hara", "01/02/2024", "09:00:00", "01/01/2027", true);
    Store("P1", "O'Hara", "01/02/2025", "09:00:00", "01/03/2027", false);
    Store("P2", "Adams", "05/06/2025", "10:00:00", "01/04/2027", true);
    Store("P3", "Zeller", "03/03/2023", "11:00:00", "01/05/2027", true);
    Store("P3", "Zeller", "03/03/2024", "11:00:00", kEmptyDateBox, false);
    reg.Build();
  }

  void Store(const QString& pat_no, const QString& surname, const QString& date,
             const QString& time, const QString& recall, bool new_patient) {
    VisionSample s{pat_no, surname, "Pat", date, time, {}, {}, recall};
    test::StoreVision(*place.editor, s, new_patient);
  }

  // Applies a filter of one criterion box.
  bool FilterOn(int box, const QString& text) {
    FilterCriteria criteria;
    criteria.Boxes[box] = text;
    return reg.ApplyFilter(criteria, kEnglish);
  }

  QStringList Column(int column) const {
    QStringList values;
    for (const auto& row : reg.Rows()) values << row.values.value(column);
    return values;
  }

  VisionPlace place;
  VisionRegister reg{place.database, place.prompter, place.Log()};
};

TEST_F(VisionRegisterTest, FindMatchesPrefixesApostrophesAndTheLastTestDate) {
  EXPECT_EQ(Column(kColPatNo), (QStringList{"P2", "P1", "P3"}));
  struct Case {
    Find field;
    QString text;
    int start;
    std::optional<int> row;
  };
  const Case cases[] = {
      {Find::Surname, "o'h", 0, 1},          {Find::Surname, "O'Hara", 2, std::nullopt},
      {Find::PatNo, "P", 1, 1},              {Find::PatNo, "P", 2, 2},
      {Find::LastTest, "05/06/2025", 0, 0},  {Find::LastTest, "01/02/2024", 0, std::nullopt},
      {Find::LastTest, "31/02/2025", 0, std::nullopt}, {Find::Forenames, "", 0, std::nullopt},
      {Find::Surname, "x' OR '1'='1", 0, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(reg.Find(c.field, c.text, c.start), c.row) << c.text.toStdString();
  }
}

TEST_F(VisionRegisterTest, SortListsEveryTestAndNoneReturnsToTheRegister) {
  reg.ApplySort(SortField::Surname);
  EXPECT_EQ(Column(kColSurname), (QStringList{"Adams", "O'Hara", "O'Hara", "Zeller", "Zeller"}));
  EXPECT_EQ(Column(kColLastTest),
            (QStringList{"2025-06-05", "2025-02-01", "2024-02-01", "2024-03-03", "2023-03-03"}));
  EXPECT_EQ(reg.PatientsListed(), 3);
  reg.ApplySort(SortField::DateofTest);
  EXPECT_EQ(Column(kColLastTest).first(), "2023-03-03");
  reg.ApplySort(SortField::None);
  EXPECT_EQ(Column(kColPatNo), (QStringList{"P2", "P1", "P3"}));
  EXPECT_TRUE(place.prompter.Texts().isEmpty());
}

TEST_F(VisionRegisterTest, FilterCriteriaOverTheVisionTables) {
  ASSERT_TRUE(FilterOn(1, "O'Hara"));  // an apostrophe in a text criterion
  EXPECT_TRUE(reg.FilterOn());
  EXPECT_EQ(Column(kColLastTest), (QStringList{"2025-02-01", "2024-02-01"}));
  EXPECT_EQ(reg.PatientsListed(), 1);

  // A recall-date criterion matches only each patient's latest vision test:
  // O'Hara's older test (recall 01/01/2027) and Zeller's older test (recall
  // 01/05/2027) stay out, though their dates meet it.
  ASSERT_TRUE(FilterOn(25, "01/01/2027"));
  EXPECT_EQ(Column(kColPatNo), (QStringList{"P1", "P2"}));
  EXPECT_EQ(Column(kColRecallDate), (QStringList{"2027-03-01", "2027-04-01"}));
  // Without it every test that meets the criteria is listed.
  ASSERT_TRUE(FilterOn(16, "31/12/2024"));  // tested on or before
  EXPECT_EQ(Column(kColLastTest), (QStringList{"2024-02-01", "2024-03-03", "2023-03-03"}));
  // ... in the sort's order when one is chosen.
  reg.ApplySort(SortField::DateofTest);
  EXPECT_EQ(Column(kColLastTest), (QStringList{"2023-03-03", "2024-02-01", "2024-03-03"}));
  EXPECT_TRUE(reg.FilterOn());

  // The categorisation criteria of the locale run on the vision header.
  FilterCriteria criteria;
  criteria.Category1 = true;
  ASSERT_TRUE(reg.ApplyFilter(criteria, kEnglish));
  EXPECT_TRUE(reg.Rows().empty());
  criteria = {};
  criteria.Mp42.ticked = true;
  ASSERT_TRUE(reg.ApplyFilter(criteria, 1036));
  EXPECT_TRUE(reg.Rows().empty());
  EXPECT_TRUE(place.prompter.Texts().isEmpty()) << place.prompter.Texts().join("|").toStdString();

  // A date that is no date is refused and the filter in force stays.
  EXPECT_FALSE(FilterOn(15, "32/01/2024"));
  EXPECT_EQ(place.prompter.Texts().last(), Msg(1043));

  // Current Record: the row's criteria find that row's test.
  reg.Build();
  criteria = reg.CriteriaOfRow(1);
  EXPECT_EQ(criteria.Boxes[1] + ' ' + criteria.Boxes[15], "O'Hara 01/02/2025");
  ASSERT_TRUE(reg.ApplyFilter(criteria, kEnglish));
  ASSERT_EQ(reg.Rows().size(), 1u);
  EXPECT_EQ(reg.Rows()[0].values.value(kColLastTest), "2025-02-01");
  reg.ClearFilter();
  EXPECT_FALSE(reg.FilterOn());
  EXPECT_EQ(reg.Rows().size(), 3u);
}

}  // namespace
}  // namespace sonivera::vision
