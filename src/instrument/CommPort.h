#pragma once

#include <QByteArray>
#include <QString>

namespace sonivera {

class ProgramFolder;
struct Settings;

// The PC audiometer's port as the port window ("Change Com Port") offers it:
// COM 1 to COM kCommPortCount, or USB.
constexpr int kCommPortCount = 16;

// The port window's choice as the settings hold it: the port number text,
// "-" for USB (0).
QString CommPortSettingText(int port);
// The list item of a settings text: 1 to kCommPortCount, 0 for USB or anything else.
int CommPortFromSetting(const QString& text);

// ux730.ini's text with the value after "PORT=" in the "[UX730]" section
// replaced, up to the end of its line, by "UX730,COM,n" or "UX730,USB".
// A text without that section or key comes back unchanged.
QByteArray WritePortIntoIni(const QByteArray& ini, int port);

// OK in the port window: the settings take the choice (the port text and the
// connection line kept in sonivera5.ini) and ux730.ini in the Windows folder
// is rewritten when it exists. False when that file could not be written.
bool StoreCommPort(const ProgramFolder& folder, Settings& settings, int port);

}  // namespace sonivera
