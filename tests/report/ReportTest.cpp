// The printed reports, read back from PDF files with pdftotext.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>

#include "base/Messages.h"
#include "chart/ColourBands.h"
#include "questionnaire/Questionnaire.h"
#include "register/RecordDisplay.h"
#include "register/RegisterFixture.h"
#include "register/RegisterGenerator.h"
#include "register/RegisterModel.h"
#include "report/AudiogramReport.h"
#include "report/BatchPrint.h"
#include "report/ReportOutput.h"
#include "report/SummaryReport.h"
#include "support/PdfSupport.h"

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace sonivera::test {
namespace {

int PageCount(const QString& text) { return static_cast<int>(text.count(u'\f')); }

// The number of the first line holding all of `needles`, or -1.
int LineOf(const QStringList& lines, const QStringList& needles) {
  for (int i = 0; i < lines.size(); ++i) {
    bool all = true;
    for (const QString& needle : needles) all = all && lines[i].contains(needle);
    if (all) return i;
  }
  return -1;
}
// The words of the first line holding all of `needles`.
QStringList WordsOfLineWith(const QString& text, const QStringList& needles) {
  const QStringList lines = text.split(u'\n');
  const int at = LineOf(lines, needles);
  return at < 0 ? QStringList() : lines[at].simplified().split(u' ');
}
// The lines that start with `start`, spaces simplified.
QStringList LinesStartingWith(const QString& text, const QString& start) {
  QStringList found;
  for (const QString& line : text.split(u'\n')) {
    if (line.simplified().startsWith(start)) found << line.simplified();
  }
  return found;
}

class ReportTest : public RegisterFixture {
 protected:
  void SetUp() override {
    EnsureGuiApplication();
    RegisterFixture::SetUp();
    setup.questions = {"Do you work in noisy areas?", "Do you wear hearing protection?",
                       "Which protection do you use?", "Any tinnitus?"};
    setup.print_heading = "Occupational Health Department";
    setup.chart_options = &t->settings().chart;
    setup.chart_files = &t->ChartFiles();
    setup.reporter = &t->Reporter();
  }

  QString Pdf(const QString& name) { return t.folder.File(name); }

  // Prints the patient's test and returns the PDF's text.
  QString PrintAudiogram(const QString& pat_no, const TestKey& key) {
    const auto item = report::ItemFor(Conn(), pat_no, key);
    const auto data = report::LoadAudiogramReport(Conn(), pat_no, key, item.previous);
    EXPECT_TRUE(data.has_value());
    if (!data) return {};
    auto pdf = report::PdfFile(Pdf("a.pdf"), report::AudiogramReportTitle(pat_no));
    EXPECT_EQ(report::PrintAudiogramReport(*pdf, *data, setup), report::PrintStatus::Printed);
    pdf.reset();
    return PdfText(Pdf("a.pdf"));
  }

  report::AudiogramReportSetup setup;
};

TEST_F(ReportTest, AudiogramReportHoldsEveryCaptionValueAnswerAndOnePage) {
  AddPatient("P100", "Whitfield", "03/04/2020", "09:15:00");
  // The second test: its own levels, answers, notes and particulars.
  ASSERT_TRUE(editor->InsertAudiogram(Cursor().PatNo));
  auto& e = editor->Entries();
  FillTest(e, "05/05/2022", "14:30:00", 30);
  e.Thresholds[18] = "15";  // left 125 Hz
  e.Thresholds[19] = "25";  // left 750 Hz
  e.Details[kComboCompany] = "Castle Brewery";
  e.Details[kComboExaminer] = "Dr Okafor";
  e.Details[kComboPositionRank] = "Fitter";
  e.SerialNo = "TX-4471";
  e.TestType = "Routine";
  e.Notes = "Referred to GP for wax removal.";
  e.QuestionCodes[0] = kAnswerYes;
  e.QuestionCodes[1] = kAnswerNo;
  e.QuestionCodes[2] = kAnswerText;
  e.AnswerTexts[2] = "Moulded plugs";
  ASSERT_EQ(editor->Save(), RecordEditor::SaveResult::Saved);

  const QString latest = PrintAudiogram("P100", {"2022-05-05", "14:30:00"});
  EXPECT_EQ(PageCount(latest), 1);
  EXPECT_TRUE(latest.contains(BaselineText(Conn(), "P100")));
  for (int n = 900; n <= 930; ++n) {
    if (n == 928) continue;  // "1.5k" heads a threshold column (checked below)
    QString caption = Msg(n);
    if (n == 930) caption.chop(1);  // "Notes:" heads its section without the colon
    EXPECT_TRUE(latest.contains(caption)) << n << " " << caption.toStdString();
  }
  for (const char* value :
       {"P100", "Whitfield", "Ann", "01/02/1970", "Female", "1 Whitfield Street", "05/05/2022",
        "14:30:00", "03/04/2020", "Castle Brewery", "Dr Okafor", "Fitter", "TX-4471", "Routine",
        "Referred to GP for wax removal.", "Occupational Health Department", "Patient Record",
        "Sonivera 5.5", "Veltrona", "Do you wear hearing protection?",
        "Moulded plugs"}) {
    EXPECT_TRUE(latest.contains(QString::fromUtf8(value))) << value;
  }
  // Frequencies in print order, then both ears' current and previous rows:
  // the current test's left ear is 30, 35, ... with 125 Hz and 750 Hz typed.
  EXPECT_EQ(WordsOfLineWith(latest, {"1.5k", "8k"}).value(0), "dB");  // the charts' own scale
  EXPECT_EQ(LinesStartingWith(latest, "125 250"),
            QStringList{"125 250 500 750 1k 1.5k 2k 3k 4k 6k 8k"});
  EXPECT_EQ(WordsOfLineWith(latest, {Msg(925), Msg(929)}),
            QStringList({"Left", "Ear", "Cur.", "15", "30", "35", "25", "40", "45", "50", "55",
                         "60", "65", "70"}));
  const QStringList previous_rows = LinesStartingWith(latest, Msg(927));
  ASSERT_EQ(previous_rows.size(), 2);
  EXPECT_EQ(previous_rows[0], "Prev. 20 25 30 35 40 45 50 55 60");
  // The answers beside their questions.
  EXPECT_TRUE(latest.contains(QRegularExpression(R"(1\. +Do you work in noisy areas\? +Yes)")));
  EXPECT_TRUE(latest.contains(QRegularExpression(R"(2\. +Do you wear hearing protection\? +No)")));
  EXPECT_TRUE(latest.contains(QRegularExpression(R"(3\. +Which protection do you use\? +Moulded plugs)")));

  // The first test has no previous test: both previous rows are empty.
  const QString first = PrintAudiogram("P100", {"2020-04-03", "09:15:00"});
  EXPECT_EQ(PageCount(first), 1);
  EXPECT_EQ(LinesStartingWith(first, Msg(927)), QStringList({Msg(927), Msg(927)}));
  EXPECT_FALSE(first.contains("Moulded plugs"));

  // Nothing to print for a patient or test that is not there.
  EXPECT_FALSE(report::LoadAudiogramReport(Conn(), "NOBODY", {"2020-04-03", "09:15:00"}, {}));
  EXPECT_FALSE(report::LoadAudiogramReport(Conn(), "P100", {"2021-01-01", "09:15:00"}, {}));
  EXPECT_FALSE(report::ShownAudiogram(Conn(), "P100", 2));
  EXPECT_FALSE(report::ShownAudiogram(Conn(), QString(), 0));
}

TEST_F(ReportTest, AudiogramReportFitsACrowdedRecordOnOnePageInOrder) {
  AddPatient("P200", "Longfellow", "03/04/2020");
  QStringList questions;
  for (int i = 1; i <= kQuestionCount; ++i) {
    questions << QStringLiteral("Question %1: have you been exposed to loud noise from machinery, "
                                "gunfire or music in the last twelve months?")
                     .arg(i);
  }
  setup.questions = questions;
  ASSERT_TRUE(editor->EditRecord(Cursor().PatNo, Cursor().TestIndex));
  auto& e = editor->Entries();
  for (int i = 0; i < kAnswerCount; ++i) {
    e.QuestionCodes[i] = i % 5 == 4 ? kAnswerText : (i % 2 == 0 ? kAnswerYes : kAnswerNo);
    if (e.QuestionCodes[i] == kAnswerText) {
      e.AnswerTexts[i] = QStringLiteral("Answer text %1, written at length by the employee").arg(i + 1);
    }
  }
  // Every particular long enough to wrap in its column.
  for (int line = 0; line < kAddressLineCount; ++line) {
    e.Address[line] = QStringLiteral("Address line %1 of a long postal address").arg(line + 1);
  }
  for (int item : {kComboCompany, kComboDeptUnit, kComboPositionRank, kComboLocation}) {
    e.Details[item] = QStringLiteral("A long name of forty characters or so %1").arg(item);
  }
  e.Notes = QString("Long note about the history of exposure. ").repeated(80).trimmed();
  ASSERT_EQ(editor->Save(), RecordEditor::SaveResult::Saved);
  const QString text = PrintAudiogram("P200", {"2020-04-03", "10:00:00"});
  EXPECT_EQ(PageCount(text), 1);
  for (int i : {1, 25, 26, 50}) EXPECT_TRUE(text.contains(QStringLiteral("%1.").arg(i))) << i;
  // Sections follow each other down the page, none drawn over another: the
  // details, the charts' table, the questions, the notes, the footer.
  const QStringList lines = text.split(u'\n');
  const int footer = LineOf(lines, {Msg(1061) + " "});
  const int order[] = {LineOf(lines, {"Address line 6"}), LineOf(lines, {Msg(927)}),
                       LineOf(lines, {"25."}), LineOf(lines, {"Long note about"}), footer};
  for (int i = 0; i < 5; ++i) EXPECT_GE(order[i], 0) << i;
  for (int i = 1; i < 5; ++i) EXPECT_GT(order[i], order[i - 1]) << i;
  // The notes end shortened rather than running into the footer.
  EXPECT_GT(text.count("Long note about"), 20);
  EXPECT_LT(text.count("Long note about"), 80);
  int last_note = footer - 1;
  while (last_note > 0 && lines[last_note].trimmed().isEmpty()) --last_note;
  EXPECT_TRUE(lines[last_note].trimmed().endsWith(QStringLiteral("\u2026")))
      << lines[last_note].toStdString();
}

TEST_F(ReportTest, SummaryListsTheFilteredSortedRegisterOverSeveralPages) {
  GeneratorOptions options;
  options.patients = 150;
  options.tests_per_patient = 2;
  GenerateRegister(Conn(), options);
  reg->BuildRegister();
  FilterCriteria criteria;
  criteria.Boxes[5] = "Castle Brewery";  // Company
  ASSERT_TRUE(reg->ApplyFilter(criteria));
  reg->ApplySort(SortField::Surname);
  const SqlQuery query = reg->Model().Query();
  QStringList expected;
  for (const RegisterRow& row : ReadRegisterRows(Conn(), query)) {
    expected << row[kColPatNo].toString();
  }
  ASSERT_GT(expected.size(), 40);
  ASSERT_LT(expected.size(), 300);

  report::SummaryReportData data = report::LoadSummary(Conn(), query);
  ASSERT_EQ(static_cast<int>(data.rows.size()), expected.size());
  data.print_heading = "Occupational Health Department";
  auto pdf = report::PdfFile(Pdf("s.pdf"), Msg(1062));
  int pages = 0;
  EXPECT_EQ(report::PrintSummaryReport(*pdf, data, &pages), report::PrintStatus::Printed);
  pdf.reset();
  const QString text = PdfText(Pdf("s.pdf"));
  EXPECT_GE(pages, 2);
  EXPECT_EQ(PageCount(text), pages);

  // Every row once, in register order, each page headed and footed.
  QStringList printed;
  static const QRegularExpression pat_no(QStringLiteral("^\\s*(\\d{6})\\s"));
  for (const QString& line : text.split(u'\n')) {
    const auto m = pat_no.match(line);
    if (m.hasMatch()) {
      printed << m.captured(1);
      EXPECT_TRUE(line.contains("Castle Brewery")) << line.toStdString();
    }
  }
  EXPECT_EQ(printed, expected);
  for (int page = 1; page <= pages; ++page) {
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("%1 ?/ ?%2\\s*\\f").arg(page).arg(pages))))
        << page;
  }
  EXPECT_EQ(text.count(Msg(1062)), pages);
  EXPECT_EQ(text.count(Msg(1064)), pages);
  EXPECT_EQ(text.count(Msg(491) + QString::number(expected.size())), pages);
  EXPECT_EQ(text.count(Msg(1061) + " " + QDate::currentDate().toString("dd/MM/yyyy")), pages);
  for (int n = 1050; n <= 1060; ++n) {
    for (const QString& word : Msg(n).split(u' ')) EXPECT_TRUE(text.contains(word)) << n;
  }
}

TEST_F(ReportTest, BatchPrintsRegisterOrderWithPreviousKeys) {
  AddPatient("B1", "Abbott", "01/03/2021");
  InsertTest("01/03/2023", "10:00:00", 40);
  AddPatient("B2", "Baker", "02/03/2022");
  AddPatient("B3", "Carter", "03/03/2020");
  InsertTest("03/03/2021", "11:00:00", 35);
  InsertTest("03/03/2022", "11:00:00", 45);
  reg->BuildRegister();
  const SqlQuery query = reg->Model().Query();
  const auto queue = report::QueueBatch(Conn(), query);
  QStringList order, queued;
  for (const RegisterRow& row : ReadRegisterRows(Conn(), query)) order << row[kColPatNo].toString();
  for (const auto& item : queue) {
    queued << item.pat_no + ' ' + item.key.date + ' ' + item.key.time + " after " +
                  (item.previous ? item.previous->date + ' ' + item.previous->time : "-");
  }
  // In register order, each with the test before it.
  ASSERT_EQ(queued.size(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(queued[i].startsWith(order[i] + ' ')) << i;
  queued.sort();
  EXPECT_EQ(queued, (QStringList{"B1 2023-03-01 10:00:00 after 2021-03-01 10:00:00",
                                 "B2 2022-03-02 10:00:00 after -",
                                 "B3 2022-03-03 11:00:00 after 2021-03-03 11:00:00"}));

  // The whole batch: one page each, in register order.
  {
    auto pdf = report::PdfFile(Pdf("b.pdf"), Msg(1062));
    std::vector<int> seen;
    const auto outcome =
        report::PrintBatchReport(*pdf, Conn(), queue, setup, [&](int done, int total) {
          EXPECT_EQ(total, 3);
          seen.push_back(done);
          return true;
        }).outcome;
    EXPECT_EQ(outcome.printed, 3);
    EXPECT_FALSE(outcome.cancelled);
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2}));
  }
  const QString all = PdfText(Pdf("b.pdf"));
  const QStringList pages = all.split(u'\f', Qt::SkipEmptyParts);
  ASSERT_GE(pages.size(), 3);
  for (int p = 0; p < 3; ++p) {
    EXPECT_TRUE(pages[p].contains(order[p])) << p;
    // Each page's previous rows are that audiogram's own previous test.
    const bool first_test = order[p] == "B2";
    EXPECT_EQ(pages[p].count(QRegularExpression("\\n\\s*Prev\\.\\s*\\n")), first_test ? 2 : 0);
  }
}

TEST_F(ReportTest, CommandLinePrintsAndRefusesMissingPatientsAndTests) {
  AddPatient("C1", "Dunn", "04/04/2021", "08:00:00");
  InsertTest("04/04/2023", "08:30:00", 25);
  t->EndProgram(false);
  const auto run = [&](const QStringList& args, QString* err = nullptr) {
    const CliResult result = RunCli(QStringList{"--folder", t.folder.Path()} + args);
    if (err) *err = result.err;
    return result.exit_code;
  };
  QString err;
  EXPECT_EQ(run({"print", "audiogram", "C1", "--pdf", Pdf("latest.pdf")}), 0);
  const QString latest = PdfText(Pdf("latest.pdf"));
  EXPECT_TRUE(latest.contains("04/04/2023"));
  EXPECT_EQ(PageCount(latest), 1);
  EXPECT_EQ(run({"print", "audiogram", "C1", "--test", "04/04/2021", "08:00:00", "--pdf",
                 Pdf("first.pdf")}),
            0);
  const QString first = PdfText(Pdf("first.pdf"));
  EXPECT_TRUE(first.contains("04/04/2021"));
  EXPECT_FALSE(first.contains("04/04/2023"));

  EXPECT_EQ(run({"print", "audiogram", "NOBODY", "--pdf", Pdf("x.pdf")}, &err), 1);
  EXPECT_TRUE(err.contains("NOBODY")) << err.toStdString();
  EXPECT_EQ(run({"print", "audiogram", "C1", "--test", "05/05/2020 08:00:00", "--pdf",
                 Pdf("x.pdf")}, &err), 1);
  EXPECT_TRUE(err.contains("05/05/2020")) << err.toStdString();
  EXPECT_FALSE(QFile::exists(Pdf("x.pdf")));
  EXPECT_EQ(run({"print", "audiogram", "C1", "--test", "31/02/2020 08:00:00", "--pdf",
                 Pdf("x.pdf")}), 1);
  EXPECT_EQ(run({"print", "audiogram", "C1"}), 2);
  EXPECT_EQ(run({"print", "poster", "--pdf", Pdf("x.pdf")}), 2);

  EXPECT_EQ(run({"print", "summary", "--sort", "surname", "--pdf", Pdf("s.pdf")}), 0);
  EXPECT_TRUE(PdfText(Pdf("s.pdf")).contains("Dunn"));
  EXPECT_EQ(run({"print", "batch", "--pdf", Pdf("b.pdf")}, &err), 0);
  EXPECT_TRUE(err.contains("1 / 1")) << err.toStdString();
  EXPECT_EQ(PageCount(PdfText(Pdf("b.pdf"))), 1);
}

// Pixels of the page in a band colour of the chart, from the PDF drawn at a
// low resolution.
int BandPixels(const QString& pdf, const chart::ColourBands& bands) {
  const QString base = pdf + ".page";
  QProcess process;
  process.start("pdftoppm", {"-r", "40", "-png", "-singlefile", pdf, base});
  EXPECT_TRUE(process.waitForFinished(30000));
  const QImage page(base + ".png");
  EXPECT_FALSE(page.isNull());
  int count = 0;
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) {
      const QColor pixel = page.pixelColor(x, y);
      for (const auto& band : bands.colours) {
        if (std::abs(pixel.red() - band.red) + std::abs(pixel.green() - band.green) +
                std::abs(pixel.blue() - band.blue) < 12) {
          ++count;
        }
      }
    }
  }
  return count;
}

TEST_F(ReportTest, ColourBandsFollowCheckBandPrintAndFailuresAreShownWithThePrinterTags) {
  AddPatient("K1", "Kerr", "01/01/2021");
  const auto data = report::LoadAudiogramReport(Conn(), "K1", {"2021-01-01", "10:00:00"}, {});
  ASSERT_TRUE(data.has_value());
  ChartOptions options = t->settings().chart;
  setup.chart_options = &options;
  const auto print = [&](bool bands) {
    options.CheckBand = true;
    options.CheckBandPrint = bands;
    auto pdf = report::PdfFile(Pdf("k.pdf"), "k");
    EXPECT_EQ(report::PrintAudiogramReport(*pdf, *data, setup), report::PrintStatus::Printed);
    pdf.reset();
    return BandPixels(Pdf("k.pdf"), t->ChartFiles().bands);
  };
  EXPECT_GT(print(true), 1000);
  EXPECT_EQ(print(false), 0);

  // A file that cannot be written fails the device, and nothing is left.
  auto pdf = report::PdfFile(t.folder.File("missing/dir/a.pdf"), "x");
  EXPECT_EQ(report::PrintAudiogramReport(*pdf, *data, setup), report::PrintStatus::DeviceFailed);
  EXPECT_FALSE(QFile::exists(t.folder.File("missing/dir/a.pdf")));

  const auto before = t.prompter.Prompts().size();
  report::ReportPrintFailure(t->Reporter(), report::PrintStatus::NotA4, "printaudiogram", 1025);
  report::ReportPrintFailure(t->Reporter(), report::PrintStatus::DeviceFailed, "printdatabase",
                             974);
  report::ReportPrintFailure(t->Reporter(), report::PrintStatus::Printed, "printdatabase", 974);
  const auto& prompts = t.prompter.Prompts();
  ASSERT_EQ(prompts.size(), before + 2);
  EXPECT_EQ(prompts[before].text, Msg(1024) + " (printaudiogram:1024)");
  EXPECT_EQ(prompts[before].title, Msg(1025));
  EXPECT_TRUE(prompts[before + 1].text.startsWith(Msg(954)));
  EXPECT_TRUE(prompts[before + 1].text.endsWith(" (printdatabase:954)"));
  const QString log = QString::fromUtf8(t.folder.Read("err.log"));
  EXPECT_TRUE(log.contains("(printaudiogram:1024)"));
}

}  // namespace
}  // namespace sonivera::test
