#pragma once
// A database with vision tests stored through the vision record editor.
#include <gtest/gtest.h>

#include <QDate>
#include <random>

#include "db/Database.h"
#include "register/EntryFields.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"
#include "vision/VisionEditor.h"

namespace sonivera::vision::test {

using sonivera::test::ScriptedPrompter;
using sonivera::test::TempFolder;

// One program folder: its database, prompter and vision editor.
struct VisionPlace {
  VisionPlace() {
    database.Create(folder.File("sonivera5.mdb"));
    editor = std::make_unique<VisionEditor>(database, prompter, Log());
  }
  ErrorLog Log() const { return ErrorLog(folder.File("err.log")); }
  QString LogText() const { return QString::fromUtf8(folder.Read("err.log")); }

  TempFolder folder;
  ScriptedPrompter prompter;
  db::Database database;
  std::unique_ptr<VisionEditor> editor;
};

// The particulars of one generated test.
struct VisionSample {
  QString pat_no, surname, forenames, date, time;  // date dd/mm/yyyy
  CodedResults coded;
  VisionAnswerFields answers;
  QString recall = kEmptyDateBox;
};

// Stores a test through the editor: a new patient, or a new test of a known one.
inline void StoreVision(VisionEditor& editor, const VisionSample& s, bool new_patient) {
  if (new_patient) {
    ASSERT_TRUE(editor.AddPatient());
    editor.Details().PatNo = s.pat_no;
  } else {
    editor.ChoosePatient(s.pat_no);
    ASSERT_TRUE(editor.InsertVision());
  }
  EntryFields& e = editor.Details();
  e.Surname = s.surname;
  e.Forenames = s.forenames;
  e.Dates[kBoxDateofTest] = s.date;
  e.Dates[kBoxTimeofTest] = s.time;
  e.DOB = QStringLiteral("14/03/1971");
  e.OptionFemale = true;
  e.Dates[kBoxRecallDate] = s.recall;
  editor.Answers() = s.answers;
  editor.Entry().BeginEdit(s.coded);
  ASSERT_EQ(editor.Save(true), VisionEditor::SaveResult::Saved);
}

// Random coded results: every column a value in its range.
inline CodedResults RandomResults(std::mt19937& random) {
  CodedResults coded;
  for (const ResultColumn& column : ResultColumns()) {
    SetColumnValue(coded, column.name, int(random() % (column.maximum + 1)));
  }
  return coded;
}

// A register of `count` patients with one to three vision tests each; every
// header field, address line and answer is filled on some of them.
inline void GenerateVisionRegister(VisionEditor& editor, int count, unsigned seed) {
  std::mt19937 random(seed);
  const QStringList surnames = {"O'Neill", "Smith", "Brown", "D'Arcy", "Jones"};
  for (int p = 0; p < count; ++p) {
    const int tests = 1 + int(random() % 3);
    for (int t = 0; t < tests; ++t) {
      VisionSample s;
      s.pat_no = QStringLiteral("V%1").arg(100 + p);
      s.surname = surnames[p % surnames.size()];
      s.forenames = QStringLiteral("Ann Marie");
      s.date = QDate(2020, 1, 1).addDays(p * 7 + t * 200).toString("dd/MM/yyyy");
      s.time = QStringLiteral("%1:%2:05").arg(8 + t, 2, 10, QChar('0')).arg(p % 60, 2, 10, QChar('0'));
      s.coded = RandomResults(random);
      VisionAnswerFields& a = s.answers;
      for (YesNo* answer : {&a.glasses, &a.contacts, &a.change_in_rx, &a.referred})
        *answer = random() % 2 ? YesNo::Yes : YesNo::No;
      s.answers.glasses_type = random() % 3 ? QStringLiteral("Bifocal") : QString();
      s.answers.last_exam =
          random() % 2 ? QStringLiteral("02/05/2019") : kEmptyDateBox;
      StoreVision(editor, s, t == 0);
      if (::testing::Test::HasFatalFailure()) return;
    }
    if (p % 4 == 3) continue;
    // Rewrite the latest test with every header field filled.
    editor.ChoosePatient(QStringLiteral("V%1").arg(100 + p));
    ASSERT_TRUE(editor.Edit());
    EntryFields& e = editor.Details();
    const std::pair<int, QString> details[] = {
        {kComboPositionRank, "Fitter's mate"}, {kComboDeptUnit, "Press shop"},
        {kComboCompany, "Acme Ltd"},           {kComboLocation, "Leeds"},
        {kComboExaminer, "J. Kerr"},           {kComboStatus, "Employed"},
        {kComboF1, QStringLiteral("f1-%1").arg(p)}, {kComboF2, "f2"},
        {kComboF3, "f3"},                      {kComboLeavingReason, p % 2 ? "Retired" : ""}};
    for (const auto& [item, text] : details) e.Details[item] = text;
    const std::pair<int, QString> dates[] = {
        {kBoxPreviousTest, "01/01/2019"}, {kBoxRecallDate, "01/06/2027"},
        {kBoxDateJoined, "10/10/2001"},   {kBoxDateLeft, p % 2 ? "10/10/2024" : kEmptyDateBox}};
    for (const auto& [box, text] : dates) e.Dates[box] = text;
    e.TestType = QStringLiteral("Screening");
    e.SerialNo = QStringLiteral("SN-%1").arg(p);
    e.Notes = QStringLiteral("Wears safety glasses; seen by O'Hara");
    for (int i = 0; i < kAddressLineCount; ++i) e.Address[i] = QStringLiteral("line %1").arg(i + 1);
    e.OptionMale = p % 2 == 0;
    e.OptionFemale = p % 2 == 1;
    ASSERT_EQ(editor.Save(true), VisionEditor::SaveResult::Saved);
  }
}

}  // namespace sonivera::vision::test
