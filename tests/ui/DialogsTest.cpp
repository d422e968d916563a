#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QtEndian>

#include "base/Messages.h"
#include "db/Sqlite.h"
#include "support/TestApp.h"
#include "ui/DemoRegister.h"
#include "ui/FormAbout.h"
#include "ui/FormChangePatNo.h"
#include "ui/FormFilter.h"
#include "ui/FormFind.h"
#include "ui/FormRecall.h"
#include "ui/FormSort.h"
#include "ui/GuiPrompter.h"
#include "ui/UiTest.h"

namespace sonivera::ui {
namespace {

class DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureQApplication();
    ASSERT_TRUE(t.Init());
  }
  test::TestApp t;
};

TEST_F(DialogsTest, RecallPeriodSetsTheDateOrKeepsTheWindowOpen) {
  struct Case {
    QString categorisation, typed;
    std::optional<int> months;  // nullopt: refused
  };
  const Case cases[] = {{"HSE:  1 ", "2 years", 24},
                        {"HSE:  2 +10:4kL ", "", 1},  // a +10 shift presets "1 month"
                        {"HSE:  1 ", "abc", std::nullopt}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed.toStdString());
    const size_t prompts = t.prompter.Prompts().size();
    FormRecall recall(c.categorisation, t->UserLocale(), t.prompter);
    EXPECT_EQ(recall.findChild<QLineEdit*>("Text1")->text(), c.categorisation);
    auto* combo = recall.findChild<QComboBox*>("Combo1");
    ASSERT_EQ(combo->count(), 6);
    if (!c.typed.isEmpty()) combo->setCurrentText(c.typed);
    recall.findChild<QPushButton*>("Command3")->click();
    if (c.months) {
      EXPECT_EQ(recall.result(), QDialog::Accepted);
      EXPECT_EQ(recall.RecallDate(), QDate::currentDate().addMonths(*c.months));
    } else {
      EXPECT_FALSE(recall.RecallDate());
      ASSERT_EQ(t.prompter.Prompts().size(), prompts + 1);
      EXPECT_EQ(t.prompter.Prompts().back().title, "Incorrect Recall");
    }
  }
}

TEST_F(DialogsTest, AboutReadsTheCompanionProgramsFileVersion) {
  const QString path = t.folder.Path() + "/Bridger.exe";
  EXPECT_EQ(FormAbout::CompanionVersion(t.folder.Path()), Msg(3126));
  // A program without a version block, then one with version 2.5.0.17.
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QByteArray("MZ") + QByteArray(200, '\0'));
  file.close();
  EXPECT_EQ(FormAbout::CompanionVersion(t.folder.Path()), Msg(3127));
  QByteArray block(16, '\0');
  qToLittleEndian<quint32>(0xFEEF04BD, block.data());
  qToLittleEndian<quint32>(0x00010000, block.data() + 4);
  qToLittleEndian<quint32>((2u << 16) | 5u, block.data() + 8);
  qToLittleEndian<quint32>((0u << 16) | 17u, block.data() + 12);
  ASSERT_TRUE(file.open(QIODevice::Append));
  file.write(QByteArray(37, 'x') + block);
  file.close();
  EXPECT_EQ(FormAbout::CompanionVersion(t.folder.Path()), Msg(3124) + "2.5.0.17");
  FormAbout about(*t);
  EXPECT_EQ(about.windowTitle(), "About Sonivera");
}

TEST_F(DialogsTest, FindPassesFieldTextAndFirstOrNext) {
  std::vector<std::tuple<FormFind::Field, QString, bool>> calls;
  bool answer = true;
  FormFind find([&](FormFind::Field field, const QString& text, bool first) {
    calls.emplace_back(field, text, first);
    return answer;
  });
  auto* button = find.findChild<QPushButton*>("CommandOK");
  button->click();  // nothing typed: nothing searched
  EXPECT_TRUE(calls.empty());
  QTest::keyClicks(find.Text(), "O'Br");
  button->click();
  button->click();
  EXPECT_EQ(button->text(), Msg(3167));
  find.ChooseField(FormFind::kLastTest);
  answer = false;
  button->click();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0], std::make_tuple(FormFind::kSurname, QString("O'Br"), true));
  EXPECT_EQ(calls[1], std::make_tuple(FormFind::kSurname, QString("O'Br"), false));
  EXPECT_EQ(calls[2], std::make_tuple(FormFind::kLastTest, QString("O'Br"), true));
  EXPECT_EQ(button->text(), Msg(750));  // not found: the next press starts again
}

TEST_F(DialogsTest, FilterCollectsBoxesAndCategoriesOfTheLocale) {
  std::optional<FilterCriteria> applied;
  int cleared = 0;
  FilterCriteria current;
  current.Boxes[1] = "Smith";
  current.Boxes[15] = "01/02/2020";
  FormFilter::Actions actions{[&](const FilterCriteria& c) {
                                applied = c;
                                return !c.Boxes[0].isEmpty();
                              },
                              [&] { ++cleared; }, [&] { return current; }};
  FormFilter filter(2057, FilterCriteria(), actions);
  QTest::keyClicks(filter.CriterionBox(26), "31/12/2023");
  filter.Category(1)->setChecked(true);  // category 2
  filter.findChild<QPushButton*>("CommandApply")->click();
  ASSERT_TRUE(applied);
  EXPECT_EQ(applied->Boxes[26], "31/12/2023");
  EXPECT_TRUE(applied->Category2);
  EXPECT_FALSE(applied->Category1);
  EXPECT_NE(filter.result(), QDialog::Accepted);  // refused: the window stays

  filter.findChild<QPushButton*>("CommandCurrent")->click();
  EXPECT_EQ(filter.CriterionBox(1)->text(), "Smith");
  EXPECT_EQ(filter.CriterionBox(15)->text(), "01/02/2020");
  filter.findChild<QPushButton*>("CommandClear")->click();
  EXPECT_EQ(cleared, 1);
  EXPECT_TRUE(filter.Criteria().IsEmpty());

  FormFilter french(1036, FilterCriteria(), actions);
  EXPECT_EQ(french.findChild<QCheckBox*>("CheckCategory0"), nullptr);
  french.findChild<QCheckBox*>("CheckMP42")->setChecked(true);
  QTest::keyClicks(french.findChild<QLineEdit*>("Text2_0"), "12,5");
  EXPECT_TRUE(french.Criteria().Mp42.ticked);
  EXPECT_EQ(french.Criteria().Mp42.upper, "12,5");
}

TEST_F(DialogsTest, SortAndChangePatNoReturnTheChoice) {
  FormSort sort(SortField::Surname);
  EXPECT_EQ(sort.Chosen(), SortField::Surname);
  sort.Choose(SortField::None);
  EXPECT_EQ(sort.Chosen(), SortField::None);

  QStringList tried;
  FormChangePatNo change("A1", [&](const QString& number) {
    tried << number;
    return number == "B2";
  });
  EXPECT_EQ(change.findChild<QLineEdit*>("TextOldPatNo")->text(), "A1");
  auto* box = change.findChild<QLineEdit*>("TextNewPatNo");
  QTest::keyClicks(box, "A1");
  change.accept();
  EXPECT_NE(change.result(), QDialog::Accepted);
  box->setText("B2");
  change.accept();
  EXPECT_EQ(change.result(), QDialog::Accepted);
  EXPECT_EQ(tried, QStringList({"A1", "B2"}));

  // Small dialogs are wide enough for their whole titles.
  FormFind find([](FormFind::Field, const QString&, bool) { return true; });
  FormRecall recall("HSE:  1 ", t->UserLocale(), t.prompter);
  for (QDialog* dialog : std::initializer_list<QDialog*>{&sort, &change, &find, &recall}) {
    EXPECT_GT(dialog->minimumWidth(),
              dialog->fontMetrics().horizontalAdvance(dialog->windowTitle()) + 60)
        << dialog->windowTitle().toStdString();
  }
}

TEST(MessageIcons, FollowTheKindOfMessage) {
  using B = Prompter::Buttons;
  using I = Prompter::Icon;
  struct Case {
    B buttons;
    QString title;
    I asked, shown;
  };
  const Case cases[] = {{B::YesNo, "Delete", I::None, I::Question},
                        {B::OkCancel, "Sonivera", I::None, I::Question},
                        {B::Ok, Msg(974), I::None, I::Critical},
                        {B::Ok, "Date Error", I::None, I::Information},
                        {B::Ok, "Missing File", I::Exclamation, I::Exclamation}};
  for (const Case& c : cases) {
    EXPECT_EQ(GuiPrompter::IconFor(c.buttons, c.title, c.asked), c.shown) << c.title.toStdString();
  }
}

TEST_F(DialogsTest, DemoRegisterIsSeededOnceAndCategorised) {
  EXPECT_EQ(SeedDemoRegister(*t, 12), 12);
  db::Connection& connection = t->Db().Conn();
  EXPECT_EQ(connection.QueryValue("SELECT COUNT(*) FROM PatDetails")->toInt(), 12);
  const auto uncategorised = connection.QueryValue(
      "SELECT COUNT(*) FROM TestDetails WHERE Categorisation IS NULL OR Categorisation = ''");
  EXPECT_EQ(uncategorised->toInt(), 0);
  EXPECT_EQ(SeedDemoRegister(*t, 12), 0);
}

}  // namespace
}  // namespace sonivera::ui
