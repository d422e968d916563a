#include "ui/DemoWindowTest.h"
#include "ui/FormChangePatNo.h"
#include "ui/FormFilter.h"
#include "ui/FormFind.h"
#include "ui/FormSort.h"
#include "ui/PicGraph.h"

namespace sonivera::ui {
namespace {

class FormMainTest : public DemoWindowTest {
 protected:
  // Replaces the box's text by typing, as a user would.
  void Type(QLineEdit* box, const QString& text) {
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
  }
  RegisterModel& Model() { return window->Reg().Model(); }
  int CurrentRow() { return window->RegisterGrid()->currentIndex().row(); }
  QLineEdit* Surname() { return Child<QLineEdit>(*window->Details(), "TextField1"); }
};

TEST_F(FormMainTest, OpensOnTheLatestPatientWithEveryToolbarCommandInAMenu) {
  EXPECT_TRUE(window->windowTitle().startsWith("Sonivera 5.5 [ " + Model().PatNo(0) + ", "));
  EXPECT_EQ(window->StatusPanel(0)->text() + '|' + window->StatusPanel(2)->text(),
            Msg(490) + "8|" + Msg(493));
  QStringList tabs;
  for (int i = 0; i < 4; ++i) tabs << window->Pages()->tabText(i);
  EXPECT_EQ(tabs, (QStringList{Msg(129), Msg(130), Msg(131), Msg(132)}));
  EXPECT_EQ(window->Details()->PatNoBox()->text(), Model().PatNo(0));
  EXPECT_FALSE(window->Action("Post")->isEnabled());
  // The demonstration register is seeded once, every test categorised.
  EXPECT_EQ(SeedDemoRegister(*t, 8), 0);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TestDetails WHERE COALESCE(Categorisation, '') = ''"),
            "0");
  // Every toolbar command is in a menu, with a shortcut and a tip; Export
  // sits beside Import.
  QList<QAction*> in_menus;
  for (QMenu* menu : window->menuBar()->findChildren<QMenu*>()) in_menus << menu->actions();
  QStringList keys, lacking;
  for (QAction* action : Child<QToolBar>(*window, "Toolbar1")->actions()) {
    keys << action->objectName();
    if (action->isSeparator()) continue;
    if (!in_menus.contains(action) || action->shortcut().isEmpty() || action->toolTip().isEmpty()) {
      lacking << action->objectName();
    }
  }
  EXPECT_GE(keys.size() - keys.count(QString()), 13);
  EXPECT_TRUE(lacking.isEmpty()) << lacking.join(',').toStdString();
  EXPECT_EQ(keys.indexOf("Export"), keys.indexOf("ImportFile") + 1);
  // No register heading is cut.
  QTableView* grid = window->RegisterGrid();
  QStringList cut;
  for (int column = 0; column < grid->model()->columnCount(); ++column) {
    if (grid->columnWidth(column) < grid->horizontalHeader()->sectionSizeHint(column)) {
      cut << grid->model()->headerData(column, Qt::Horizontal).toString();
    }
  }
  EXPECT_TRUE(cut.isEmpty()) << cut.join(',').toStdString();
}

TEST_F(FormMainTest, TypedThresholdsReachGridAndChartAndCancelRestores) {
  // While a record is open a click in the register grid moves nothing, and
  // Cancel restores what was shown.
  auto shown = [&] { return Surname()->text() + '|' + window->Results()->ThresholdBox(0)->text(); };
  const QString before = shown();
  Trigger("Edit");
  window->Pages()->setCurrentIndex(FormMain::Tab(MainPage::Register));
  ASSERT_EQ(window->Pages()->currentIndex(), FormMain::Tab(MainPage::Register));
  QTableView* register_grid = window->RegisterGrid();
  const int row = CurrentRow();
  const QRect other = register_grid->visualRect(register_grid->model()->index(row + 2, 1));
  QTest::mouseClick(register_grid->viewport(), Qt::LeftButton, {}, other.center());
  EXPECT_EQ(CurrentRow(), row);
  EXPECT_EQ(register_grid->selectionModel()->selectedRows(),
            QModelIndexList{register_grid->model()->index(row, 0)});
  Type(Surname(), "Changed");
  Type(window->Results()->ThresholdBox(0), "99");
  Trigger("CancelEdit");
  EXPECT_EQ(window->Editor().Mode(), EditMode::Browsing);
  EXPECT_EQ(shown(), before);
  EXPECT_TRUE(Surname()->isReadOnly());

  window->Pages()->setCurrentIndex(FormMain::Tab(MainPage::Audiograms));
  // Left ear 3 kHz is box 5, grid row 0 column 5.
  QLineEdit* box = window->Results()->ThresholdBox(5);
  auto* baseline = Child<QLineEdit>(*window->Details(), "TextBaseline");
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
  // What the entry rule makes of each text is tested with the rule; here:
  // box, grid cell, chart point and a redraw follow every keystroke.
  PicGraph* graph = window->Results()->LeftGraph();
  for (const auto& [typed, expected] : {std::pair{"45", "45|45|45|redrawn"},
                                        {"-15", "||none|redrawn"},
                                        {"125", "12|12|12|redrawn"}}) {
    const int redraws = graph->RedrawCount();
    Type(box, typed);
    const auto& point = graph->Chart().Current()[chart::k3kHz];
    EXPECT_EQ(QStringList({box->text(), t->Categorisation().grid.Cell(0, 5),
                           point ? QString::number(*point) : "none",
                           graph->RedrawCount() > redraws ? "redrawn" : "kept"})
                  .join('|'),
              expected);
  }
}

TEST_F(FormMainTest, SavedNewPatientIsAtTheTopWithItsCategorisation) {
  Trigger("New Patient");
  ASSERT_EQ(window->Editor().Mode(), EditMode::AddingPatient);
  EXPECT_EQ(window->Pages()->currentIndex(), FormMain::Tab(MainPage::Details));
  DetailsPage* details = window->Details();
  QTest::keyClicks(details->PatNoBox(), "N'1");
  QTest::keyClicks(Surname(), "O'Hara");
  QTest::keyClicks(details->DobBox(), "02031975");
  Child<QRadioButton>(*details, "OptionFemale")->click();
  QTest::keyClicks(details->DateBox(kBoxDateofTest), QDate::currentDate().toString("ddMMyyyy"));
  QTest::keyClicks(details->DateBox(kBoxTimeofTest), "093000");
  for (int item = 0; item < kThresholdBoxCount; ++item) {
    Type(window->Results()->ThresholdBox(item), item % 9 >= 5 ? "35" : "10");
  }
  Trigger("Post");
  EXPECT_EQ(window->Editor().Mode(), EditMode::Browsing);
  EXPECT_EQ(test::Shown(t.prompter), QStringList());
  EXPECT_EQ(Model().PatNo(0) + '|' + QString::number(CurrentRow()), "N'1|0");
  EXPECT_TRUE(Model().Stored(0, kColCategorisation).toString().contains("HSE"));
  EXPECT_EQ(window->StatusPanel(0)->text(), Msg(490) + "9");
  EXPECT_EQ(window->Pages()->currentIndex(), FormMain::Tab(MainPage::Register));
}

TEST_F(FormMainTest, ScrollBarMovesBetweenTestsAndIsInertWhileEditing) {
  QScrollBar* bar = window->Results()->VScrollResults();
  const int count = window->Reg().Cursor().TestCount;
  ASSERT_GT(count, 2);
  EXPECT_EQ(bar->maximum(), count - 1);
  // The shown test's index, its number and the frame's caption.
  auto shown = [&] {
    return QStringList{
        QString::number(window->Reg().Cursor().TestIndex),
        Child<QLabel>(*window->Results(), "LabelRecordNo")->text(),
        Child<QWidget>(*window->Results(), "FrameResults")->property("title").toString()};
  };
  EXPECT_EQ(shown().value(2), Msg(1116));
  bar->setValue(1);
  const QStringList historic = {"1", QString::number(count - 1), Msg(1115)};
  EXPECT_EQ(shown(), historic);
  const QString historic_threshold = window->Results()->ThresholdBox(2)->text();

  Trigger("Edit");
  bar->setValue(2);
  EXPECT_EQ(shown(), historic);
  EXPECT_EQ(bar->value(), 1);
  Trigger("CancelEdit");
  EXPECT_EQ(window->Results()->ThresholdBox(2)->text(), historic_threshold);
  Trigger("older");
  EXPECT_EQ(window->Reg().Cursor().TestIndex, 2);
}

TEST_F(FormMainTest, FindMovesTheRegisterAndFilterAndSortShowWhatIsInForce) {
  Model().EnsureRow(5);
  const QString surname = Model().Stored(5, kColSurname).toString();
  auto surnames = [&] {  // the register's surnames, each once
    QStringList shown;
    for (int row = 0; row < Model().rowCount(); ++row)
      shown << Model().Stored(row, kColSurname).toString();
    shown.removeDuplicates();
    return shown;
  };
  // Each window as it opens: what it shows, then the answer.
  QStringList seen;
  window->run_dialog = [&](QDialog& dialog) {
    if (auto* find = qobject_cast<FormFind*>(&dialog)) {
      find->ChooseField(FormFind::kSurname);
      find->Text()->setText(surname);
      EXPECT_TRUE(find->FindRecord());
    } else if (auto* filter = qobject_cast<FormFilter*>(&dialog)) {
      seen << filter->CriterionBox(1)->text();
      filter->CriterionBox(1)->setText(surname);
      filter->CommandApply();
    } else if (auto* sort = qobject_cast<FormSort*>(&dialog)) {
      seen << QString::number(int(sort->Chosen()));
      sort->Choose(SortField::DOB);
      sort->accept();
    }
    return dialog.result();
  };
  Trigger("Find");
  EXPECT_EQ(Model().Stored(CurrentRow(), kColSurname).toString(), surname);
  EXPECT_EQ(window->Reg().Cursor().PatNo, Model().PatNo(CurrentRow()));
  EXPECT_EQ(Surname()->text(), surname);

  Trigger("Filter");
  EXPECT_EQ(window->StatusPanel(2)->text(), Msg(492));
  EXPECT_EQ(surnames(), QStringList{surname});
  for (const char* key : {"Sort", "Sort", "Filter"}) Trigger(key);
  EXPECT_EQ(seen, (QStringList{"", QString::number(int(SortField::None)),
                               QString::number(int(SortField::DOB)), surname}));
  EXPECT_EQ(window->StatusPanel(2)->text(), Msg(492));
  EXPECT_EQ(surnames(), QStringList{surname});
}

TEST_F(FormMainTest, LeavingAnEditAsksFirst) {
  Trigger("Edit");
  window->Pages()->setCurrentIndex(FormMain::Tab(MainPage::Details));
  t.prompter.QueueAnswer(Prompter::Answer::No);
  window->Pages()->setCurrentIndex(FormMain::Tab(MainPage::Register));
  EXPECT_EQ(t.prompter.Texts().last(), Msg(1006));
  EXPECT_EQ(window->Pages()->currentIndex(), FormMain::Tab(MainPage::Details));

  t.prompter.QueueAnswer(Prompter::Answer::No);
  EXPECT_FALSE(window->close());
  EXPECT_EQ(t.prompter.Texts().last(), Msg(1030));
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
  EXPECT_TRUE(t.prompter.Texts().last().startsWith(Msg(993) + pat_no));
  EXPECT_EQ(t.prompter.Prompts().back().default_answer, Prompter::Answer::No);
  EXPECT_EQ(window->Reg().Cursor().TestCount, tests);
  t.prompter.QueueAnswer(Prompter::Answer::Yes);
  Trigger("Delete");
  EXPECT_EQ(window->Reg().Cursor().PatNo, pat_no);
  EXPECT_EQ(window->Reg().Cursor().TestCount, tests - 1);

  window->run_dialog = Answering<FormChangePatNo>([](FormChangePatNo& change) {
    Child<QLineEdit>(change, "TextNewPatNo")->setText("Z'9");
    change.accept();
  });
  Trigger("ChangePatNo");
  EXPECT_EQ(window->Reg().Cursor().PatNo + '|' + Model().PatNo(CurrentRow()), "Z'9|Z'9");
  EXPECT_TRUE(window->windowTitle().contains("Z'9"));

  // The shown test's predecessor carries no "+10": nothing is stored, and
  // the window says so once.
  const QStringList before = t.prompter.Texts();
  Trigger("Recheck");
  EXPECT_EQ(t.prompter.Texts(),
            before + QStringList{"The previous test does not have +10dB categorisation."});
}

}  // namespace
}  // namespace sonivera::ui
