#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>

#include "register/AnswerCodes.h"

namespace sonivera {

namespace db {
class Connection;
}

// One stored test by its key: the patient number, its date 'yyyy-MM-dd' and
// time 'HH:mm:ss'.
struct StoredTestKey {
  QString pat_no;
  QString date;
  QString time;
};

// A test's answer row (TestQuestions), question 1 at index 0.
struct StoredAnswerRow {
  std::array<QString, kQuestionCount> code_texts;           // Q1 ... as stored
  std::array<std::optional<qint64>, kQuestionCount> codes;  // nullopt: no value
  std::array<QString, kQuestionCount> texts;                // Ans1 ...; null: no value
};

// The test's answer row; nullopt when the test has none. Engine failures (an
// older database without the table) come out as db::SqliteError.
std::optional<StoredAnswerRow> ReadTestAnswers(db::Connection& connection,
                                               const StoredTestKey& key);

// The reads of whole stored tests for the register export, each statement
// prepared once (on construction) for a run over many tests.
class StoredTestReader {
 public:
  // The header's columns: PatDetails and TestDetails from PatNo to Notes.
  static constexpr int kHeaderColumns = 27;
  // An ear's levels: 250 Hz ... 8 kHz, then 125 Hz and 750 Hz.
  static constexpr int kEarColumns = 11;

  explicit StoredTestReader(db::Connection& connection);
  ~StoredTestReader();
  StoredTestReader(const StoredTestReader&) = delete;
  StoredTestReader& operator=(const StoredTestReader&) = delete;

  // The patient and test header (kHeaderColumns texts, dates as stored);
  // nullopt when the patient or the test has gone.
  std::optional<QStringList> Header(const StoredTestKey& key);
  // The address lines of the test's own address row, else of the newest one.
  std::optional<std::array<QString, 6>> Address(const StoredTestKey& key);
  // One ear's levels (kEarColumns texts); nullopt when the test has none.
  std::optional<QStringList> LeftEar(const StoredTestKey& key);
  std::optional<QStringList> RightEar(const StoredTestKey& key);
  std::optional<StoredAnswerRow> Answers(const StoredTestKey& key);

 private:
  struct Statements;
  std::unique_ptr<Statements> statements_;
};

}  // namespace sonivera
