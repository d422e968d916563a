#pragma once

#include <QString>
#include <QStringList>

#include "base/Prompter.h"

namespace sonivera {

class ProgramFolder;

// The chart check boxes of the configuration window and the predictive flags.
struct ChartOptions {
  bool CheckBand = true;
  bool CheckBandPrint = true;
  bool CheckBandPrintEnabled = true;
  bool CheckPredictive = false;
  bool ShowPredictiveLine = false;
  bool PredictiveLineAllowed = false;
};

// The audiometer series options of the configuration window, in item order.
enum class SeriesOption { S3 = 0, S1 = 1, S4 = 2, S5 = 3 };

// Settings held for the run and kept in sonivera5.ini between runs.
struct Settings {
  QString DatabasePath;
  QString SchemeList;
  int SerialPortNumber = 0;
  QString AudiometerSeries = QStringLiteral("S5");
  QString ConversionFile = QStringLiteral("tx730_3.cvt");
  QString PcAudiometerConnection = QStringLiteral("UX730,USB");
  QString PcAudiometerPort = QStringLiteral("-");
  ChartOptions chart;
  // Seconds to pause after each record sent to the audiometer; set by the
  // configuration window's slider for the run.
  double Rs232Gap = 0.5;
  // The configuration window's database-file box: DatabasePath, or the file
  // chosen by Browse for the next start.
  QString DatabaseFileBox;
  SeriesOption series_option = SeriesOption::S5;
  // Whether the start-up asks the serial link to be opened for the series.
  bool open_serial_link = false;
};

// The program's port layer: (re)opens the serial link for the series and
// port in the settings.
class SerialLinkOpener {
 public:
  virtual ~SerialLinkOpener() = default;
  virtual void OpenSerialLink() = 0;
};

// Reads sonivera5.ini by its positional rules into settings. A missing file
// gives the defaults. True when the file held a scheme line (SchemeList),
// which the caller applies to the scheme boxes. Throws AppError for a port
// line that is not a number. The prompter shows the PC audiometer port message.
bool ReadSettingsFile(const ProgramFolder& folder, Settings& settings, Prompter& prompter);

// Applies one series line ("S1", "S3", "S4", "S5", any case) to the settings.
void ApplySeries(const QString& series, Settings& settings);

// Sets the series option chosen in the configuration window.
void SelectSeriesOption(SeriesOption option, Settings& settings);

// Derives PcAudiometerPort from PcAudiometerConnection and ux730.ini.
void DerivePcAudiometerPort(const ProgramFolder& folder, Settings& settings, Prompter& prompter);

// The eight lines EndProgram writes.
QStringList SettingsFileLines(Settings settings);

// The four lines written when another database is chosen for the next start.
QStringList BrowsedSettingsFileLines(const Settings& settings);

// "-" for 0, else the number.
QString PortLineText(int port);

}  // namespace sonivera
