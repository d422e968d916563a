#pragma once

#include <QMap>
#include <QString>

namespace sonivera {

class ProgramFolder;

// Port numbers the program offers (COM 1 to COM 16).
constexpr int kFirstPort = 1;
constexpr int kLastPort = 16;

// Reads comports.txt: one "COMn=device" per line ("COM" and the case are
// optional, "#" starts a comment line). Lines that do not parse are skipped,
// so a damaged file never hides the default devices.
QMap<int, QString> ReadPortMap(const QString& path);

// The device that stands for COM n: the mapping in comports.txt in the
// program folder, else /dev/ttyS(n-1).
QString DevicePathForPort(const ProgramFolder& folder, int port);
QString DevicePathForPort(const QMap<int, QString>& map, int port);

// True when the device can be opened for reading and writing right now; the
// device is closed again at once.
bool PortCanBeOpened(const QString& device);

}  // namespace sonivera
