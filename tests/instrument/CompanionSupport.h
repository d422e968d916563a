#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QStringList>

#include "instrument/CompanionReplies.h"
#include "support/Checks.h"
#include "support/TempFolder.h"

namespace sonivera::test {

// The event loop the link waits in needs an application object.
inline void EnsureCoreApplication() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "test_instrument";
  static char* argv[] = {name, nullptr};
  new QCoreApplication(argc, argv);
}

// Installs the stand-in companion as Bridger.exe in the folder.
inline bool InstallStandIn(const TempFolder& folder) {
  const QString target = folder.File("Bridger.exe");
  QFile::remove(target);
  return QFile::copy(SONIVERA_BRIDGER_STANDIN, target) &&
         QFile(target).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ExeOwner);
}

// The stand-in's scenario for its next run.
inline void SetScenario(const TempFolder& folder, const QByteArray& scenario) {
  folder.Write("bridger-scenario.txt", scenario);
}

// What the stand-in logged, one entry a line.
inline QStringList StandInLog(const TempFolder& folder) {
  return QString::fromUtf8(folder.Read("bridger.log")).split(u'\n', Qt::SkipEmptyParts);
}

// A "[SNV/5 Format]" register file of one complete record with the test type.
inline QByteArray CsvReplyFile(const QString& pat_no, const QString& date, const QString& type) {
  QStringList values(51, QString());
  values[0] = pat_no;
  values[1] = "Hall";
  values[2] = "Ann";
  values[3] = date;
  values[4] = "11:00:00";
  values[6] = "01/02/1970";
  values[12] = "F";
  values[20] = type;
  for (int i = 33; i < 51; ++i) values[i] = "25";
  return "[SNV/5 Format]\r\nheadings\r\n" + values.join(',').toUtf8() + "\r\n";
}

// A test as one line: type|date|left|right, then the previous ears when sent.
inline QString Summary(const companion::CompanionTest& test) {
  const auto ear = [](const companion::EarValues& values) {
    QStringList out;
    for (int v : values) out << QString::number(v);
    return out.join(u',');
  };
  QStringList parts{test.test_type, test.date_box, ear(test.current_left), ear(test.current_right)};
  if (test.has_previous) parts << ear(test.previous_left) << ear(test.previous_right);
  return parts.join(u'|');
}

}  // namespace sonivera::test
