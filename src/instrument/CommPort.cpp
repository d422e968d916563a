#include "instrument/CommPort.h"

#include <QFile>
#include <QSaveFile>

#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "instrument/CompanionReplies.h"

namespace sonivera {

namespace {
QByteArray PortValue(int port) {
  return port > 0 ? "UX730,COM," + QByteArray::number(port) : QByteArray("UX730,USB");
}
}  // namespace

QString CommPortSettingText(int port) {
  return port > 0 ? QString::number(port) : QStringLiteral("-");
}

int CommPortFromSetting(const QString& text) {
  bool ok = false;
  const int port = text.trimmed().toInt(&ok);
  return ok && port >= 1 && port <= kCommPortCount ? port : 0;
}

QByteArray WritePortIntoIni(const QByteArray& ini, int port) {
  const QByteArray lower = ini.toLower();
  const qsizetype section = lower.indexOf("[ux730]");
  if (section < 0) return ini;
  const qsizetype key = lower.indexOf("port=", section);
  if (key < 0) return ini;
  const qsizetype value = key + 5;
  qsizetype end = value;
  while (end < ini.size() && ini[end] != '\r' && ini[end] != '\n') ++end;
  return ini.left(value) + PortValue(port) + ini.mid(end);
}

bool StoreCommPort(const ProgramFolder& folder, Settings& settings, int port) {
  settings.PcAudiometerPort = CommPortSettingText(port);
  settings.PcAudiometerConnection = QString::fromLatin1(PortValue(port));
  const QString path = folder.WindowsFolder() + u'/' + companion::kPortIniFile;
  QFile file(path);
  if (!file.exists()) return true;
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray text = WritePortIntoIni(file.readAll(), port);
  file.close();
  QSaveFile out(path);
  return out.open(QIODevice::WriteOnly) && out.write(text) == text.size() && out.commit();
}

}  // namespace sonivera
