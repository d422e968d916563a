#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace sonivera::test {

// A temporary program folder, removed after the test.
class TempFolder {
 public:
  TempFolder() { dir_.setAutoRemove(true); }
  QString Path() const { return dir_.path(); }
  QString File(const QString& name) const { return dir_.filePath(name); }
  // Writes text as it is (no line-end translation).
  void Write(const QString& name, const QByteArray& bytes) const;
  QByteArray Read(const QString& name) const;

 private:
  QTemporaryDir dir_;
};

// Runs sonivera-cli with the arguments; returns its exit code and fills the
// output streams.
struct CliResult {
  int exit_code = -1;
  QString out;
  QString err;
};
CliResult RunCli(const QStringList& args, const QByteArray& input = QByteArray());

}  // namespace sonivera::test
