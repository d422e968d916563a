#include <gtest/gtest.h>

#include <QStringDecoder>

#include "db/Sqlite.h"
#include "questionnaire/Questionnaire.h"
#include "questionnaire/QuestionnaireModel.h"
#include "register/EntryFields.h"
#include "support/TestApp.h"

namespace sonivera {
namespace {

struct NavigationCase {
  int start;
  QString action;
  int expected;
};

TEST(QuestionActionTest, KeepsTheCurrentQuestionBetweenOneAndFortyNineWhateverIsDone) {
  const NavigationCase cases[] = {
      {1, "up", 1},     {2, "UP", 1},    {1, "down", 2}, {48, "Down", 49},
      {49, "down", 49}, {49, "yes", 49}, {49, "no", 49}, {49, "text", 49},
      {10, "yes", 11},  {10, "No", 11},  {25, "up", 24}, {1, "sideways", 1},
  };
  for (const auto& c : cases) {
    Questionnaire q;
    q.SetCurrent(c.start);
    q.QuestionAction(c.action, QStringLiteral("x"));
    EXPECT_EQ(q.Current(), c.expected) << c.start << " " << c.action.toStdString();
  }
  // Question fifty is never reached by answering every question.
  Questionnaire q;
  for (int i = 0; i < 60; ++i) q.QuestionAction(QStringLiteral("yes"));
  EXPECT_EQ(q.Current(), 49);
  EXPECT_EQ(q.Held().codes[48], kAnswerYes);
  EXPECT_EQ(q.Held().codes[49], kNoAnswer);
  for (int i = 0; i < 60; ++i) q.QuestionAction(QStringLiteral("down"));
  EXPECT_EQ(q.Current(), 49);
}

TEST(QuestionActionTest,
     AnswersReplaceEachOtherDeleteClearsOnlyTheCurrentOneAndAllReachTheEntries) {
  Questionnaire q;
  q.QuestionAction(QStringLiteral("text"), QStringLiteral("Three years"));
  EXPECT_EQ(q.Held().codes[0], kAnswerText);
  EXPECT_EQ(q.Held().texts[0], QStringLiteral("Three years"));
  q.QuestionAction(QStringLiteral("up"));
  q.QuestionAction(QStringLiteral("no"));
  EXPECT_EQ(q.Held().codes[0], kAnswerNo);
  EXPECT_TRUE(q.Held().texts[0].isEmpty());
  q.QuestionAction(QStringLiteral("yes"));  // question 2
  q.QuestionAction(QStringLiteral("up"));
  q.DeleteAnswer();
  EXPECT_EQ(q.Current(), 2);
  EXPECT_EQ(q.Held().codes[1], kNoAnswer);
  EXPECT_EQ(q.Held().codes[0], kAnswerNo);
  // What is held goes into the entry fields the save writes, and back.
  q.QuestionAction("text", "Shotgun, weekends");
  EntryFields entries;
  CopyAnswersTo(q.Held(), entries);
  EXPECT_EQ(entries.QuestionCodes[0], kAnswerNo);
  EXPECT_EQ(entries.QuestionCodes[1], kAnswerText);
  EXPECT_EQ(entries.AnswerTexts[1], "Shotgun, weekends");
  EXPECT_EQ(AnswersOf(entries), q.Held());
}

TEST(QuestionActionTest, AnswerWindowCancelAndOverlongTextsEnterNothing) {
  Questionnaire q;
  EXPECT_FALSE(q.AnswerFromWindow(QStringLiteral("Cancel")));
  EXPECT_FALSE(q.AnswerFromWindow(QString(kMaxAnswerLength + 1, u'a')));
  EXPECT_EQ(q.Current(), 1);
  EXPECT_TRUE(q.Held().IsEmpty());
  // "cancel" in another case is a real answer; exactly 100 characters fit.
  EXPECT_TRUE(q.AnswerFromWindow(QStringLiteral("cancel")));
  EXPECT_TRUE(q.AnswerFromWindow(QString(kMaxAnswerLength, u'b')));
  EXPECT_EQ(q.Held().texts[0], QStringLiteral("cancel"));
  EXPECT_EQ(q.Held().texts[1].size(), kMaxAnswerLength);
  EXPECT_EQ(q.Current(), 3);
}

TEST(QuestionFileTest, ReadsUpToFiftyOneLinesInEitherEncodingAndLineEnd) {
  test::TempFolder folder;
  folder.Write("ten.txt", "Q one\r\nQ two\r\nQ3\nQ4\nQ5\nQ6\nQ7\nQ8\nQ9\nQ ten");
  folder.Write("cp1252.txt", "Caf\xe9 noise \x96 loud?\r\n");
  QByteArray long_file;
  for (int i = 1; i <= 52; ++i) long_file += "Question " + QByteArray::number(i) + "\r\n";
  folder.Write("long.txt", long_file);

  const QuestionFile ten = ReadQuestionFile(folder.File("ten.txt"));
  EXPECT_TRUE(ten.found);
  ASSERT_EQ(ten.texts.size(), 10);
  EXPECT_EQ(ten.texts[9], QStringLiteral("Q ten"));
  EXPECT_EQ(ReadQuestionFile(folder.File("cp1252.txt")).texts.value(0),
            QString::fromUtf8("Caf\xc3\xa9 noise \xe2\x80\x93 loud?"));
  const QuestionFile too_long = ReadQuestionFile(folder.File("long.txt"));
  EXPECT_TRUE(too_long.too_long);
  EXPECT_EQ(too_long.texts.size(), kMaxQuestionLines);
  EXPECT_FALSE(ReadQuestionFile(folder.File("absent.txt")).found);
}

TEST(QuestionnaireModelTest, GridShowsMarkerResponsesQuestionsAndAnswers) {
  Questionnaire q;
  q.SetQuestions(
      {QStringLiteral("Loud work?"), QStringLiteral("Tinnitus?"), QStringLiteral("How long?")});
  QuestionnaireModel model(q);
  q.QuestionAction(QStringLiteral("yes"));
  q.QuestionAction(QStringLiteral("no"));
  q.QuestionAction(QStringLiteral("text"), QStringLiteral("Ten years"));
  model.updatequestionsdisplay();
  auto cell = [&](int row, int column) { return model.index(row, column).data().toString(); };
  EXPECT_EQ(model.rowCount(), kQuestionCount);
  EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Response"));
  EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Question"));
  EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("Answer"));
  EXPECT_EQ(cell(0, 1), QStringLiteral("Yes"));
  EXPECT_EQ(cell(1, 1), QStringLiteral("No"));
  EXPECT_EQ(cell(2, 1), QStringLiteral("-"));
  EXPECT_EQ(cell(2, 3), QStringLiteral("Ten years"));
  EXPECT_EQ(cell(3, 1), QString());
  EXPECT_EQ(cell(3, 0), QStringLiteral(">"));
  EXPECT_EQ(cell(0, 0), QString());
  EXPECT_EQ(cell(1, 2), QStringLiteral("Tinnitus?"));
  EXPECT_EQ(cell(10, 2), QString());  // past the file: no question text
}

class LoadReplyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(t.Init());
    auto& conn = t->Db().Conn();
    conn.Exec("INSERT INTO PatDetails (PatNo, Surname) VALUES ('P1', 'O''Neill')");
  }
  void Store(const QString& date, const QString& time, int code, const QString& text) {
    db::Statement insert = t->Db().Conn().Prepare(
        "INSERT INTO TestQuestions (PatNo, Q1, Q2, Ans2, TestDate, TestTime) "
        "VALUES ('P1', 1, ?, ?, ?, ?)");
    insert.Bind(1, code).Bind(2, text).Bind(3, date).Bind(4, time).Run();
  }
  test::TestApp t;
};

TEST_F(LoadReplyTest, LoadsTheShownTestsAnswersAndClearsForATestWithout) {
  Store("2024-03-01", "09:00:00", kAnswerText, "Since 2010");
  Store("2025-03-01", "09:00:00", kAnswerNo, QString());
  Questionnaire q;
  ASSERT_TRUE(q.loadqreply(t->Db().Conn(), "P1", QDate(2024, 3, 1), QTime(9, 0), t->Reporter()));
  EXPECT_EQ(q.Held().codes[0], kAnswerYes);
  EXPECT_EQ(q.Held().codes[1], kAnswerText);
  EXPECT_EQ(q.Held().texts[1], QStringLiteral("Since 2010"));
  EXPECT_EQ(q.Held().codes[2], kNoAnswer);
  ASSERT_TRUE(q.loadqreply(t->Db().Conn(), "P1", QDate(2025, 3, 1), QTime(9, 0), t->Reporter()));
  EXPECT_EQ(q.Held().codes[1], kAnswerNo);
  EXPECT_TRUE(q.Held().texts[1].isEmpty());
  ASSERT_TRUE(q.loadqreply(t->Db().Conn(), "P1", QDate(2020, 1, 1), QTime(9, 0), t->Reporter()));
  EXPECT_TRUE(q.Held().IsEmpty());
  EXPECT_TRUE(t.prompter.Prompts().empty());
}

TEST_F(LoadReplyTest, DatabaseWithoutTheAnswersTableIsReportedAsAnOlderVersion) {
  t->Db().Conn().Exec("PRAGMA foreign_keys = OFF");
  t->Db().Conn().Exec("DROP TABLE TestQuestions");
  Questionnaire q;
  q.QuestionAction("yes");
  EXPECT_FALSE(q.loadqreply(t->Db().Conn(), "P1", QDate(2024, 3, 1), QTime(9, 0), t->Reporter()));
  EXPECT_TRUE(q.Held().IsEmpty());
  ASSERT_EQ(t.prompter.Prompts().size(), 1u);
  EXPECT_TRUE(t.prompter.Prompts()[0].text.startsWith(
      "An error has occurred. This may be because the database is a previous incompatible "
      "version. "));
  EXPECT_TRUE(t.prompter.Prompts()[0].text.endsWith(" (loadqreply:1028)"));
}

TEST(LoadQuestionsTest, OverlongFileIsReportedAndItsFirstQuestionsKeptShippedFileFits) {
  test::TestApp t;
  ASSERT_TRUE(t.Init());
  QByteArray text;
  for (int i = 1; i <= 55; ++i) text += "Question " + QByteArray::number(i) + "\n";
  t.folder.Write("questions.txt", text);
  Questionnaire q;
  q.LoadQuestions(t.folder.File("questions.txt"), t->Reporter());
  EXPECT_EQ(q.QuestionText(50), QStringLiteral("Question 50"));
  ASSERT_EQ(t.prompter.Prompts().size(), 1u);
  EXPECT_TRUE(t.prompter.Prompts()[0].text.endsWith(" (loadquestions:954)"));
  // The questionnaire a new folder receives fits its limits.
  const QuestionFile shipped = ReadQuestionFile(QStringLiteral(":/data/questions.txt"));
  ASSERT_TRUE(shipped.found);
  EXPECT_FALSE(shipped.too_long);
  EXPECT_EQ(shipped.texts.size(), kQuestionCount);
  for (const auto& text : shipped.texts) EXPECT_FALSE(text.trimmed().isEmpty());
}

}  // namespace
}  // namespace sonivera
