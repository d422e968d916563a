// The TX730 link with a full transfer: 2001 tests sent by the simulated
// audiometer over a pseudo-terminal at the line speed of the real one, framed
// and parsed by the link (count and content checked), then stored through
// the record editor.
//
//   bench_tx730 [BAUD]   (default 9600; 0 sends as fast as the terminal takes)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "SilentPrompter.h"
#include "app/Application.h"
#include "instrument/SerialLink.h"
#include "instrument/Tx730Export.h"
#include "instrument/Tx730Parser.h"
#include "instrument/Tx730Store.h"
#include "instrument/Tx730Transfer.h"
#include "register/RecordEditor.h"

using namespace sonivera;

namespace {
// Says Yes to the store's question, and nothing else.
class YesPrompter : public bench::SilentPrompter {
 public:
  Answer Show(const QString& text, const QString& title, Buttons buttons, Answer default_answer,
              Icon icon) override {
    SilentPrompter::Show(text, title, buttons, default_answer, icon);
    return buttons == Buttons::YesNo ? Answer::Yes : default_answer;
  }
};

ImportRecord Generated(int i) {
  ImportRecord r;
  r[kFieldImport] = "IMPORT";
  r[kFieldMode3] = "MODE3";
  r[kFieldTestType] = "Screening";
  r[kFieldPatientNo] = QStringLiteral("B%1").arg(i, 5, 10, QChar(u'0'));
  r[kFieldSurname] = QStringLiteral("SURNAME%1").arg(i);
  r[kFieldForename] = "Alex";
  r[kFieldCompany] = "ACME";
  r[kFieldSex] = i % 2 ? "M" : "F";
  r[kFieldTestDate] = QDate(2025, 1, 1).addDays(i % 300).toString("dd/MM/yyyy");
  r[kFieldTestTime] = QStringLiteral("%1:%2:00")
                          .arg(8 + i % 10, 2, 10, QChar(u'0'))
                          .arg(i % 60, 2, 10, QChar(u'0'));
  r[kFieldDateOfBirth] = "01/02/1970";
  r[kFieldCategory] = "Cat 1";
  r[kFieldSerialNo] = "TX730-1";
  for (int k = 0; k < kRecordFrequencyCount; ++k) {
    r[kFieldCurrentLeft + k] = QString::number((i + 5 * k) % 90);
    r[kFieldCurrentRight + k] = QString::number((i + 7 * k) % 90);
  }
  return r;
}

QString Simulator() {
  const QString configured = qEnvironmentVariable("SONIVERA_TX730_SIM");
  if (!configured.isEmpty()) return configured;
  return QCoreApplication::applicationDirPath() + "/../tools/tx730-sim";
}
}  // namespace

int main(int argc, char** argv) {
  QCoreApplication qapp(argc, argv);
  const int baud = argc > 1 ? std::atoi(argv[1]) : 9600;
  const int count = kTransferCapacity;
  QTemporaryDir dir;
  YesPrompter prompter;
  Application app(ProgramFolder(dir.path()), prompter);
  if (!app.Initialise()) {
    std::fprintf(stderr, "start-up failed: %s\n", qPrintable(prompter.last));
    return 1;
  }
  ConversionFile conversion = ConversionFile::Open(app.Folder().File(kSeries3ConversionFile));
  std::vector<ImportRecord> sent;
  {
    QFile store(dir.filePath("store.txt"));
    store.open(QIODevice::WriteOnly);
    for (int i = 0; i < count; ++i) {
      sent.push_back(Generated(i));
      store.write(ExportRecordPieces(conversion, sent.back()).join(QString()).trimmed().toLatin1() +
                  '\n');
    }
  }
  QProcess sim;
  QStringList options = {"--store", dir.filePath("store.txt")};
  if (baud > 0) options << "--baud" << QString::number(baud);
  sim.start(Simulator(), options);
  if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
    std::fprintf(stderr, "cannot start %s\n", qPrintable(Simulator()));
    return 1;
  }
  const QString device = QString::fromLatin1(sim.readLine()).trimmed().mid(7);
  QFile map(app.Folder().File("comports.txt"));
  map.open(QIODevice::WriteOnly);
  map.write(("COM3=" + device + "\n").toLatin1());
  map.close();
  ApplySeries("S3", app.settings());
  app.settings().SerialPortNumber = 3;

  SerialLink link(app.settings(), app.Folder(), app.Reporter());
  link.LinkArmed = true;
  QElapsedTimer clock;
  clock.start();
  StartTx730Import(link, RequestFilter::None, QString(), {});
  const double transfer = clock.elapsed() / 1000.0;
  clock.restart();
  link.RebuildImportBuffer();
  const double parse = clock.elapsed() / 1000.0;
  const ImportBuffer& buffer = link.Buffer();
  int whole = 0;
  int same = 0;
  for (size_t i = 0; i < buffer.size() && i < sent.size(); ++i) {
    whole += buffer[i].complete ? 1 : 0;
    ImportRecord expected = sent[i];
    for (int f = 0; f < kImportFieldCount; ++f) {
      // Empty text values come back as the "-" placeholder.
      if (expected[f].isEmpty() && buffer[i][f] == QLatin1String("-")) expected[f] = "-";
    }
    expected.complete = buffer[i].complete;
    same += buffer[i] == expected ? 1 : 0;
  }
  std::printf("transfer of %d records at %s: %.1f s, %d lines framed, %d dropped\n", count,
              baud > 0 ? qPrintable(QString::number(baud) + " baud") : "full speed", transfer,
              link.Framing().LineCount(), link.Framing().Dropped());
  std::printf("parse of the full buffer: %.3f s; %d whole records, %d equal to those sent\n", parse,
              whole, same);
  RecordEditor editor(app.ForEditor(), nullptr);
  Tx730Store store(app.Db(), app.Reporter(), editor, prompter);
  clock.restart();
  const Tx730StoreOutcome outcome = store.Store(buffer, "S3", QString::number(count));
  std::printf("store of %d records through the record editor: %.2f s (%d added)\n", count,
              clock.elapsed() / 1000.0, outcome.added);
  link.Close();
  sim.terminate();
  sim.waitForFinished(2000);
  const bool ok = link.Framing().LineCount() == count && same == count && outcome.added == count;
  std::printf("%s\n", ok ? "nothing lost" : "RECORDS LOST OR CHANGED");
  return ok ? 0 : 1;
}
