// The settings file: its positional reading rules, the defaults, and the
// exact file EndProgram writes.
#include <gtest/gtest.h>

#include "base/AppError.h"
#include "base/Messages.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "categorise/Schemes.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

namespace sonivera {
namespace {

struct Read {
  Settings settings;
  SchemeChecks checks;
  test::ScriptedPrompter prompter;
};

void ReadInto(const test::TempFolder& folder, Read& read, int lcid = 2057) {
  if (ReadSettingsFile(ProgramFolder(folder.Path()), read.settings, read.prompter)) {
    ApplySchemeList(read.settings.SchemeList, lcid, read.checks);
  }
}

TEST(SettingsFile, MissingEmptyAndOneLineFiles) {
  test::TempFolder folder;
  Read missing;
  ReadInto(folder, missing);
  EXPECT_TRUE(missing.settings.DatabasePath.isEmpty());  // the default is applied after reading
  EXPECT_EQ(missing.settings.SchemeList, "");
  EXPECT_EQ(missing.settings.SerialPortNumber, 0);
  EXPECT_EQ(missing.settings.AudiometerSeries, "S5");
  EXPECT_EQ(missing.settings.ConversionFile, "tx730_3.cvt");
  EXPECT_EQ(missing.settings.PcAudiometerConnection, "UX730,USB");
  EXPECT_EQ(missing.settings.PcAudiometerPort, "-");
  EXPECT_TRUE(missing.settings.open_serial_link);
  EXPECT_TRUE(missing.prompter.Prompts().empty());

  // An empty file leaves the series empty, with no link, and writes it back as S5.
  folder.Write("sonivera5.ini", "");
  Read empty;
  ReadInto(folder, empty);
  EXPECT_TRUE(empty.settings.DatabasePath.isEmpty());
  EXPECT_EQ(empty.settings.AudiometerSeries, "");
  EXPECT_FALSE(empty.settings.open_serial_link);
  EXPECT_EQ(SettingsFileLines(empty.settings)[3], "S5");

  folder.Write("sonivera5.ini", "/data/clinic/Hearing.MDB\r\n");
  Read read;
  read.settings.chart.CheckBand = false;  // as the window had it
  read.settings.chart.CheckBandPrint = false;
  ReadInto(folder, read);
  EXPECT_EQ(read.settings.DatabasePath, "/data/clinic/Hearing.MDB");
  EXPECT_EQ(read.settings.SchemeList, "");
  EXPECT_EQ(read.settings.SerialPortNumber, 0);
  EXPECT_EQ(read.settings.AudiometerSeries, "S5");
  EXPECT_TRUE(read.settings.open_serial_link);
  EXPECT_EQ(read.settings.PcAudiometerConnection, "UX730,USB");
  EXPECT_FALSE(read.settings.chart.CheckBand);
  EXPECT_FALSE(read.settings.chart.CheckBandPrint);
  EXPECT_FALSE(read.settings.chart.PredictiveLineAllowed);
}

TEST(SettingsFile, DatabaseLineRules) {
  struct Case {
    const char* line;
    QString expected;  // relative to the folder when it starts with '@'
  };
  const Case cases[] = {
      {"clinic.mdb", "@clinic.mdb"},
      {"/srv/hearing/clinic.mdb", "/srv/hearing/clinic.mdb"},
      {"C:\\Sonivera\\old.mdb", "C:\\Sonivera\\old.mdb"},
      {"/srv/hearing/clinic.db", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    test::TempFolder folder;
    folder.Write("sonivera5.ini", QByteArray(c.line) + "\r\nHSE2006\r\n-\r\nS3\r\n");
    Read read;
    ReadInto(folder, read);
    const QString expected =
        c.expected.startsWith(u'@') ? folder.File(c.expected.mid(1)) : c.expected;
    EXPECT_EQ(read.settings.DatabasePath, expected) << c.line;
  }
}

TEST(SettingsFile, PortAndSeriesLines) {
  struct Case {
    const char* port;
    const char* series;
    int port_number;
    const char* port_written;
    SeriesOption option;
    const char* conversion;
    bool link;
  };
  const Case cases[] = {
      {"-", "S5", 0, "-", SeriesOption::S5, "tx730_3.cvt", true},
      {"17", "S4", 17, "-", SeriesOption::S4, "tx730_3.cvt", true},
      {"3", "s1", 3, "3", SeriesOption::S1, "tx730_1.cvt", false},
      {" 16 ", "S3", 16, "16", SeriesOption::S3, "tx730_3.cvt", false},
      {"0", "X9", 0, "-", SeriesOption::S3, "tx730_3.cvt", false},
      {"12", "s5", 12, "12", SeriesOption::S5, "tx730_3.cvt", true},
  };
  for (const auto& c : cases) {
    test::TempFolder folder;
    folder.Write("sonivera5.ini",
                 QByteArray("a.mdb\r\n\r\n") + c.port + "\r\n" + c.series + "\r\n");
    Read read;
    ReadInto(folder, read);
    EXPECT_EQ(read.settings.SerialPortNumber, c.port_number) << c.port;
    EXPECT_EQ(read.settings.series_option, c.option) << c.series;
    EXPECT_EQ(read.settings.ConversionFile, c.conversion) << c.series;
    EXPECT_EQ(read.settings.open_serial_link, c.link) << c.series;
    EXPECT_EQ(SettingsFileLines(read.settings)[2], c.port_written) << c.port;
  }
  // A port line that is not a number is an error.
  for (const char* port : {"abc", "", "3x", "99999", "nan", "inf", "2.5", "1e1", "0x3"}) {
    test::TempFolder folder;
    folder.Write("sonivera5.ini", QByteArray("a.mdb\r\n\r\n") + port + "\r\nS5\r\n");
    Read read;
    EXPECT_THROW(ReadInto(folder, read), AppError) << port;
  }
}

TEST(SettingsFile, ChartLines) {
  struct Case {
    const char* lines;
    bool band, print, print_enabled, predictive, allowed;
  };
  const Case cases[] = {
      {"BANDON\r\nPRINTBANDON\r\nPREDICTIVEON\r\n", true, true, true, true, true},
      {"bandon\r\nprintbandoff\r\npredictiveoff\r\n", true, false, true, false, true},
      {"BANDOFF\r\nPRINTBANDON\r\n", false, true, false, false, false},
      {"whatever\r\n", false, true, false, false, false},
  };
  for (const auto& c : cases) {
    test::TempFolder folder;
    folder.Write("sonivera5.ini",
                 QByteArray("a.mdb\r\nHSE2006\r\n-\r\nS3\r\nUX730,USB\r\n") + c.lines);
    Read read;
    ReadInto(folder, read);
    const auto& chart = read.settings.chart;
    EXPECT_EQ(chart.CheckBand, c.band) << c.lines;
    EXPECT_EQ(chart.CheckBandPrint, c.print) << c.lines;
    EXPECT_EQ(chart.CheckBandPrintEnabled, c.print_enabled) << c.lines;
    EXPECT_EQ(chart.ShowPredictiveLine, c.predictive) << c.lines;
    EXPECT_EQ(chart.CheckPredictive, c.predictive) << c.lines;
    EXPECT_EQ(chart.PredictiveLineAllowed, c.allowed) << c.lines;
  }
}

TEST(SettingsFile, SchemeLineSetsTheBoxesForTheLocale) {
  test::TempFolder folder;
  folder.Write("sonivera5.ini", "a.mdb\r\nhse2006,MP42,IPA\r\n-\r\nS3\r\n");
  Read english;
  ReadInto(folder, english, 2057);
  EXPECT_TRUE(english.checks.CheckHSE);
  EXPECT_TRUE(english.checks.HseEnabled);
  EXPECT_FALSE(english.checks.CheckMP42);  // French boxes untouched elsewhere
  Read french;
  ReadInto(folder, french, 1036);
  EXPECT_FALSE(french.checks.CheckHSE);
  EXPECT_TRUE(french.checks.CheckMP42);
  EXPECT_FALSE(french.checks.CheckPAM);
  EXPECT_TRUE(french.checks.CheckIPA);
  EXPECT_TRUE(french.checks.FrenchFrameVisible);
}

TEST(SettingsFile, WrittenInOrderWithCrLf) {
  test::TempFolder folder;
  Settings settings;
  settings.DatabaseFileBox = "/srv/clinic.mdb";
  settings.SchemeList = "HSE2006,MP42";
  settings.SerialPortNumber = 4;
  settings.AudiometerSeries = " S4 ";
  settings.PcAudiometerConnection = "UX730,COM,2";
  settings.chart.CheckBand = false;
  settings.chart.CheckBandPrint = true;
  settings.chart.CheckPredictive = true;
  const QStringList lines = SettingsFileLines(settings);
  EXPECT_EQ(lines, (QStringList{"/srv/clinic.mdb", "HSE2006,MP42", "4", "S4", "UX730,COM,2",
                                "BANDOFF", "PRINTBANDON", "PREDICTIVEON"}));
  // Read back, the file gives the same settings.
  folder.Write("sonivera5.ini", (lines.join("\r\n") + "\r\n").toUtf8());
  Read read;
  ReadInto(folder, read);
  EXPECT_EQ(read.settings.DatabasePath, "/srv/clinic.mdb");
  EXPECT_EQ(read.settings.SerialPortNumber, 4);
  EXPECT_EQ(read.settings.PcAudiometerPort, "2");
  EXPECT_FALSE(read.settings.chart.CheckBand);
  EXPECT_TRUE(read.settings.chart.CheckPredictive);
}

TEST(SettingsFile, PcAudiometerPort) {
  struct Case {
    const char* connection;
    const char* ux730_ini;  // nullptr: no file
    const char* port;
    bool message;
  };
  const Case cases[] = {
      {"UX730,USB", "PORT=COM9\r\n", "-", false},
      {"UX730,COM,3", nullptr, "3", false},
      {"UX730,COM", nullptr, "-", true},
      {"UX730,COM,3", "Model=UX730,port=COM7,Baud=9600\r\n", "COM7", false},
      {"UX730,COM,3", "[Settings]\r\nPORT=\r\n", "-", false},
      {"UX730,COM,3", "[Settings]\r\nBaud=9600\r\n", "-", false},
  };
  for (const auto& c : cases) {
    test::TempFolder folder;
    if (c.ux730_ini != nullptr) folder.Write("ux730.ini", c.ux730_ini);
    Settings settings;
    settings.PcAudiometerConnection = c.connection;
    test::ScriptedPrompter prompter;
    qunsetenv("SONIVERA_WINDIR");
    DerivePcAudiometerPort(ProgramFolder(folder.Path()), settings, prompter);
    EXPECT_EQ(settings.PcAudiometerPort, c.port) << c.connection;
    ASSERT_EQ(prompter.Prompts().size(), c.message ? 1u : 0u) << c.connection;
    if (c.message) {
      EXPECT_EQ(prompter.Prompts()[0].text, Msg(530));
      EXPECT_EQ(prompter.Prompts()[0].title, "Error");
    }
  }
  // The Windows folder comes from the environment.
  test::TempFolder folder, windir;
  windir.Write("ux730.ini", "PORT=COM5");
  qputenv("SONIVERA_WINDIR", windir.Path().toUtf8());
  Settings settings;
  settings.PcAudiometerConnection = "UX730,COM,1";
  test::ScriptedPrompter prompter;
  DerivePcAudiometerPort(ProgramFolder(folder.Path()), settings, prompter);
  qunsetenv("SONIVERA_WINDIR");
  EXPECT_EQ(settings.PcAudiometerPort, "COM5");
}

}  // namespace
}  // namespace sonivera
