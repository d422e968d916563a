#include <gtest/gtest.h>

#include "db/Sqlite.h"
#include "questionnaire/Questionnaire.h"
#include "questionnaire/QuestionnaireModel.h"
#include "register/EntryFields.h"
#include "support/TestApp.h"

namespace sonivera {
namespace {

// The first `count` answers held, space-separated: N, -, Y or T for the
// codes -1 to 2, then ":" and the text when one is held.
QString Held(const Answers& answers, int count = 3) {
  QStringList shown;
  for (int i = 0; i < count; ++i) {
    shown << QChar("N-YT"[answers.codes[i] + 1]) +
                 (answers.texts[i].isEmpty() ? QString() : ":" + answers.texts[i]);
  }
  return shown.join(u' ');
}

TEST(QuestionActionTest, KeepsTheCurrentQuestionBetweenOneAndFortyNineWhateverIsDone) {
  const struct {
    int start;
    QString action;
    int expected;
  } cases[] = {
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
  EXPECT_EQ(Held(q.Held(), kQuestionCount).right(3), "Y -");
}

TEST(QuestionActionTest,
     AnswersReplaceEachOtherDeleteClearsOnlyTheCurrentOneAndAllReachTheEntries) {
  Questionnaire q;
  q.QuestionAction(QStringLiteral("text"), QStringLiteral("Three years"));
  EXPECT_EQ(Held(q.Held()), "T:Three years - -");
  q.QuestionAction(QStringLiteral("up"));
  q.QuestionAction(QStringLiteral("no"));
  EXPECT_EQ(Held(q.Held()), "N - -");       // the text went with the text answer
  q.QuestionAction(QStringLiteral("yes"));  // question 2
  q.QuestionAction(QStringLiteral("up"));
  q.DeleteAnswer();
  EXPECT_EQ(q.Current(), 2);
  EXPECT_EQ(Held(q.Held()), "N - -");
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
  EXPECT_EQ(Held(q.Held()), "T:cancel T:" + QString(kMaxAnswerLength, u'b') + " -");
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
  EXPECT_EQ(ten.texts.join(u','), "Q one,Q two,Q3,Q4,Q5,Q6,Q7,Q8,Q9,Q ten");
  EXPECT_EQ(ReadQuestionFile(folder.File("cp1252.txt")).texts.value(0),
            QString::fromUtf8("Caf\xc3\xa9 noise \xe2\x80\x93 loud?"));
  const QuestionFile too_long = ReadQuestionFile(folder.File("long.txt"));
  EXPECT_TRUE(too_long.too_long);
  EXPECT_EQ(too_long.texts.size(), kMaxQuestionLines);
  EXPECT_FALSE(ReadQuestionFile(folder.File("absent.txt")).found);
}

TEST(QuestionnaireModelTest, GridShowsMarkerResponsesQuestionsAndAnswers) {
  Questionnaire q;
  q.SetQuestions({"Loud work?", "Tinnitus?", "How long?"});
  QuestionnaireModel model(q);
  for (const char* action : {"yes", "no", "text"}) q.QuestionAction(action, "Ten years");
  model.updatequestionsdisplay();
  // The header, then rows 1 to 4 and 11, each row's four cells joined by '|'.
  QStringList rows;
  for (int r : {-1, 0, 1, 2, 3, 10}) {
    QStringList cells;
    for (int column = 0; column < 4; ++column) {
      cells << (r < 0 ? model.headerData(column, Qt::Horizontal) : model.index(r, column).data())
                   .toString();
    }
    rows << cells.join(u'|');
  }
  EXPECT_EQ(model.rowCount(), kQuestionCount);
  EXPECT_EQ(rows, (QStringList{"|Response|Question|Answer", "|Yes|Loud work?|", "|No|Tinnitus?|",
                               "|-|How long?|Ten years", ">|||", "|||"}));  // no text past the file
}

class LoadReplyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(t.Init());
    t->Db().Conn().Exec("INSERT INTO PatDetails (PatNo, Surname) VALUES ('P1', 'O''Neill')");
  }
  void Store(const QString& date, int code, const QString& text) {
    auto insert = t->Db().Conn().Prepare(
        "INSERT INTO TestQuestions (PatNo, Q1, Q2, Ans2, TestDate, TestTime) "
        "VALUES ('P1', 1, ?, ?, ?, '09:00:00')");
    insert.Bind(1, code).Bind(2, text).Bind(3, date).Run();
  }
  bool Load(Questionnaire& q, const QDate& date) {
    return q.loadqreply(t->Db().Conn(), "P1", date, QTime(9, 0), t->Reporter());
  }
  test::TestApp t;
};

TEST_F(LoadReplyTest, LoadsTheShownTestsAnswersAndClearsForATestWithout) {
  Store("2024-03-01", kAnswerText, "Since 2010");
  Store("2025-03-01", kAnswerNo, QString());
  Questionnaire q;
  ASSERT_TRUE(Load(q, QDate(2024, 3, 1)));
  EXPECT_EQ(Held(q.Held()), "Y T:Since 2010 -");
  ASSERT_TRUE(Load(q, QDate(2025, 3, 1)));
  EXPECT_EQ(Held(q.Held()), "Y N -");
  ASSERT_TRUE(Load(q, QDate(2020, 1, 1)));
  EXPECT_TRUE(q.Held().IsEmpty());
  EXPECT_TRUE(t.prompter.Prompts().empty());
}

TEST_F(LoadReplyTest, DatabaseWithoutTheAnswersTableIsReportedAsAnOlderVersion) {
  t->Db().Conn().Exec("PRAGMA foreign_keys = OFF");
  t->Db().Conn().Exec("DROP TABLE TestQuestions");
  Questionnaire q;
  q.QuestionAction("yes");
  EXPECT_FALSE(Load(q, QDate(2024, 3, 1)));
  EXPECT_TRUE(q.Held().IsEmpty());
  const QStringList texts = t.prompter.Texts();
  ASSERT_EQ(texts.size(), 1);
  EXPECT_TRUE(texts[0].startsWith("An error has occurred. This may be because the database is a "
                                  "previous incompatible version. ") &&
              texts[0].endsWith(" (loadqreply:1028)"))
      << texts[0].toStdString();
}

TEST_F(LoadReplyTest, OverlongQuestionFileIsReportedAndItsFirstQuestionsKeptShippedFileFits) {
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
