#pragma once

#include <gtest/gtest.h>

#include "db/Sqlite.h"
#include "register/RecordEditor.h"
#include "register/Register.h"
#include "support/RegisterChecks.h"
#include "support/StoredRows.h"
#include "support/TestApp.h"

namespace sonivera::test {

// Records what the record editor asks of the window.
struct RecordingListener : RecordEditorListener {
  void ShowPage(MainPage page) override { pages.push_back(page); }
  void GridChanged(int row, int column) override { grid_changes.push_back({row, column}); }
  void Redraw() override { ++redraws; }
  std::vector<MainPage> pages;
  std::vector<std::pair<int, int>> grid_changes;
  int redraws = 0;
};

// A started program with a register and a record editor on a fresh database.
class RegisterFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(t.Init());
    t->SetExaminerName("Examiner E");
    reg = std::make_unique<Register>(t->Db(), t->Reporter(), t->UserLocale());
    editor = std::make_unique<RecordEditor>(t->ForEditor(), reg.get());
    editor->SetListener(&listener);
  }

  const RegisterCursor& Cursor() const { return reg->Cursor(); }
  CategorisationState& Categorisation() { return t->Categorisation(); }
  db::Connection& Conn() { return t->Db().Conn(); }

  // A test's date and time, and each ear's nine thresholds level, level + 5, ... level + 40.
  static void FillTest(EntryFields& e, const QString& date, const QString& time, int level = 20) {
    e.Dates[kBoxDateofTest] = date;
    e.Dates[kBoxTimeofTest] = time;
    for (int i = 0; i < 18; ++i) e.Thresholds[i] = QString::number(level + (i % 9) * 5);
  }

  // Adds a patient with one audiogram through the editor, as a user would.
  void AddPatient(const QString& pat_no, const QString& surname, const QString& date,
                  const QString& time = "10:00:00") {
    ASSERT_TRUE(editor->AddPatient());
    auto& e = editor->Entries();
    e.PatNo = pat_no;
    e.Surname = surname;
    e.Forenames = "Ann";
    e.DOB = "01/02/1970";
    e.OptionFemale = true;
    e.Address[0] = "1 " + surname + " Street";
    FillTest(e, date, time);
    ASSERT_EQ(editor->Save(), RecordEditor::SaveResult::Saved)
        << t.prompter.Texts().join("|").toStdString();
  }

  void InsertTest(const QString& date, const QString& time = "10:00:00", int level = 20) {
    ASSERT_TRUE(editor->InsertAudiogram(reg->Cursor().PatNo));
    FillTest(editor->Entries(), date, time, level);
    ASSERT_EQ(editor->Save(), RecordEditor::SaveResult::Saved)
        << t.prompter.Texts().join("|").toStdString();
  }

  QString Scalar(const QString& sql) { return ScalarText(Conn(), sql); }
  QStringList Shown() const { return PromptLines(t.prompter); }
  // The four status bar texts, joined with " | ".
  QString Status() {
    const auto texts = reg->StatusTexts();
    return QStringList(texts.begin(), texts.end()).join(" | ");
  }
  // Every row of every audiogram table, in a fixed order.
  QString Dump() {
    return DumpTables(Conn(), {"PatDetails", "TestDetails", "TestResultsLeft", "TestResultsRight",
                               "TestQuestions", "AddressDetails", "VisionDetails"});
  }

  QStringList Column(int column) {
    QStringList values;
    auto& model = reg->Model();
    for (int row = 0; model.EnsureRow(row); ++row) values << model.Stored(row, column).toString();
    return values;
  }

  TestApp t;
  RecordingListener listener;
  std::unique_ptr<Register> reg;
  std::unique_ptr<RecordEditor> editor;
};

}  // namespace sonivera::test
