#include "questionnaire/Questionnaire.h"

#include <algorithm>

#include "base/AppError.h"
#include "base/ErrorLog.h"
#include "base/Messages.h"
#include "base/TextFiles.h"
#include "db/Sqlite.h"
#include "register/EntryFields.h"
#include "register/StoredTestQueries.h"

namespace sonivera {

void Answers::ClearAnswers() {
  codes.fill(kNoAnswer);
  for (auto& text : texts) text.clear();
}

bool Answers::IsEmpty() const {
  for (int i = 0; i < kQuestionCount; ++i) {
    if (codes[i] != kNoAnswer || !texts[i].isEmpty()) return false;
  }
  return true;
}

void CopyAnswersTo(const Answers& answers, EntryFields& entries) {
  static_assert(kAnswerCount == kQuestionCount);
  for (int i = 0; i < kQuestionCount; ++i) {
    entries.QuestionCodes[i] = answers.codes[i];
    entries.AnswerTexts[i] = answers.texts[i];
  }
}

Answers AnswersOf(const EntryFields& entries) {
  Answers answers;
  for (int i = 0; i < kQuestionCount; ++i) {
    answers.codes[i] = entries.QuestionCodes[i];
    answers.texts[i] = entries.AnswerTexts[i];
  }
  return answers;
}

QuestionFile ReadQuestionFile(const QString& path) {
  QuestionFile file;
  const auto lines = ReadTextLines(path);
  if (!lines) return file;
  file.found = true;
  file.texts = *lines;
  if (file.texts.size() > kMaxQuestionLines) {
    file.too_long = true;
    file.texts = file.texts.mid(0, kMaxQuestionLines);
  }
  return file;
}

QString ResponseText(int code) {
  switch (code) {
    case kAnswerYes:
      return QStringLiteral("Yes");
    case kAnswerNo:
      return QStringLiteral("No");
    case kAnswerText:
      return QStringLiteral("-");
    default:
      return QString();
  }
}

std::optional<AnswerRefusal> CheckAnswerText(const QString& text) {
  if (text.size() > kMaxAnswerLength) return AnswerRefusal::TooLong;
  return std::nullopt;
}

std::optional<Answers> ReadStoredAnswers(db::Connection& connection, const QString& pat_no,
                                         const QDate& test_date, const QTime& test_time) {
  const auto row = ReadTestAnswers(connection, {pat_no, test_date.toString(QStringLiteral("yyyy-MM-dd")),
                                                test_time.toString(QStringLiteral("HH:mm:ss"))});
  if (!row) return std::nullopt;
  Answers answers;
  for (int i = 0; i < kQuestionCount; ++i) {
    answers.codes[i] = row->codes[i] ? static_cast<int>(*row->codes[i]) : kNoAnswer;
    answers.texts[i] = row->texts[i];
  }
  return answers;
}

void Questionnaire::LoadQuestions(const QString& path, ErrorReporter& reporter) {
  QuestionFile file = ReadQuestionFile(path);
  questions_ = file.texts;
  if (file.too_long) {
    // The file holds more questions than a test can answer.
    reporter.Report(QStringLiteral("Subscript out of range"), errnum::kSubscriptOutOfRange,
                    QStringLiteral("loadquestions"));
  }
}

bool Questionnaire::loadqreply(db::Connection& connection, const QString& pat_no,
                               const QDate& test_date, const QTime& test_time,
                               ErrorReporter& reporter) {
  answers_.ClearAnswers();
  try {
    if (auto stored = ReadStoredAnswers(connection, pat_no, test_date, test_time)) {
      answers_ = *stored;
    }
    return true;
  } catch (const db::SqliteError& error) {
    // A missing table or column means a database of an older layout.
    const QString description = QString::fromStdString(error.what());
    if (description.contains(QLatin1String("no such"))) {
      reporter.ShowAndLog(Msg(1028) + description + ErrorTag(QStringLiteral("loadqreply"), 1028));
    } else {
      reporter.Report(description, errnum::kDatabaseError, QStringLiteral("loadqreply"));
    }
    return false;
  }
}

bool Questionnaire::QuestionAction(const QString& action, const QString& text) {
  const QString word = action.toLower();
  const int q = current_ - 1;
  if (word == QLatin1String("up")) {
    if (current_ >= 2) --current_;
    return true;
  }
  if (word == QLatin1String("down")) {
    Advance();
    return true;
  }
  if (word == QLatin1String("yes") || word == QLatin1String("no")) {
    answers_.codes[q] = word == QLatin1String("yes") ? kAnswerYes : kAnswerNo;
    answers_.texts[q].clear();
    Advance();
    return true;
  }
  if (word == QLatin1String("text")) {
    if (CheckAnswerText(text)) return false;
    answers_.codes[q] = kAnswerText;
    answers_.texts[q] = text;
    Advance();
    return true;
  }
  return false;
}

bool Questionnaire::AnswerFromWindow(const QString& result) {
  if (result == kAnswerCancelled) return false;
  return QuestionAction(QStringLiteral("text"), result);
}

void Questionnaire::DeleteAnswer() {
  answers_.codes[current_ - 1] = kNoAnswer;
  answers_.texts[current_ - 1].clear();
}

QString Questionnaire::QuestionText(int number) const {
  if (number < 1 || number > questions_.size()) return QString();
  return questions_[number - 1];
}

void Questionnaire::SetCurrent(int number) { current_ = std::clamp(number, 1, kQuestionCount - 1); }

void Questionnaire::Advance() {
  // The last question is never made current: answering stops at 49.
  if (current_ < kQuestionCount - 1) ++current_;
}

}  // namespace sonivera
