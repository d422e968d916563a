// The serial link against the simulated audiometer over a real pseudo-terminal:
// data requests, exports byte for byte, stops and missing ports.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include "instrument/CompanionSupport.h"
#include "instrument/SerialLink.h"
#include "instrument/Tx730Sim.h"
#include "instrument/Tx730Store.h"
#include "instrument/Tx730Transfer.h"
#include "instrument/Tx730Wire.h"
#include "interchange/RegisterExport.h"
#include "register/RegisterFixture.h"

namespace sonivera {
namespace {
using Answer = Prompter::Answer;
using test::Series3Line;

// The expected wire text kept in tests/data/tx730; SONIVERA_WRITE_GOLDEN=1
// writes it afresh from the run.
void ExpectGolden(const QString& name, const QByteArray& actual) {
  const QString path = QStringLiteral(SONIVERA_TEST_DATA "/tx730/") + name;
  if (qEnvironmentVariableIsSet("SONIVERA_WRITE_GOLDEN")) {
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(actual);
    return;
  }
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  EXPECT_EQ(file.readAll(), actual) << name.toStdString();
}

// Waits with the event loop running until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition) {
  QElapsedTimer clock;
  clock.start();
  while (!condition() && clock.elapsed() < 5000) SerialLink::PauseSeconds(0.05);
  return condition();
}
bool WaitForExportEnd(const test::SimulatedAudiometer& sim) {
  return WaitFor([&] { return sim.Bytes("RX").endsWith("IMPORT,COMPLETE\r\n"); });
}

QStringList StoredTests() {
  return {Series3Line("1001", "SMITH", "14/03/2025", "10:30:00"),
          Series3Line("", "NONUMBER", "14/03/2025", "11:00:00", "Cat 2, high"),
          Series3Line("1003", "BROWN", "15/03/2025", "09:00:00", "Cat 1", 20),
          Series3Line("1001", "SMITH", "16/03/2025", "08:15:00", "Cat 1", 30)};
}

class Tx730Link : public test::RegisterFixture {
 protected:
  void SetUp() override {
    test::EnsureCoreApplication();
    RegisterFixture::SetUp();
    link = std::make_unique<SerialLink>(t->settings(), t->Folder(), t->Reporter());
    link->LinkArmed = true;
  }
  void TearDown() override { link.reset(); }

  // A Series 3 audiometer holding StoredTests(); an export to it waits `gap`
  // seconds between records when given.
  bool StartSim(const QStringList& options = {}, std::optional<double> gap = {}) {
    test::UseSeries(t->settings(), "S3");
    if (gap) t->settings().Rs232Gap = *gap;
    return sim.Start(t.folder.Path(), StoredTests(), options);
  }
  void Queue(std::initializer_list<Answer> answers) {
    for (Answer a : answers) t.prompter.QueueAnswer(a);
  }
  Tx730StoreOutcome StoreReceived() {
    t.prompter.QueueAnswer(Answer::Yes);
    Tx730Store store(t->Db(), t->Reporter(), *editor, t.prompter);
    return store.Store(link->Buffer(), t->settings().AudiometerSeries,
                       QString::number(link->Framing().LineCount()));
  }
  // Six tests of three patients for the exports.
  void MakeRegister() {
    AddPatient("P1", "ALPHA", "10/01/2020");
    InsertTest("10/01/2021", "10:00:00", 30);
    InsertTest("10/01/2022", "10:00:00", 40);
    AddPatient("P2", "BETAVERYLONGSURNAMEOFTWENTYFIVE", "05/05/2023");
    AddPatient("P3", "GAMMA", "06/06/2023");
    InsertTest("07/07/2024", "09:30:00", 25);
  }
  int Export(bool filtered = false) {
    return ExportToTx730(*link, Conn(), RegisterRows(Conn(), RegisterSql()), filtered, hooks);
  }

  test::SimulatedAudiometer sim;
  std::unique_ptr<SerialLink> link;
  TransferHooks hooks;
};

TEST_F(Tx730Link, Series3RequestStoresTheTests) {
  ASSERT_TRUE(StartSim({"--split", "37"}));
  int shown = -1;
  hooks.count = [&](int count) { shown = count; };
  ASSERT_TRUE(StartTx730Import(*link, RequestFilter::None, QString(), hooks));
  EXPECT_EQ(sim.Bytes("RX"), "ECHO,OFF\r\nEXPORT,BATCH,MODE3,,,\r\n");
  ExpectGolden("request_s3.wire", sim.Bytes("TX"));
  EXPECT_EQ(shown, 4);
  ASSERT_EQ(link->Buffer().size(), 4u);
  EXPECT_EQ(StoreReceived().message, "4 record(s) added to database.")
      << t.prompter.Texts().join("|").toStdString();
  // The patient the transfer brought gets the second test of the transfer too.
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TestDetails WHERE PatNo = '1001'"), "2");

  // A filtered request sends its filter; the same tests again are duplicates.
  // (A Series 1 transfer goes through the import window's test.)
  ASSERT_TRUE(StartTx730Import(*link, RequestFilter::DateOrAfter, "15/03/2025", hooks));
  EXPECT_TRUE(sim.Bytes("RX").endsWith("EXPORT,BATCH,MODE3,AFTER,15/03/2025,\r\n"));
  EXPECT_EQ(shown, 2);
  ASSERT_TRUE(StartTx730Import(*link, RequestFilter::PatientNo, "1001", hooks));
  EXPECT_TRUE(sim.Bytes("RX").endsWith("EXPORT,BATCH,MODE3,PATNUM,1001,\r\n"));
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(StoreReceived().message,
            "0 record(s) added to database. Some of the records already existed in the "
            "database, or were duplicates.");
}

TEST_F(Tx730Link, LateGarbledAndSilentAudiometers) {
  ASSERT_TRUE(StartSim({"--late", "3", "--garbage", "--split", "5"}));
  ASSERT_TRUE(StartTx730Import(*link, RequestFilter::Surname, "SMI", hooks));
  const Tx730StoreOutcome outcome = StoreReceived();
  EXPECT_EQ(outcome.added, 2);  // the noise lines are not records
  EXPECT_EQ(outcome.processed, 4);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TestDetails"), "2");
}

TEST_F(Tx730Link, StopDuringTheFirstDataWaitEndsAtOnce) {
  ASSERT_TRUE(StartSim({"--silent"}));
  QTimer::singleShot(1500, [&] { link->StopRequested = true; });
  QElapsedTimer clock;
  clock.start();
  ASSERT_TRUE(StartTx730Import(*link, RequestFilter::None, QString(), hooks));
  EXPECT_LT(clock.elapsed(), 5000);
  EXPECT_EQ(link->Framing().LineCount(), 0);
  EXPECT_TRUE(link->Buffer().empty());
  EXPECT_FALSE(link->TransferRequested);
}

TEST_F(Tx730Link, MissingPorts) {
  // No port set: nothing is opened and the request says so.
  t->settings().SerialPortNumber = 0;
  EXPECT_FALSE(link->OpenSerialLink());
  bool hidden = false;
  hooks.hide_request = [&] { hidden = true; };
  EXPECT_FALSE(StartTx730Import(*link, RequestFilter::None, QString(), hooks));
  EXPECT_TRUE(hidden);
  Queue({Answer::Yes, Answer::No});
  EXPECT_EQ(Export(), -1);
  // A port whose device is not there.
  t->settings().SerialPortNumber = 7;
  t.folder.Write("comports.txt", "COM7=/dev/no-such-tty\n");
  EXPECT_FALSE(link->OpenSerialLink());
  EXPECT_EQ(link->LastOpenError(), linkerr::kInvalidPort);
  const QStringList prompts = test::Shown(t.prompter);
  EXPECT_EQ(prompts.filter("Please set"),
            (QStringList{"Com Port Warning|Please set TX730 com port",
                         "Com Port Warning|Please set TX730 comm port"}));
  EXPECT_EQ(prompts.last(),
            "TX730|Unavailable comm port. Please select a different comm port from the connection "
            "tab in the configuration window, and check cable is plugged in.");
}

TEST_F(Tx730Link, ExportGoesOutByteForByte) {
  ASSERT_TRUE(StartSim({}, 0));
  // An empty register sends only the frame.
  Queue({Answer::Yes, Answer::No, Answer::Yes});
  EXPECT_EQ(Export(), 0);
  ASSERT_TRUE(WaitForExportEnd(sim));
  EXPECT_EQ(sim.Bytes("RX"), "ECHO,OFF\r\nIMPORT,COMPLETE\r\n");
  EXPECT_EQ(t.prompter.Prompts().back().text, "Have 0 record(s) been successfully received?");

  MakeRegister();
  const qsizetype before = sim.Bytes("RX").size();
  const qsizetype asked = t.prompter.Prompts().size();
  int progress = -1;
  hooks.progress = [&](int value) { progress = value; };
  bool closed = false;
  hooks.close_window = [&] { closed = true; };
  Queue({Answer::Yes, Answer::No, Answer::Yes});  // export, do not erase, received
  EXPECT_EQ(Export(), 6);
  ASSERT_TRUE(WaitFor([&] { return sim.Bytes("RX").count("IMPORT,COMPLETE") == 2; }));
  EXPECT_EQ(t.prompter.Texts().mid(asked).filter("6 record"),
            (QStringList{"Are you sure you want to export 6 records from the database?",
                         "Have 6 record(s) been successfully received?"}));
  EXPECT_TRUE(closed);
  EXPECT_EQ(progress, 6);
  const QByteArray wire = sim.Bytes("RX").mid(before);
  EXPECT_EQ(wire.count("\r\n\r\n"), 6);
  ExpectGolden("export_plain.wire", wire);
  // The audiometer took them: they come back on a request.
  EXPECT_TRUE(WaitFor([&] { return sim.StoredTests().size() == 10; }));
}

TEST_F(Tx730Link, ExportWithEraseAndStopAfterFive) {
  MakeRegister();
  ASSERT_TRUE(StartSim({}, 0));
  hooks.progress = [&](int value) {
    if (value == 5) link->StopRequested = true;
  };
  Queue({Answer::Yes, Answer::Yes, Answer::Yes, Answer::No});  // export, erase, sure, not received
  EXPECT_EQ(Export(), 5);
  ASSERT_TRUE(WaitForExportEnd(sim));
  const QByteArray wire = sim.Bytes("RX");
  EXPECT_TRUE(wire.startsWith("ECHO,OFF\r\nDATABASE,ERASE\r\nECHO,OFF\r\nIMPORT,MODE3,"));
  EXPECT_EQ(wire.count("\r\n\r\n"), 5);
  ExpectGolden("export_erase_stop5.wire", wire);
  EXPECT_TRUE(WaitFor([&] { return sim.StoredTests().size() == 5; }));
  EXPECT_FALSE(link->StopRequested);
  EXPECT_FALSE(link->TransferRequested);

  // No to "Are you sure?" after Yes to erasing sends nothing at all.
  const qsizetype before = sim.Bytes("RX").size();
  Queue({Answer::Yes, Answer::Yes, Answer::No});
  EXPECT_EQ(Export(), -1);
  SerialLink::PauseSeconds(0.3);
  EXPECT_EQ(sim.Bytes("RX").size(), before);
}

TEST(Tx730Cli, ParseWritesOneJsonObjectPerWholeRecord) {
  test::TempFolder folder;
  folder.Write("wire.txt", (Series3Line("1001", "SMITH", "14/03/2025", "10:30:00") + "\r\n" +
                            Series3Line("1002", "JO\"NES", "14/03/2025", "10:30:00") + "\r\n" +
                            "IMPORT,MODE3,\"cut")
                               .toLatin1());
  const auto parse = [&](const char* file, const char* series) {
    return test::RunCli(
        {"--folder", folder.Path(), "tx730", "parse", folder.File(file), "--series", series});
  };
  const auto result = parse("wire.txt", "S3");
  EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
  const QStringList lines = result.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(lines[0].startsWith(
      R"({"IMPORT":"IMPORT","MODE3":"MODE3","Test Type":"Screen","Patient No":"1001",)"))
      << lines[0].toStdString();
  EXPECT_TRUE(lines[0].contains(R"("Address 2":"-")"));
  EXPECT_TRUE(lines[0].contains(R"("Current Left 1k5":"20")"));
  EXPECT_FALSE(lines[0].contains("Previous Left"));  // empty fields left out
  EXPECT_TRUE(lines[1].contains(R"("Surname":"JO\"NES")"));
  EXPECT_TRUE(result.err.contains("record 3 is incomplete"));

  // Series 1 blocks, and a conversion file that is not there.
  folder.Write("s1.txt", test::Series1Block("2002", "JONES", "15/03/2025").toLatin1());
  const auto s1 = parse("s1.txt", "s1");
  EXPECT_EQ(s1.exit_code, 0);
  EXPECT_TRUE(s1.out.contains(R"("Patient No":"2002","Surname":"JONES")")) << s1.out.toStdString();
  QFile::remove(folder.File("tx730_1.cvt"));
  const auto missing = parse("s1.txt", "S1");
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_TRUE(missing.err.contains(
      "An error has occurred: File not found Error No: 53 (transferimporttobuffer:954)"));
  EXPECT_TRUE(folder.Read("err.log").contains("(transferimporttobuffer:954)"));
}

TEST(Tx730Cli, RequestWithoutAPortFailsAndListenTakesWhatIsPushed) {
  test::EnsureCoreApplication();
  test::TempFolder folder;
  test::SimulatedAudiometer sim;
  ASSERT_TRUE(sim.Start(folder.Path(),
                        {Series3Line("1001", "SMITH", "14/03/2025", "10:30:00"),
                         Series3Line("1002", "JONES", "14/03/2025", "11:30:00")},
                        {"--push", "1"}));
  // No port set: a failure, reported and logged.
  folder.Write("sonivera5.ini", (folder.File("sonivera5.mdb") + "\r\n\r\n-\r\nS3\r\n").toUtf8());
  const auto no_port = test::RunCli({"--folder", folder.Path(), "--yes", "tx730", "request"});
  EXPECT_EQ(no_port.exit_code, 1);
  EXPECT_TRUE(no_port.err.contains("Please set TX730 com port")) << no_port.err.toStdString();
  EXPECT_TRUE(folder.Read("err.log").contains("Please set TX730 com port"));
  EXPECT_EQ(
      test::RunCli({"--folder", folder.Path(), "tx730", "request", "--filter", "shoesize", "x"})
          .exit_code,
      2);

  folder.Write("sonivera5.ini", (folder.File("sonivera5.mdb") + "\r\n\r\n3\r\ns5\r\n").toUtf8());
  const auto result =
      test::RunCli({"--folder", folder.Path(), "--yes", "tx730", "listen", "--seconds", "2"});
  EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
  EXPECT_EQ(result.out.trimmed(), "2 record(s) added to database.");
  // Nothing was asked of the audiometer.
  EXPECT_TRUE(sim.Bytes("RX").isEmpty());
}

TEST_F(Tx730Link, LinesParsedOneByOneEqualAFullRebuild) {
  test::UseSeries(t->settings(), "S5");
  t->settings().SerialPortNumber = 0;
  link->ArmReceiving();  // no port: only the receive state is cleared
  std::vector<ImportBuffer> steps;
  for (const QString& line : StoredTests()) {
    link->Framing().Receive(line + "\r\n");
    link->ParseNewLines();
    steps.push_back(link->Buffer());
  }
  ASSERT_EQ(link->Buffer().size(), 4u);
  const ImportBuffer incremental = link->Buffer();
  link->RebuildImportBuffer();
  EXPECT_EQ(link->Buffer(), incremental);
  EXPECT_EQ(steps[1].size(), 2u);
  // After a reset the next line starts a new buffer.
  link->ClearTransfer();
  link->Framing().Receive(StoredTests()[2] + "\r\n");
  link->ParseNewLines();
  ASSERT_EQ(link->Buffer().size(), 1u);
  EXPECT_EQ(link->Buffer()[0][kFieldSurname], "BROWN");
}

TEST_F(Tx730Link, MoreThanOneTransferHoldsIsReportedOnce) {
  test::UseSeries(t->settings(), "S3");
  QStringList tests;
  for (int i = 0; i < kTransferCapacity + 4; ++i) {
    tests << Series3Line(QString::number(5000 + i), "MANY", "14/03/2025", "10:30:00");
  }
  ASSERT_TRUE(sim.Start(t.folder.Path(), tests));
  ASSERT_TRUE(StartTx730Import(*link, RequestFilter::None, QString(), hooks));
  EXPECT_EQ(link->Framing().LineCount(), kTransferCapacity);
  EXPECT_EQ(link->Framing().Dropped(), 4);
  EXPECT_EQ(link->Buffer().size(), size_t(kTransferCapacity));
  EXPECT_EQ(link->Buffer().back()[kFieldPatientNo], QString::number(5000 + kTransferCapacity - 1));
  const QStringList reported = t.prompter.Texts().filter("more records than one transfer");
  ASSERT_EQ(reported.size(), 1);
  // Told at the first record dropped, before the count is known.
  EXPECT_EQ(reported[0],
            "The audiometer sent more records than one transfer can hold (2001). The records "
            "after the first 2001 are not kept: store these records, then send the rest again.");
  // The command line reports once the transfer has ended, with the count.
  EXPECT_EQ(OverflowText(link->Framing().Dropped()),
            "The audiometer sent more records than one transfer can hold (2001). The last 4 "
            "record(s) were not kept: store these records, then send the rest again.");
  EXPECT_EQ(t.prompter.Prompts().back().title, "TX730");
  EXPECT_TRUE(t.folder.Read("err.log").contains("more records than one transfer can hold"));
}

}  // namespace
}  // namespace sonivera
