#include "instrument/PortProbe.h"

#include <QSerialPort>

#include "base/ProgramFolder.h"
#include "base/TextFiles.h"

namespace sonivera {

QMap<int, QString> ReadPortMap(const QString& path) {
  QMap<int, QString> map;
  const auto lines = ReadTextLines(path);
  if (!lines) return map;
  for (const QString& raw : *lines) {
    const QString line = raw.trimmed();
    if (line.isEmpty() || line.startsWith(u'#')) continue;
    const auto equals = line.indexOf(u'=');
    if (equals < 0) continue;
    QString key = line.left(equals).trimmed();
    if (key.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) key = key.mid(3).trimmed();
    bool ok = false;
    const int port = key.toInt(&ok);
    const QString device = line.mid(equals + 1).trimmed();
    if (!ok || port < kFirstPort || port > kLastPort || device.isEmpty()) continue;
    map.insert(port, device);
  }
  return map;
}

QString DevicePathForPort(const QMap<int, QString>& map, int port) {
  const auto found = map.constFind(port);
  if (found != map.constEnd()) return *found;
  return QStringLiteral("/dev/ttyS%1").arg(port - 1);
}

QString DevicePathForPort(const ProgramFolder& folder, int port) {
  return DevicePathForPort(ReadPortMap(folder.File(QStringLiteral("comports.txt"))), port);
}

bool PortCanBeOpened(const QString& device) {
  if (device.isEmpty()) return false;
  QSerialPort port;
  port.setPortName(device);
  if (!port.open(QIODevice::ReadWrite)) return false;
  port.close();
  return true;
}

}  // namespace sonivera
