// The settings file: its positional reading rules, the defaults, and the
// exact file EndProgram writes.
#include <gtest/gtest.h>

#include <optional>

#include "base/AppError.h"
#include "base/Messages.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "categorise/Schemes.h"
#include "support/BaseChecks.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

namespace sonivera {
namespace {

struct Read {
  test::TempFolder folder;
  Settings settings;
  SchemeChecks checks;
  test::ScriptedPrompter prompter;

  // Reads `text` as the folder's settings file; nullopt reads with no file.
  Read& From(const std::optional<QByteArray>& text, int lcid = 2057) {
    if (text) folder.Write("sonivera5.ini", *text);
    if (ReadSettingsFile(ProgramFolder(folder.Path()), settings, prompter)) {
      ApplySchemeList(settings.SchemeList, lcid, checks);
    }
    return *this;
  }
  // "database|schemes|port|series|conversion|connection|PC port|link".
  QString Fields() const {
    const Settings& s = settings;
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8")
        .arg(s.DatabasePath, s.SchemeList, QString::number(s.SerialPortNumber), s.AudiometerSeries,
             s.ConversionFile, s.PcAudiometerConnection, s.PcAudiometerPort,
             s.open_serial_link ? QStringLiteral("link") : QStringLiteral("no link"));
  }
  // B band, P print band, E print band enabled, S predictive line shown,
  // C predictive box, A predictive line allowed; '-' for each one off.
  QString Chart() const {
    const auto& c = settings.chart;
    const bool on[] = {c.CheckBand,          c.CheckBandPrint,  c.CheckBandPrintEnabled,
                       c.ShowPredictiveLine, c.CheckPredictive, c.PredictiveLineAllowed};
    QString flags;
    for (int i = 0; i < 6; ++i) flags += on[i] ? QChar("BPESCA"[i]) : QChar('-');
    return flags;
  }
};

TEST(SettingsFile, MissingEmptyAndOneLineFiles) {
  // With no file the database path stays empty: the default is applied after reading.
  Read missing;
  EXPECT_EQ(missing.From(std::nullopt).Fields(), "||0|S5|tx730_3.cvt|UX730,USB|-|link");
  EXPECT_TRUE(missing.prompter.Prompts().empty());

  // An empty file leaves the series empty, with no link, and writes it back as S5.
  Read empty;
  EXPECT_EQ(empty.From("").Fields(), "||0||tx730_3.cvt|UX730,USB|-|no link");
  EXPECT_EQ(SettingsFileLines(empty.settings)[3], "S5");

  Read read;
  read.settings.chart.CheckBand = false;  // as the window had it
  read.settings.chart.CheckBandPrint = false;
  EXPECT_EQ(read.From("/data/clinic/Hearing.MDB\r\n").Fields(),
            "/data/clinic/Hearing.MDB||0|S5|tx730_3.cvt|UX730,USB|-|link");
  EXPECT_EQ(read.Chart(), "--E---");
}

TEST(SettingsFile, DatabaseLineRules) {
  const std::pair<const char*, QString> cases[] = {
      {"clinic.mdb", "@clinic.mdb"},  // relative to the folder
      {"/srv/hearing/clinic.mdb", "/srv/hearing/clinic.mdb"},
      {"C:\\Sonivera\\old.mdb", "C:\\Sonivera\\old.mdb"},
      {"/srv/hearing/clinic.db", ""},
      {"", ""},
  };
  for (const auto& [line, expected] : cases) {
    Read read;
    read.From(QByteArray(line) + "\r\nHSE2006\r\n-\r\nS3\r\n");
    EXPECT_EQ(read.settings.DatabasePath,
              expected.startsWith(u'@') ? read.folder.File(expected.mid(1)) : expected)
        << line;
  }
}

TEST(SettingsFile, PortAndSeriesLines) {
  const struct {
    const char* port;
    const char* series;
    SeriesOption option;
    const char* read;  // Fields() from the port on, then the port as written
  } cases[] = {
      {"-", "S5", SeriesOption::S5, "0|S5|tx730_3.cvt|UX730,USB|-|link|-"},
      {"17", "S4", SeriesOption::S4, "17|S4|tx730_3.cvt|UX730,USB|-|link|-"},
      {"3", "s1", SeriesOption::S1, "3|s1|tx730_1.cvt|UX730,USB|-|no link|3"},
      {" 16 ", "S3", SeriesOption::S3, "16|S3|tx730_3.cvt|UX730,USB|-|no link|16"},
      {"0", "X9", SeriesOption::S3, "0|X9|tx730_3.cvt|UX730,USB|-|no link|-"},
      {"12", "s5", SeriesOption::S5, "12|s5|tx730_3.cvt|UX730,USB|-|link|12"},
  };
  for (const auto& c : cases) {
    Read read;
    read.From(QByteArray("a.mdb\r\n\r\n") + c.port + "\r\n" + c.series + "\r\n");
    EXPECT_EQ(read.settings.series_option, c.option) << c.series;
    EXPECT_EQ(read.Fields().section(u'|', 2) + "|" + SettingsFileLines(read.settings)[2], c.read)
        << c.port << " " << c.series;
  }
  // A port line that is not a number is an error.
  for (const char* port : {"abc", "", "3x", "99999", "nan", "inf", "2.5", "1e1", "0x3"}) {
    Read read;
    EXPECT_THROW(read.From(QByteArray("a.mdb\r\n\r\n") + port + "\r\nS5\r\n"), AppError) << port;
  }
}

TEST(SettingsFile, ChartLines) {
  for (const auto& [lines, flags] :
       {std::pair{"BANDON\r\nPRINTBANDON\r\nPREDICTIVEON\r\n", "BPESCA"},
        {"bandon\r\nprintbandoff\r\npredictiveoff\r\n", "B-E--A"},
        {"BANDOFF\r\nPRINTBANDON\r\n", "-P----"},
        {"whatever\r\n", "-P----"}}) {
    Read read;
    read.From(QByteArray("a.mdb\r\nHSE2006\r\n-\r\nS3\r\nUX730,USB\r\n") + lines);
    EXPECT_EQ(read.Chart(), flags) << lines;
  }
}

TEST(SettingsFile, SchemeLineSetsTheBoxesForTheLocale) {
  const QByteArray file = "a.mdb\r\nhse2006,MP42,IPA\r\n-\r\nS3\r\n";
  // H and M, P, I for the ticked boxes, h for HSE enabled, F for the French frame.
  for (const auto& [lcid, ticked] : {std::pair{2057, "Hh----"}, {1036, "--M-IF"}}) {
    const SchemeChecks c = Read().From(file, lcid).checks;
    const bool on[] = {c.CheckHSE, c.HseEnabled, c.CheckMP42,
                       c.CheckPAM, c.CheckIPA,   c.FrenchFrameVisible};
    QString shown;
    for (int i = 0; i < 6; ++i) shown += on[i] ? QChar("HhMPIF"[i]) : QChar('-');
    EXPECT_EQ(shown, ticked) << lcid;
  }
}

TEST(SettingsFile, WrittenInOrderWithCrLf) {
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
  Read read;
  read.From((lines.join("\r\n") + "\r\n").toUtf8());
  EXPECT_EQ(read.Fields(), "/srv/clinic.mdb|HSE2006,MP42|4|S4|tx730_3.cvt|UX730,COM,2|2|link");
  EXPECT_EQ(read.Chart(), "-P-SCA");
}

TEST(SettingsFile, PcAudiometerPort) {
  const struct {
    const char* connection;
    const char* ux730_ini;  // nullptr: no file
    const char* port;
    bool message;
    const char* windows_ini = nullptr;  // in the Windows folder named by the environment
  } cases[] = {
      {"UX730,USB", "PORT=COM9\r\n", "-", false},
      {"UX730,COM,3", nullptr, "3", false},
      {"UX730,COM", nullptr, "-", true},
      {"UX730,COM,3", "Model=UX730,port=COM7,Baud=9600\r\n", "COM7", false},
      {"UX730,COM,3", "[Settings]\r\nPORT=\r\n", "-", false},
      {"UX730,COM,3", "[Settings]\r\nBaud=9600\r\n", "-", false},
      {"UX730,COM,1", nullptr, "COM5", false, "PORT=COM5"},
  };
  for (const auto& c : cases) {
    test::TempFolder folder, windows;
    if (c.ux730_ini != nullptr) folder.Write("ux730.ini", c.ux730_ini);
    if (c.windows_ini != nullptr) windows.Write("ux730.ini", c.windows_ini);
    qputenv("SONIVERA_WINDIR", c.windows_ini != nullptr ? windows.Path().toUtf8() : QByteArray());
    Settings settings;
    settings.PcAudiometerConnection = c.connection;
    test::ScriptedPrompter prompter;
    DerivePcAudiometerPort(ProgramFolder(folder.Path()), settings, prompter);
    EXPECT_EQ(settings.PcAudiometerPort, c.port) << c.connection;
    EXPECT_EQ(prompter.Texts(), c.message ? QStringList{Msg(530)} : QStringList()) << c.connection;
    for (const auto& prompt : prompter.Prompts()) EXPECT_EQ(prompt.title, "Error");
  }
  qunsetenv("SONIVERA_WINDIR");
}

}  // namespace
}  // namespace sonivera
