#include "ui/DemoTx730.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include "app/Application.h"
#include "instrument/ConversionFile.h"
#include "instrument/SerialLink.h"
#include "ui/DemoPrograms.h"
#include "instrument/Tx730Export.h"
#include "interchange/RegisterExport.h"
#include "register/RegisterQuery.h"
#include "ui/FormMain.h"
#include "ui/FormTx730Small.h"
#include "ui/FormTx730Transfer.h"

namespace sonivera::ui {

namespace {
// Today's tests as the audiometer would hold them: three of the register's
// patients a little worse than last time, and two people it does not know.
QStringList DemoTests(Application& app) {
  auto& conn = app.Db().Conn();
  auto rows = ListRegisterRows(conn, RegisterSql()).keys;
  if (rows.size() > 3) rows.resize(3);
  ImportBuffer records;
  for (const ImportRecord& latest : BuildExportBuffer(conn, rows, false)) {
    if (!records.empty() && records.back()[kFieldPatientNo] == latest[kFieldPatientNo]) continue;
    records.push_back(latest);
  }
  const QString today = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
  for (const char* name : {"NEWMAN", "FRESH"}) {
    ImportRecord r;
    r[kFieldImport] = QStringLiteral("IMPORT");
    r[kFieldMode3] = QStringLiteral("MODE3");
    r[kFieldSurname] = QString::fromLatin1(name);
    r[kFieldForename] = QStringLiteral("Sam");
    r[kFieldSex] = QStringLiteral("M");
    r[kFieldDateOfBirth] = QStringLiteral("12/05/1985");
    r[kFieldCompany] = QStringLiteral("ACME");
    for (int i = 0; i < kRecordFrequencyCount; ++i) {
      r[kFieldCurrentLeft + i] = QString::number(5 + 5 * i);
      r[kFieldCurrentRight + i] = QString::number(10 + 5 * i);
    }
    records.push_back(r);
  }
  QStringList lines;
  ConversionFile conversion;
  try {
    conversion = ConversionFile::Open(app.Folder().File(kSeries3ConversionFile));
  } catch (const std::exception&) {
    return lines;
  }
  int minute = 0;
  for (ImportRecord& r : records) {
    r[kFieldPreviousTest] = r[kFieldTestDate];
    for (int i = 0; i < kRecordFrequencyCount; ++i) {
      r[kFieldPreviousLeft + i] = r[kFieldCurrentLeft + i];
      r[kFieldPreviousRight + i] = r[kFieldCurrentRight + i];
      for (int first : {kFieldCurrentLeft, kFieldCurrentRight}) {
        bool ok = false;
        const int value = r[first + i].toInt(&ok);
        if (ok) r[first + i] = QString::number(std::min(120, value + 5));
      }
    }
    r[kFieldTestDate] = today;
    r[kFieldTestTime] = QStringLiteral("09:%1:00").arg(minute++, 2, 10, QChar(u'0'));
    r[kFieldExaminer] = QStringLiteral("Demo");
    r[kFieldSerialNo] = QStringLiteral("TX730-0042");
    r[kFieldTestType] = QStringLiteral("Screening");
    lines << ExportRecordPieces(conversion, r).join(QString()).trimmed();
  }
  return lines;
}
}  // namespace

QString FindTx730Simulator() {
  return FindDemoProgram("SONIVERA_TX730_SIM", QStringLiteral("tx730-sim"));
}

bool DemoAudiometer::Start(Application& app) {
  const QString program = FindTx730Simulator();
  if (program.isEmpty()) return false;
  const QString store = app.Folder().File(QStringLiteral("tx730-demo-store.txt"));
  if (!QFileInfo::exists(store)) {
    QFile file(store);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(DemoTests(app).join(u'\n').toLatin1() + '\n');
  }
  const QString device = app.Folder().File(QStringLiteral("tx730-demo-tty"));
  process_.setProgram(program);
  process_.setArguments({QStringLiteral("--store"), store, QStringLiteral("--link"), device,
                         QStringLiteral("--transcript"),
                         app.Folder().File(QStringLiteral("tx730-demo-transcript.txt"))});
  process_.start();
  if (!process_.waitForStarted(3000) || !process_.waitForReadyRead(3000)) {
    process_.kill();
    return false;
  }
  QFile map(app.Folder().File(QStringLiteral("comports.txt")));
  if (!map.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  map.write(QStringLiteral("# The demonstration's audiometer (tx730-sim)\nCOM%1=%2\n")
                .arg(kPort)
                .arg(device)
                .toUtf8());
  ApplySeries(QStringLiteral("S3"), app.settings());
  app.settings().SerialPortNumber = kPort;
  return true;
}

void TakeTx730Screenshots(FormMain& window,
                          const std::function<void(QWidget*, const QString&)>& save) {
  auto settle = [] {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  };
  FormImportTx730* import = window.ImportTx730Window();
  import->Open();
  settle();
  save(import, QStringLiteral("tx730-import"));
  {
    FormTX730Filter request(import);
    request.TodaysTests();
    request.show();
    settle();
    save(&request, QStringLiteral("tx730-request"));
  }
  if (window.Link().Config().SerialPortNumber != 0 &&
      !IsPassiveSeries(window.Link().Config().AudiometerSeries)) {
    TransferHooks hooks;
    hooks.count = [import](int count) { import->SetCount(count); };
    StartTx730Import(window.Link(), RequestFilter::None, QString(), hooks);
    settle();
    save(import, QStringLiteral("tx730-import-received"));
  }
  import->Cancel();
  FormExportTX730* export_window = window.ExportTx730Window();
  export_window->Open();
  settle();
  save(export_window, QStringLiteral("tx730-export"));
  export_window->Cancel();
}

DemoAudiometer::~DemoAudiometer() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.terminate();
  if (!process_.waitForFinished(2000)) process_.kill();
}

}  // namespace sonivera::ui
