#include "support/TempFolder.h"

#include <QFile>
#include <QProcess>

namespace sonivera::test {

void TempFolder::Write(const QString& name, const QByteArray& bytes) const {
  QFile file(File(name));
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes);
}

QByteArray TempFolder::Read(const QString& name) const {
  QFile file(File(name));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

CliResult RunCli(const QStringList& args, const QByteArray& input) {
  QProcess process;
  process.start(QStringLiteral(SONIVERA_CLI), args);
  CliResult result;
  if (!process.waitForStarted(10000)) return result;
  if (!input.isEmpty()) process.write(input);
  process.closeWriteChannel();
  process.waitForFinished(120000);
  result.exit_code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  result.out = QString::fromUtf8(process.readAllStandardOutput());
  result.err = QString::fromUtf8(process.readAllStandardError());
  return result;
}

}  // namespace sonivera::test
