#include "ui/DemoWindowTest.h"
#include "ui/FormAbout.h"
#include "ui/FormChangePatNo.h"
#include "ui/FormFilter.h"
#include "ui/FormFind.h"
#include "ui/FormRecall.h"
#include "ui/FormSort.h"
#include "ui/GuiPrompter.h"

namespace sonivera::ui {
namespace {

using DialogsTest = StartedAppTest;

// The periods and their dates are tested with the recall rule; the window
// shows the categorisation, presets the period and stays open when refused.
TEST_F(DialogsTest, RecallPeriodSetsTheDateOrKeepsTheWindowOpen) {
  for (const auto& [typed, months] : {std::pair<QString, int>{"", 1}, {"abc", 0}}) {
    FormRecall recall("HSE:  2 +10:4kL ", t->UserLocale(), t.prompter);
    EXPECT_EQ(Child<QLineEdit>(recall, "Text1")->text(), "HSE:  2 +10:4kL ");
    auto* combo = Child<QComboBox>(recall, "Combo1");
    EXPECT_EQ(combo->count(), 6);
    if (!typed.isEmpty()) combo->setCurrentText(typed);
    Click(recall, "Command3");
    if (months > 0) {
      EXPECT_EQ(recall.result(), QDialog::Accepted);
      EXPECT_EQ(recall.RecallDate(), QDate::currentDate().addMonths(months));
    } else {
      EXPECT_NE(recall.result(), QDialog::Accepted);
      EXPECT_FALSE(recall.RecallDate());
      EXPECT_TRUE(test::LastShown(t.prompter).startsWith("Incorrect Recall|"));
    }
  }
}

TEST_F(DialogsTest, AboutReadsTheCompanionProgramsFileVersion) {
  auto version = [&] { return FormAbout::CompanionVersion(t.folder.Path()); };
  EXPECT_EQ(version(), Msg(3126));
  const QByteArray program = "MZ" + QByteArray(200, '\0');
  t.folder.Write("Bridger.exe", program);
  EXPECT_EQ(version(), Msg(3127));
  // A fixed version block (little-endian words) for 2.5.0.17.
  t.folder.Write("Bridger.exe", program + QByteArray(37, 'x') +
                                    QByteArray::fromHex("bd04effe 00000100 05000200 11000000"));
  EXPECT_EQ(version(), Msg(3124) + "2.5.0.17");
  FormAbout about(*t);
  EXPECT_EQ(about.windowTitle(), "About Sonivera");
  EXPECT_EQ(Child<QLabel>(about, "LabelCompanion")->text(), Msg(3125) + version());
}

TEST_F(DialogsTest, FindPassesFieldTextAndFirstOrNext) {
  QStringList calls;
  bool answer = true;
  FormFind find([&](FormFind::Field field, const QString& text, bool first) {
    calls << QStringLiteral("%1|%2|%3").arg(field).arg(text).arg(first);
    return answer;
  });
  auto* button = Child<QPushButton>(find, "CommandOK");
  button->click();  // nothing typed: nothing searched
  EXPECT_TRUE(calls.isEmpty());
  QTest::keyClicks(find.Text(), "O'Br");
  button->click();
  button->click();
  EXPECT_EQ(button->text(), Msg(3167));
  find.ChooseField(FormFind::kLastTest);
  answer = false;
  button->click();
  const auto call = [](FormFind::Field field, bool first) {
    return QStringLiteral("%1|O'Br|%2").arg(field).arg(first);
  };
  EXPECT_EQ(calls, (QStringList{call(FormFind::kSurname, true), call(FormFind::kSurname, false),
                                call(FormFind::kLastTest, true)}));
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
  Click(filter, "CommandApply");
  ASSERT_TRUE(applied);
  EXPECT_EQ(applied->Boxes[26], "31/12/2023");
  EXPECT_TRUE(applied->Category2 && !applied->Category1);
  EXPECT_NE(filter.result(), QDialog::Accepted);  // refused: the window stays

  Click(filter, "CommandCurrent");
  EXPECT_EQ(filter.CriterionBox(1)->text() + '|' + filter.CriterionBox(15)->text(),
            "Smith|01/02/2020");
  Click(filter, "CommandClear");
  EXPECT_EQ(cleared, 1);
  EXPECT_TRUE(filter.Criteria().IsEmpty());

  FormFilter french(1036, FilterCriteria(), actions);
  EXPECT_EQ(french.findChild<QCheckBox*>("CheckCategory0"), nullptr);
  Child<QCheckBox>(french, "CheckMP42")->setChecked(true);
  QTest::keyClicks(Child<QLineEdit>(french, "Text2_0"), "12,5");
  EXPECT_TRUE(french.Criteria().Mp42.ticked);
  EXPECT_EQ(french.Criteria().Mp42.upper, "12,5");
}

TEST_F(DialogsTest, ChangePatNoReturnsTheChoiceAndSmallDialogsShowTheirTitles) {
  QStringList tried;
  FormChangePatNo change("A1", [&](const QString& number) {
    tried << number;
    return number == "B2";
  });
  EXPECT_EQ(Child<QLineEdit>(change, "TextOldPatNo")->text(), "A1");
  auto* box = Child<QLineEdit>(change, "TextNewPatNo");
  QTest::keyClicks(box, "A1");
  change.accept();
  EXPECT_NE(change.result(), QDialog::Accepted);
  box->setText("B2");
  change.accept();
  EXPECT_EQ(change.result(), QDialog::Accepted);
  EXPECT_EQ(tried, QStringList({"A1", "B2"}));

  // Small dialogs are wide enough for their whole titles.
  FormSort sort(SortField::Surname);  // what it shows is checked on the main window
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
  const struct {
    B buttons;
    QString title;
    I asked, shown;
  } cases[] = {{B::YesNo, "Delete", I::None, I::Question},
               {B::OkCancel, "Sonivera", I::None, I::Question},
               {B::Ok, Msg(974), I::None, I::Critical},
               {B::Ok, "Date Error", I::None, I::Information},
               {B::Ok, "Missing File", I::Exclamation, I::Exclamation}};
  for (const auto& c : cases) {
    EXPECT_EQ(GuiPrompter::IconFor(c.buttons, c.title, c.asked), c.shown) << c.title.toStdString();
  }
}

}  // namespace
}  // namespace sonivera::ui
