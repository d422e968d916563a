// sonivera-cli categorise against the separately written implementation in
// tests/tools/categorise_reference.py, on thousands of random audiograms.
#include <gtest/gtest.h>

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <random>

#include "categorise/StoredTests.h"
#include "support/BaseChecks.h"
#include "support/TempFolder.h"
#include "support/TestApp.h"

namespace sonivera::test {
namespace {

class AudiogramMaker {
 public:
  explicit AudiogramMaker(quint32 seed) : random_(seed) {}

  QByteArray Line() {
    QJsonObject o;
    const bool first_test = Chance(30);
    o["left"] = Ear();
    o["right"] = Ear();
    if (!first_test) {
      o["prevLeft"] = Ear();
      o["prevRight"] = Ear();
    }
    const QDate test_date = QDate(1990, 1, 1).addDays(Pick(13000));
    o["testDate"] = DateText(test_date);
    o["dob"] = DateText(test_date.addDays(-Pick(33000) + (Chance(8) ? 3000 : 0)));
    o["previousTest"] = Chance(first_test ? 70 : 10)
                            ? QStringLiteral("__/__/____")
                            : DateText(test_date.addDays(-Pick(2400) + 30));
    const char* sexes[] = {"M", "F", ""};
    o["sex"] = sexes[Pick(Chance(90) ? 2 : 3)];
    const char* lists[] = {
        "HSE2006", ",MP42,PAM,IPA", ",MP42",     ",PAM,IPA",  "HSE2006,NIHL,STS,IA,MP42,PAM,IPA",
        "",        ",IPA",          "HSE2006BA", ",MP42,IPA", "hse2006,pam"};
    o["schemes"] = lists[Pick(10)];
    const int lcids[] = {2057, 1033, 1036, 2060, 5132, 6156, 3084, 1031};
    o["lcid"] = lcids[Pick(8)];
    o["patNo"] = QStringLiteral("P'%1").arg(Pick(1000));
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
  }

 private:
  int Pick(int n) { return static_cast<int>(random_() % static_cast<quint32>(n)); }
  bool Chance(int percent) { return Pick(100) < percent; }

  // Mostly ordinary thresholds; some not measured, some large enough to
  // overflow 16-bit sums.
  QJsonArray Ear() {
    QJsonArray ear;
    const int missing = Chance(20) ? 15 : 1;
    const int base = Pick(70) - 10;
    // Now and then an ear whose sums run past 16 bits.
    const int loud = Chance(3) ? 5000 + Pick(4000) : Chance(2) ? 12000 + Pick(8000) : 0;
    for (int i = 0; i < 9; ++i) {
      if (Chance(missing)) {
        ear.append(QJsonValue::Null);
      } else if (Chance(1)) {
        ear.append(Pick(65535) - 32768);
      } else {
        ear.append(loud != 0 ? loud + Pick(3000) : base + Pick(60) - 20 + i * Pick(4));
      }
    }
    return ear;
  }

  // One text in forty each: the empty mask, a day that does not exist, an empty
  // text and a date without leading zeros.
  QString DateText(const QDate& date) {
    const int pick = Pick(40);
    if (pick < 3) return QStringList{"__/__/____", "31/02/2020", ""}[pick];
    return date.toString(pick == 3 ? QStringLiteral("d/M/yyyy") : QStringLiteral("dd/MM/yyyy"));
  }

  std::mt19937 random_;
};

struct ProgramRun {
  int exit_code = -1;
  QList<QByteArray> lines;
  QByteArray err;
};

ProgramRun RunProgram(const QString& program, const QStringList& args, const QByteArray& input) {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("SONIVERA_LCID", "2057");
  process.setProcessEnvironment(env);
  process.start(program, args);
  process.write(input);
  process.closeWriteChannel();
  process.waitForFinished(120000);
  ProgramRun run;
  run.exit_code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.lines = process.readAllStandardOutput().split('\n');
  if (!run.lines.isEmpty() && run.lines.last().isEmpty()) run.lines.removeLast();
  run.err = process.readAllStandardError();
  return run;
}

TEST(CrossCheck, CliAgreesWithTheReferenceImplementation) {
  AudiogramMaker maker(20261206);
  QByteArray input;
  constexpr int kLines = 5000;
  for (int i = 0; i < kLines; ++i) input += maker.Line() + '\n';
  // Each of these is one readable line: a CR before the LF, a line separator
  // or a form feed inside a text. The dates give a message naming the patient.
  const QByteArray head =
      R"({"left":[0,0,0,0,0,0,0,0,0],"right":[0,0,0,0,0,0,0,0,0],"schemes":"HSE2006",)"
      R"("sex":"M","dob":"01/01/1990","testDate":"01/01/1980","patNo":")";
  const QByteArray line_separator = "\xe2\x80\xa8";  // U+2028 in UTF-8
  const QByteArray odd[] = {head + "P" + line_separator + "1\"}", head + "P\f2\"}",
                            head + "P3\"}\r"};
  for (const auto& line : odd) input += line + '\n';
  // Lines that cannot be read get an error line and the run goes on.
  const QByteArray bad[] = {
      head + "P\xff\"}",
      "not json",
      "[1,2]",
      R"({"left":[1,2,3],"right":[]})",
      R"({"left":[0,0,0,0,0,0,0,0,0],"right":[0,0,0,0,0,0,0,0,"x"]})",
      R"({"left":[0,0,0,0,0,0,0,0,0],"right":[0,0,0,0,0,0,0,0,0],"sex":"X"})",
      // Numbers that are no whole number within range, or no JSON at all.
      R"({"left":[1e400,0,0,0,0,0,0,0,0],"right":[0,0,0,0,0,0,0,0,0]})",
      R"({"left":[NaN,0,0,0,0,0,0,0,0],"right":[0,0,0,0,0,0,0,0,0]})",
      R"({"left":[0,0,0,0,0,0,0,0,0],"right":[0,0,0,0,0,0,0,0,0],"lcid":-5})",
      R"({"left":[0,0,0,0,0,0,0,0,0],"right":[0,0,0,0,0,0,0,0,0],"lcid":1e400})",
      "",
  };
  for (const auto& line : bad) input += line + '\n';

  TempFolder folder;
  const ProgramRun cli = RunProgram(SONIVERA_CLI, {"--folder", folder.Path(), "categorise"}, input);
  const ProgramRun reference = RunProgram(
      "python3", {QStringLiteral(SONIVERA_SOURCE_DIR) + "/tests/tools/categorise_reference.py"},
      input);
  ASSERT_EQ(cli.exit_code, 0) << cli.err.constData();
  ASSERT_EQ(reference.exit_code, 0) << reference.err.constData();
  const int expected_lines =
      kLines + static_cast<int>(std::size(odd)) + static_cast<int>(std::size(bad));
  ASSERT_EQ(cli.lines.size(), expected_lines);
  ASSERT_EQ(reference.lines.size(), expected_lines);

  const QList<QByteArray> inputs = input.split('\n');
  int mismatches = 0, with_messages = 0, scheme_reports = 0, hse_errors = 0, errors = 0;
  QSet<QString> distinct;
  // What must agree: an error line, or the text, the messages and the three values.
  const auto outcome = [](const QByteArray& line) {
    const QJsonObject o = QJsonDocument::fromJson(line).object();
    if (o.contains("error")) return QByteArray("error");
    const QJsonArray values{o["mp42"].toDouble(), o["pam"].toDouble(), o["ipa"].toDouble()};
    return QJsonDocument(QJsonArray{o["categorisation"], o["messages"], values}).toJson();
  };
  for (int i = 0; i < expected_lines && mismatches < 10; ++i) {
    const QJsonObject a = QJsonDocument::fromJson(cli.lines[i]).object();
    if (a.contains("error")) {
      ++errors;
    } else {
      const QJsonArray messages = a["messages"].toArray();
      if (!messages.isEmpty()) ++with_messages;
      for (const auto& m : messages) {
        if (m.toString().contains("categorise:954)")) ++scheme_reports;
      }
      if (a["categorisation"].isNull()) ++hse_errors;
      distinct.insert(a["categorisation"].toString());
    }
    if (outcome(cli.lines[i]) != outcome(reference.lines[i])) {
      ++mismatches;
      ADD_FAILURE() << "line " << i + 1 << "\n in:  " << inputs[i].constData()
                    << "\n cli: " << cli.lines[i].constData()
                    << "\n ref: " << reference.lines[i].constData();
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(errors, static_cast<int>(std::size(bad)));
  // The random audiograms reach the messages and a wide range of texts.
  EXPECT_GT(with_messages, 40);
  EXPECT_GT(scheme_reports, 10);
  EXPECT_GT(hse_errors, 10);
  std::printf("%d lines with messages, %d scheme error reports, %d HSE errors, %d texts\n",
              with_messages, scheme_reports, hse_errors, static_cast<int>(distinct.size()));
  EXPECT_GT(distinct.size(), 500);
}

TEST(CliRecategorise, RecategorisesTheFolderDatabase) {
  TestApp t;
  ASSERT_TRUE(t.Init());
  t->settings().SchemeList = "HSE2006";
  AddPatient(t->Db().Conn(), "C'1", "1980-01-01", "Female");
  for (const char* date : {"2019-01-01", "2020-01-01"}) {
    AddTest(t->Db().Conn(), "C'1", date, "10 10 10 10 10 10 10 10 10",
            "10 10 10 10 10 10 10 10 10");
  }
  ASSERT_FALSE(t->EndProgram(false));
  const CliResult result = RunCli({"--folder", t.folder.Path(), "recategorise"});
  EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
  EXPECT_EQ(result.out, "Recategorise finished: 1/1\n");
  db::Connection check;
  check.Open(t.folder.File("sonivera5.mdb"), false);
  EXPECT_EQ(Summaries(check, "C'1"),
            (QStringList{"2020-01-01<2019-01-01: HSE:  1 ", "2019-01-01<-: HSE:  1 4-no data "}));
}

}  // namespace
}  // namespace sonivera::test
