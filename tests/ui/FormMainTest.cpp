#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolBar>

#include "base/Messages.h"
#include "register/Register.h"
#include "register/RegisterModel.h"
#include "ui/DemoWindowTest.h"
#include "ui/DetailsPage.h"
#include "ui/FormChangePatNo.h"
#include "ui/FormFilter.h"
#include "ui/FormFind.h"
#include "ui/FormSort.h"
#include "ui/PicGraph.h"
#include "ui/ResultsPage.h"

namespace sonivera::ui {
namespace {

class FormMainTest : public DemoWindowTest {
 protected:
  void Trigger(const char* key) { DemoWindowTest::Trigger(*window, key); }
  // Replaces the box's text by typing, as a user would.
  void Type(QLineEdit* box, const QString& text) {
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
  }
  RegisterModel& Model() { return window->Reg().Model(); }
  int CurrentRow() { return window->RegisterGrid()->currentIndex().row(); }
};

TEST_F(FormMainTest, OpensOnTheLatestPatientWithEveryToolbarCommandInAMenu) {
  EXPECT_TRUE(window->windowTitle().startsWith("Sonivera 5.5 [ " + Model().PatNo(0) + ", "));
  EXPECT_EQ(window->StatusPanel(0)->text(), Msg(490) + "8");
  EXPECT_EQ(window->StatusPanel(2)->text(), Msg(493));
  const QStringList tabs = {Msg(129), Msg(130), Msg(131), Msg(132)};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(window->Pages()->tabText(i), tabs[i]);
  EXPECT_EQ(window->Details()->PatNoBox()->text(), Model().PatNo(0));
  EXPECT_FALSE(window->Action("Questions")->isEnabled());
  EXPECT_FALSE(window->Action("Post")->isEnabled());
  // Every toolbar command is in a menu, with a shortcut and a tip.
  auto* toolbar = window->findChild<QToolBar*>("Toolbar1");
  ASSERT_NE(toolbar, nullptr);
  QList<QAction*> in_menus;
  for (QMenu* menu : window->menuBar()->findChildren<QMenu*>()) in_menus << menu->actions();
  int commands = 0;
  for (QAction* action : toolbar->actions()) {
    if (action->isSeparator()) continue;
    ++commands;
    SCOPED_TRACE(action->objectName().toStdString());
    EXPECT_TRUE(in_menus.contains(action));
    EXPECT_FALSE(action->shortcut().isEmpty());
    EXPECT_FALSE(action->toolTip().isEmpty());
  }
  EXPECT_GE(commands, 13);
  // No register heading is cut.
  QTableView* grid = window->RegisterGrid();
  for (int column = 0; column < grid->model()->columnCount(); ++column) {
    EXPECT_GE(grid->columnWidth(column), grid->horizontalHeader()->sectionSizeHint(column))
        << grid->model()->headerData(column, Qt::Horizontal).toString().toStdString();
  }
  // Export sits beside Import.
  const auto actions = toolbar->actions();
  const auto import_at = actions.indexOf(window->Action("ImportFile"));
  ASSERT_GE(import_at, 0);
  EXPECT_EQ(actions.indexOf(window->Action("Export")), import_at + 1);
}

TEST_F(FormMainTest, TypedThresholdsFollowTheEntryRuleIntoGridAndChart) {
  // While a record is open a click in the register grid moves nothing, and
  // Cancel restores what was shown.
  auto* surname = window->Details()->findChild<QLineEdit*>("TextField1");
  const QString shown_surname = surname->text();
  const QString shown_threshold = window->Results()->ThresholdBox(0)->text();
  Trigger("Edit");
  window->Pages()->setCurrentIndex(FormMain::Tab(MainPage::Register));
  ASSERT_EQ(window->Pages()->currentIndex(), FormMain::Tab(MainPage::Register));
  QTableView* register_grid = window->RegisterGrid();
  const int row = CurrentRow();
  const QRect other = register_grid->visualRect(register_grid->model()->index(row + 2, 1));
  QTest::mouseClick(register_grid->viewport(), Qt::LeftButton, {}, other.center());
  EXPECT_EQ(CurrentRow(), row);
  ASSERT_EQ(register_grid->selectionModel()->selectedRows().size(), 1);
  EXPECT_EQ(register_grid->selectionModel()->selectedRows().first().row(), row);
  Type(surname, "Changed");
  Type(window->Results()->ThresholdBox(0), "99");
  Trigger("CancelEdit");
  EXPECT_EQ(window->Editor().Mode(), EditMode::Browsing);
  EXPECT_EQ(surname->text(), shown_surname);
  EXPECT_EQ(window->Results()->ThresholdBox(0)->text(), shown_threshold);
  EXPECT_TRUE(surname->isReadOnly());

  window->Pages()->setCurrentIndex(FormMain::Tab(MainPage::Audiograms));
  // Left ear 3 kHz is box 5, grid row 0 column 5.
  QLineEdit* box = window->Results()->ThresholdBox(5);
  auto* baseline = window->Details()->findChild<QLineEdit*>("TextBaseline");
  const QString baseline_shown = baseline->text();
  ASSERT_FALSE(baseline_shown.isEmpty());
  // Ctrl+E (Edit Record) works with the focus in a text box, even where the
  // desktop's key scheme makes a text box claim Ctrl+E (end of line).
  struct ClaimsShortcutKeys : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::ShortcutOverride) event->accept();
      return event->type() == QEvent::ShortcutOverride;
    }
  } claims;
  box->installEventFilter(&claims);
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  box->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), box);
  QTest::keyClick(box, Qt::Key_E, Qt::ControlModifier);
  box->removeEventFilter(&claims);
  ASSERT_EQ(window->Editor().Mode(), EditMode::Editing);
  EXPECT_EQ(baseline->text(), baseline_shown);  // the Baseline box stays filled
  const AudiogramGrid& grid = t->Categorisation().grid;
  struct Case {
    QString typed, box, grid;
  };
  const Case cases[] = {{"45", "45", "45"},
                        {"-15", "", ""},
                        {"125", "12", "12"},
                        {"-10", "-10", "-10"},
                        {"120", "120", "120"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed.toStdString());
    const int redraws = window->Results()->LeftGraph()->RedrawCount();
    Type(box, c.typed);
    EXPECT_EQ(box->text(), c.box);
    EXPECT_EQ(grid.Cell(0, 5), c.grid);
    EXPECT_GT(window->Results()->LeftGraph()->RedrawCount(), redraws);
    const auto& point = window->Results()->LeftGraph()->Chart().Current()[chart::k3kHz];
    if (c.grid.isEmpty()) {
      EXPECT_FALSE(point);
    } else {
      ASSERT_TRUE(point);
      EXPECT_EQ(*point, c.grid.toDouble());
    }
  }
}

TEST_F(FormMainTest, SavedNewPatientIsAtTheTopWithItsCategorisation) {
  Trigger("New Patient");
  ASSERT_EQ(window->Editor().Mode(), EditMode::AddingPatient);
  EXPECT_EQ(window->Pages()->currentIndex(), FormMain::Tab(MainPage::Details));
  DetailsPage* details = window->Details();
  QTest::keyClicks(details->PatNoBox(), "N'1");
  QTest::keyClicks(details->findChild<QLineEdit*>("TextField1"), "O'Hara");
  QTest::keyClicks(details->DobBox(), "02031975");
  details->findChild<QRadioButton*>("OptionFemale")->click();
  QTest::keyClicks(details->DateBox(kBoxDateofTest), QDate::currentDate().toString("ddMMyyyy"));
  QTest::keyClicks(details->DateBox(kBoxTimeofTest), "093000");
  for (int item = 0; item < kThresholdBoxCount; ++item) {
    Type(window->Results()->ThresholdBox(item), item % 9 >= 5 ? "35" : "10");
  }
  Trigger("Post");
  EXPECT_EQ(window->Editor().Mode(), EditMode::Browsing);
  EXPECT_TRUE(t.prompter.Prompts().empty()) << t.prompter.Texts().join("\n").toStdString();
  EXPECT_EQ(Model().PatNo(0), "N'1");
  EXPECT_EQ(CurrentRow(), 0);
  EXPECT_TRUE(Model().Stored(0, kColCategorisation).toString().contains("HSE"));
  EXPECT_EQ(window->StatusPanel(0)->text(), Msg(490) + "9");
  EXPECT_EQ(window->Pages()->currentIndex(), FormMain::Tab(MainPage::Register));
}

TEST_F(FormMainTest, ScrollBarMovesBetweenTestsAndIsInertWhileEditing) {
  QScrollBar* bar = window->Results()->VScrollResults();
  const int count = window->Reg().Cursor().TestCount;
  ASSERT_GT(count, 2);
  EXPECT_EQ(bar->maximum(), count - 1);
  auto* number = window->Results()->findChild<QLabel*>("LabelRecordNo");
  auto frame_caption = [this] {
    return window->Results()->findChild<QWidget*>("FrameResults")->property("title").toString();
  };
  EXPECT_EQ(frame_caption(), Msg(1116));
  bar->setValue(1);
  EXPECT_EQ(window->Reg().Cursor().TestIndex, 1);
  EXPECT_EQ(number->text(), QString::number(count - 1));
  EXPECT_EQ(frame_caption(), Msg(1115));
  const QString historic_threshold = window->Results()->ThresholdBox(2)->text();

  Trigger("Edit");
  bar->setValue(2);
  EXPECT_EQ(window->Reg().Cursor().TestIndex, 1);
  EXPECT_EQ(bar->value(), 1);
  window->RegisterGrid()->selectRow(3);
  EXPECT_EQ(window->Reg().CurrentRow(), 0);  // browsing is refused too
  Trigger("CancelEdit");
  EXPECT_EQ(window->Results()->ThresholdBox(2)->text(), historic_threshold);
  window->Action("older")->trigger();
  EXPECT_EQ(window->Reg().Cursor().TestIndex, 2);
}

TEST_F(FormMainTest, FindMovesTheRegisterAndFilterShowsFilterOn) {
  Model().EnsureRow(5);
  const QString surname = Model().Stored(5, kColSurname).toString();
  window->run_dialog = [&](QDialog& dialog) {
    if (auto* find = qobject_cast<FormFind*>(&dialog)) {
      find->ChooseField(FormFind::kSurname);
      find->Text()->setText(surname);
      EXPECT_TRUE(find->FindRecord());
    } else if (auto* filter = qobject_cast<FormFilter*>(&dialog)) {
      filter->CriterionBox(1)->setText(surname);
      filter->CommandApply();
    }
    return dialog.result();
  };
  Trigger("Find");
  EXPECT_EQ(Model().Stored(CurrentRow(), kColSurname).toString(), surname);
  EXPECT_EQ(window->Reg().Cursor().PatNo, Model().PatNo(CurrentRow()));
  EXPECT_EQ(window->Details()->findChild<QLineEdit*>("TextField1")->text(), surname);

  Trigger("Filter");
  EXPECT_EQ(window->StatusPanel(2)->text(), Msg(492));
  ASSERT_GT(Model().rowCount(), 0);
  for (int row = 0; row < Model().rowCount(); ++row) {
    EXPECT_EQ(Model().Stored(row, kColSurname).toString(), surname);
  }

  // Reopened, the filter and sort windows show what is in force, and Apply keeps it.
  QString shown;
  SortField sort_shown = SortField::None;
  window->run_dialog = [&](QDialog& dialog) {
    if (auto* filter = qobject_cast<FormFilter*>(&dialog)) {
      shown = filter->CriterionBox(1)->text();
      filter->CommandApply();
    } else if (auto* sort = qobject_cast<FormSort*>(&dialog)) {
      sort_shown = sort->Chosen();
      sort->Choose(SortField::DOB);
      sort->accept();
    }
    return dialog.result();
  };
  Trigger("Sort");
  EXPECT_EQ(sort_shown, SortField::None);
  Trigger("Sort");
  EXPECT_EQ(sort_shown, SortField::DOB);
  Trigger("Filter");
  EXPECT_EQ(shown, surname);
  EXPECT_EQ(window->StatusPanel(2)->text(), Msg(492));
  EXPECT_EQ(Model().Stored(0, kColSurname).toString(), surname);
}

TEST_F(FormMainTest, LeavingAnEditAsksFirst) {
  Trigger("Edit");
  window->Pages()->setCurrentIndex(FormMain::Tab(MainPage::Details));
  t.prompter.QueueAnswer(Prompter::Answer::No);
  window->Pages()->setCurrentIndex(FormMain::Tab(MainPage::Register));
  EXPECT_EQ(t.prompter.Prompts().back().text, Msg(1006));
  EXPECT_EQ(window->Pages()->currentIndex(), FormMain::Tab(MainPage::Details));

  t.prompter.QueueAnswer(Prompter::Answer::No);
  EXPECT_FALSE(window->close());
  EXPECT_EQ(t.prompter.Prompts().back().text, Msg(1030));
  EXPECT_EQ(window->Editor().Mode(), EditMode::Editing);
  t.prompter.QueueAnswer(Prompter::Answer::Yes);
  EXPECT_TRUE(window->close());
  EXPECT_TRUE(t->Ended());
}

TEST_F(FormMainTest, DeleteRenumberAndRecheckGoThroughTheirQuestions) {
  const QString pat_no = window->Reg().Cursor().PatNo;
  const int tests = window->Reg().Cursor().TestCount;
  Trigger("Delete");  // unanswered: No is the default
  ASSERT_FALSE(t.prompter.Prompts().empty());
  EXPECT_TRUE(t.prompter.Prompts().back().text.startsWith(Msg(993) + pat_no));
  EXPECT_EQ(t.prompter.Prompts().back().default_answer, Prompter::Answer::No);
  EXPECT_EQ(window->Reg().Cursor().TestCount, tests);
  t.prompter.QueueAnswer(Prompter::Answer::Yes);
  Trigger("Delete");
  EXPECT_EQ(window->Reg().Cursor().PatNo, pat_no);
  EXPECT_EQ(window->Reg().Cursor().TestCount, tests - 1);

  window->run_dialog = Answering<FormChangePatNo>([](FormChangePatNo& change) {
    change.findChild<QLineEdit*>("TextNewPatNo")->setText("Z'9");
    change.accept();
  });
  Trigger("ChangePatNo");
  EXPECT_EQ(window->Reg().Cursor().PatNo, "Z'9");
  EXPECT_EQ(Model().PatNo(CurrentRow()), "Z'9");
  EXPECT_TRUE(window->windowTitle().contains("Z'9"));

  // The shown test's predecessor carries no "+10": nothing is stored.
  const size_t before = t.prompter.Prompts().size();
  Trigger("Recheck");
  ASSERT_EQ(t.prompter.Prompts().size(), before + 1);  // said once
  EXPECT_EQ(t.prompter.Prompts().back().text,
            "The previous test does not have +10dB categorisation.");
}

}  // namespace
}  // namespace sonivera::ui
