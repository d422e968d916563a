#include "base/Settings.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "base/AppError.h"
#include "base/Messages.h"
#include "base/ProgramFolder.h"
#include "base/TextFiles.h"

namespace sonivera {

namespace {
// A path written for another system: a drive letter or backslashes.
bool IsForeignPath(const QString& line) {
  static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
  return line.contains(u'\\') || drive.match(line).hasMatch();
}

// Relative paths are taken in the program folder, never in the current
// directory; a foreign path is kept as it stands and cannot be opened.
QString ReadDatabaseLine(const QString& line, const ProgramFolder& folder) {
  if (!line.contains(QLatin1String(".mdb"), Qt::CaseInsensitive)) return QString();
  if (IsForeignPath(line) || QDir::isAbsolutePath(line)) return line;
  return QDir::cleanPath(folder.File(line));
}

// The port line: "-" gives 0; otherwise a whole number that fits 16 bits.
int ReadPortLine(const QString& line, const QString& place) {
  const QString text = line.trimmed();
  if (text == QLatin1String("-")) return 0;
  static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]+$"));
  if (!whole.match(text).hasMatch()) {
    throw AppError(errnum::kTypeMismatch, QStringLiteral("Type mismatch") + place);
  }
  bool ok = false;
  const int value = text.toInt(&ok);
  if (!ok || value < -32768 || value > 32767) {
    throw AppError(errnum::kOverflow, QStringLiteral("Overflow") + place);
  }
  return value;
}

bool KeywordIs(const QString& line, const char* keyword) {
  return line.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}
}  // namespace

void SelectSeriesOption(SeriesOption option, Settings& settings) {
  settings.series_option = option;
  switch (option) {
    case SeriesOption::S3:
      settings.AudiometerSeries = QStringLiteral("S3");
      break;
    case SeriesOption::S1:
      settings.AudiometerSeries = QStringLiteral("S1");
      break;
    case SeriesOption::S4:
      settings.AudiometerSeries = QStringLiteral("S4");
      break;
    case SeriesOption::S5:
      settings.AudiometerSeries = QStringLiteral("S5");
      break;
  }
  settings.ConversionFile =
      option == SeriesOption::S1 ? QStringLiteral("tx730_1.cvt") : QStringLiteral("tx730_3.cvt");
}

void ApplySeries(const QString& series, Settings& settings) {
  settings.AudiometerSeries = series;
  const QString upper = series.toUpper();
  settings.open_serial_link = false;
  if (upper == QLatin1String("S1")) {
    settings.series_option = SeriesOption::S1;
  } else if (upper == QLatin1String("S4")) {
    settings.series_option = SeriesOption::S4;
    settings.open_serial_link = true;
  } else if (upper == QLatin1String("S5")) {
    settings.series_option = SeriesOption::S5;
    settings.open_serial_link = true;
  } else {
    settings.series_option = SeriesOption::S3;
  }
  settings.ConversionFile = settings.series_option == SeriesOption::S1
                                ? QStringLiteral("tx730_1.cvt")
                                : QStringLiteral("tx730_3.cvt");
}

void DerivePcAudiometerPort(const ProgramFolder& folder, Settings& settings, Prompter& prompter) {
  const QString& connection = settings.PcAudiometerConnection;
  settings.PcAudiometerPort = QStringLiteral("-");
  if (!connection.contains(QLatin1String("COM"))) return;
  const QString ini = folder.WindowsFolder() + QStringLiteral("/ux730.ini");
  if (FileExists(ini)) {
    const auto lines = ReadTextLines(ini);
    if (!lines) return;
    for (const auto& line : *lines) {
      for (const auto& item : line.split(u',')) {
        if (item.left(5).compare(QLatin1String("PORT="), Qt::CaseInsensitive) == 0) {
          const QString rest = item.mid(5);
          settings.PcAudiometerPort = rest.isEmpty() ? QStringLiteral("-") : rest;
          return;
        }
      }
    }
    return;
  }
  const auto at = connection.indexOf(QLatin1String("COM,"));
  if (at >= 0) {
    settings.PcAudiometerPort = connection.mid(at + 4);
    if (settings.PcAudiometerPort.isEmpty()) settings.PcAudiometerPort = QStringLiteral("-");
    return;
  }
  prompter.Show(Msg(530), Msg(974), Prompter::Buttons::Ok, Prompter::Answer::Ok,
                Prompter::Icon::Exclamation);
}

bool ReadSettingsFile(const ProgramFolder& folder, Settings& settings, Prompter& prompter) {
  const QString path = folder.File(QStringLiteral("sonivera5.ini"));
  if (!FileExists(path)) {
    // No file at all: the defaults, and the serial link for series S5.
    settings.DatabasePath.clear();
    ApplySeries(QStringLiteral("S5"), settings);
    DerivePcAudiometerPort(folder, settings, prompter);
    return false;
  }
  const auto read = ReadTextLines(path);
  if (!read) {
    throw AppError(errnum::kPermissionDenied,
                   QStringLiteral("Could not read the file '%1'.").arg(path));
  }
  const QStringList& lines = *read;
  settings.DatabasePath.clear();
  if (lines.isEmpty()) {
    // An empty file reads nothing: the series stays empty and no link opens.
    settings.AudiometerSeries.clear();
    settings.series_option = SeriesOption::S3;
    settings.open_serial_link = false;
    return false;
  }
  settings.DatabasePath = ReadDatabaseLine(lines[0], folder);
  if (lines.size() < 2) {
    ApplySeries(QStringLiteral("S5"), settings);
    DerivePcAudiometerPort(folder, settings, prompter);
    return false;
  }
  settings.SchemeList = lines[1];
  if (lines.size() < 3) {
    ApplySeries(QStringLiteral("S5"), settings);
    DerivePcAudiometerPort(folder, settings, prompter);
    return true;
  }
  settings.SerialPortNumber = ReadPortLine(lines[2], QStringLiteral(" (sonivera5.ini, line 3)"));
  ApplySeries(lines.size() >= 4 ? lines[3] : QStringLiteral("S5"), settings);
  if (lines.size() >= 5) settings.PcAudiometerConnection = lines[4];
  DerivePcAudiometerPort(folder, settings, prompter);
  if (lines.size() < 6) return true;
  auto& chart = settings.chart;
  chart.CheckBand = KeywordIs(lines[5], "BANDON");
  chart.CheckBandPrintEnabled = chart.CheckBand;
  if (lines.size() < 7) return true;
  chart.CheckBandPrint = KeywordIs(lines[6], "PRINTBANDON");
  chart.PredictiveLineAllowed = false;
  if (lines.size() < 8) return true;
  chart.ShowPredictiveLine = KeywordIs(lines[7], "PREDICTIVEON");
  chart.CheckPredictive = chart.ShowPredictiveLine;
  chart.PredictiveLineAllowed = true;
  return true;
}

QString PortLineText(int port) { return port == 0 ? QStringLiteral("-") : QString::number(port); }

QStringList SettingsFileLines(Settings settings) {
  if (settings.SerialPortNumber < 1 || settings.SerialPortNumber > 16) {
    settings.SerialPortNumber = 0;
  }
  QString series = settings.AudiometerSeries.trimmed();
  if (series.isEmpty()) series = QStringLiteral("S5");
  const auto& chart = settings.chart;
  return {settings.DatabaseFileBox,
          settings.SchemeList,
          PortLineText(settings.SerialPortNumber),
          series,
          settings.PcAudiometerConnection,
          chart.CheckBand ? QStringLiteral("BANDON") : QStringLiteral("BANDOFF"),
          chart.CheckBandPrint ? QStringLiteral("PRINTBANDON") : QStringLiteral("PRINTBANDOFF"),
          chart.CheckPredictive ? QStringLiteral("PREDICTIVEON") : QStringLiteral("PREDICTIVEOFF")};
}

QStringList BrowsedSettingsFileLines(const Settings& settings) {
  return {settings.DatabaseFileBox, QString(), PortLineText(settings.SerialPortNumber),
          settings.AudiometerSeries.trimmed()};
}

}  // namespace sonivera
