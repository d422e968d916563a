#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <array>
#include <optional>

#include "register/AnswerCodes.h"

namespace sonivera {

class ErrorReporter;
struct EntryFields;

namespace db {
class Connection;
}

// questions.txt may hold one line more than the questions stored per test.
constexpr int kMaxQuestionLines = 51;
// The width of Ans1 ... Ans50.
constexpr int kMaxAnswerLength = 100;
// What the answer window returns when nothing was entered.
inline const QString kAnswerCancelled = QStringLiteral("Cancel");

// The answers of one test, question 1 at index 0.
struct Answers {
  std::array<int, kQuestionCount> codes{};
  std::array<QString, kQuestionCount> texts{};

  // ClearAnswers: every code 0, every text empty.
  void ClearAnswers();
  bool IsEmpty() const;
  bool operator==(const Answers& other) const = default;
};

// The question texts of questions.txt. A longer file than kMaxQuestionLines
// keeps the first lines and sets `too_long`.
struct QuestionFile {
  QStringList texts;
  bool found = false;
  bool too_long = false;
};
QuestionFile ReadQuestionFile(const QString& path);

// The response column's text for an answer code.
QString ResponseText(int code);

// Why a text answer was refused, or nullopt when it is accepted.
enum class AnswerRefusal { TooLong };
std::optional<AnswerRefusal> CheckAnswerText(const QString& text);

// loadqreply: the stored answers of one test; nullopt when the test has no
// TestQuestions row. Throws db::SqliteError on engine failures.
std::optional<Answers> ReadStoredAnswers(db::Connection& connection, const QString& pat_no,
                                         const QDate& test_date, const QTime& test_time);

// The answers travel with the entry fields the save writes.
void CopyAnswersTo(const Answers& answers, EntryFields& entries);
Answers AnswersOf(const EntryFields& entries);

// The questionnaire of the shown test: its question texts, the answers held
// in memory and the current question.
class Questionnaire {
 public:
  // LoadQuestions: reads questions.txt; a file longer than 51 lines is
  // reported and its first questions kept. A missing file gives no texts.
  void LoadQuestions(const QString& path, ErrorReporter& reporter);
  void SetQuestions(const QStringList& texts) { questions_ = texts; }

  // loadqreply: replaces the held answers with the stored ones of the test
  // (cleared when it has none). Failures are reported with the loadqreply
  // tags and leave the answers cleared; returns false then.
  bool loadqreply(db::Connection& connection, const QString& pat_no, const QDate& test_date,
                  const QTime& test_time, ErrorReporter& reporter);
  void ClearAnswers() { answers_.ClearAnswers(); }

  // QuestionAction: "up", "down", "yes", "no", "text" (any case). The text is
  // the answer window's result for "text". Returns false for an unknown word
  // or a text answer that does not fit; nothing changes then.
  bool QuestionAction(const QString& action, const QString& text = QString());
  // The answer window's result: "Cancel" means nothing was entered.
  bool AnswerFromWindow(const QString& result);
  // Delete: the current question's answer is removed; the position stays.
  void DeleteAnswer();

  QString QuestionText(int number) const;  // 1-based; empty past the file
  QString CurrentQuestionText() const { return QuestionText(current_); }
  int Current() const { return current_; }
  void SetCurrent(int number);

  const Answers& Held() const { return answers_; }
  void SetAnswers(const Answers& answers) { answers_ = answers; }
  const QStringList& Questions() const { return questions_; }

 private:
  void Advance();

  QStringList questions_;
  Answers answers_;
  int current_ = 1;
};

}  // namespace sonivera
