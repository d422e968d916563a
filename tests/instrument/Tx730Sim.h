#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include "base/Settings.h"

namespace sonivera::test {

// tx730-sim on a new pseudo-terminal, mapped to COM 3 of a program folder.
class SimulatedAudiometer {
 public:
  static constexpr int kPort = 3;

  // Starts the simulator with the stored tests (Series 3 lines) and extra
  // options; false when it did not come up.
  bool Start(const QString& folder, const QStringList& tests, const QStringList& options = {}) {
    folder_ = folder;
    QFile store(StorePath());
    if (!store.open(QIODevice::WriteOnly)) return false;
    store.write(tests.join(u'\n').toLatin1() + '\n');
    store.close();
    process_.setProgram(QStringLiteral(SONIVERA_TX730_SIM));
    process_.setArguments(QStringList{"--store", StorePath(), "--transcript", TranscriptPath()} +
                          options);
    process_.start();
    if (!process_.waitForStarted(5000) || !process_.waitForReadyRead(5000)) return false;
    const QString line = QString::fromLatin1(process_.readLine()).trimmed();
    if (!line.startsWith(QLatin1String("DEVICE "))) return false;
    device_ = line.mid(7);
    QFile map(folder + "/comports.txt");
    if (!map.open(QIODevice::WriteOnly)) return false;
    map.write(QStringLiteral("COM%1=%2\n").arg(kPort).arg(device_).toLatin1());
    return true;
  }
  ~SimulatedAudiometer() {
    if (process_.state() != QProcess::NotRunning) {
      process_.terminate();
      process_.waitForFinished(3000);
    }
  }

  const QString& Device() const { return device_; }
  QString StorePath() const { return folder_ + "/sim-store.txt"; }
  QString TranscriptPath() const { return folder_ + "/sim-transcript.txt"; }

  // The bytes of one direction ("RX" what the audiometer received, "TX"
  // what it sent), %XX escapes undone.
  QByteArray Bytes(const char* direction) const {
    QFile file(TranscriptPath());
    if (!file.open(QIODevice::ReadOnly)) return {};
    QByteArray out;
    for (const QByteArray& line : file.readAll().split('\n')) {
      if (line.startsWith(QByteArray(direction) + ' '))
        out += QByteArray::fromPercentEncoding(line.mid(3));
    }
    return out;
  }
  QStringList StoredTests() const {
    QFile file(StorePath());
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
  }

 private:
  QProcess process_;
  QString folder_;
  QString device_;
};

// Points the settings at the simulator's port for a series.
inline void UseSeries(Settings& settings, const QString& series) {
  ApplySeries(series, settings);
  settings.SerialPortNumber = SimulatedAudiometer::kPort;
}

}  // namespace sonivera::test
