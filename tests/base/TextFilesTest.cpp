// Every text file the program reads: line ends, encodings line by line, the
// byte-order mark, and the settings file's bad forms.
#include <gtest/gtest.h>

#include <QFile>

#include "base/AppError.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "base/TextFiles.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

namespace sonivera {
namespace {

TEST(TextFiles, LineEndsEncodingsAndByteOrderMarks) {
  struct Case {
    const char* name;
    QByteArray bytes;
    QStringList lines;
    bool last_line_ended;
    int cp1252_lines;
  };
  const Case cases[] = {
      {"CR LF", "a\r\nb\r\n", {"a", "b"}, true, 0},
      {"LF", "a\nb", {"a", "b"}, false, 0},
      {"CR alone", "a\rb\r\rc", {"a", "b", "", "c"}, false, 0},
      {"mixed", "a\r\nb\nc\rd\r\n", {"a", "b", "c", "d"}, true, 0},
      {"empty", "", {}, true, 0},
      {"UTF-8 beside one Windows-1252 line", "M\xc3\xbcller\r\n1 \x96 2\r\nZo\xc3\xab\r\n",
       {QStringLiteral("Müller"), QStringLiteral("1 \u2013 2"), QStringLiteral("Zoë")}, true, 1},
      {"byte-order mark at the start", "\xef\xbb\xbf" "a\r\n", {"a"}, true, 0},
      {"byte-order mark inside", "a\r\n\xef\xbb\xbfSmith,\xef\xbb\xbfX\r\n",
       {"a", QStringLiteral("\ufeffSmith,\ufeffX")}, true, 0},
  };
  for (const Case& c : cases) {
    const TextLines read = SplitTextLines(c.bytes);
    EXPECT_EQ(read.lines, c.lines) << c.name;
    EXPECT_EQ(read.last_line_ended, c.last_line_ended) << c.name;
    EXPECT_EQ(read.cp1252_lines, c.cp1252_lines) << c.name;
  }
  // A file that opens but cannot be read is no file of empty lines.
  EXPECT_FALSE(ReadTextFile(QStringLiteral("/proc/self/mem")).has_value());
}

struct SettingsRead {
  test::TempFolder folder;
  Settings settings;
  SchemeChecks checks;
  test::ScriptedPrompter prompter;
  void Read() {
    ReadSettingsFile(ProgramFolder(folder.Path()), 2057, settings, checks, prompter);
  }
};

TEST(TextFiles, SettingsFileInBadForms) {
  // CR alone ends the lines as well as CR LF.
  SettingsRead cr;
  QFile::copy(QStringLiteral(SONIVERA_TEST_DATA "/bad/cr-only.ini"), cr.folder.File("sonivera5.ini"));
  cr.Read();
  EXPECT_EQ(cr.settings.DatabasePath, cr.folder.File("sonivera5.mdb"));
  EXPECT_EQ(cr.settings.SchemeList, "HSE2006");
  EXPECT_EQ(cr.settings.AudiometerSeries, "S5");

  // A port line that is not a whole number is refused, naming the line.
  for (const char* port : {"nan", "inf", "-nan", "2.5", "1e1", "0x3"}) {
    SettingsRead read;
    read.folder.Write("sonivera5.ini", QByteArray("a.mdb\r\n\r\n") + port + "\r\nS5\r\n");
    try {
      read.Read();
      ADD_FAILURE() << port << " was taken as a port";
    } catch (const AppError& error) {
      EXPECT_EQ(error.Number(), errnum::kTypeMismatch) << port;
      EXPECT_TRUE(error.Description().endsWith("(sonivera5.ini, line 3)")) << port;
    }
  }
  SettingsRead nan;
  QFile::copy(QStringLiteral(SONIVERA_TEST_DATA "/bad/nan-port.ini"), nan.folder.File("sonivera5.ini"));
  EXPECT_THROW(nan.Read(), AppError);

  // A file that is there but cannot be read is an error, not an empty file.
  SettingsRead unreadable;
  QFile::link(QStringLiteral("/proc/self/mem"), unreadable.folder.File("sonivera5.ini"));
  EXPECT_THROW(unreadable.Read(), AppError);

  // Relative database paths are taken in the program folder; a drive-letter
  // path stays as written (it cannot be opened here).
  SettingsRead relative;
  relative.folder.Write("sonivera5.ini", "data/../clinic.mdb\r\n");
  relative.Read();
  EXPECT_EQ(relative.settings.DatabasePath, relative.folder.File("clinic.mdb"));
  SettingsRead drive;
  drive.folder.Write("sonivera5.ini", "C:/Program Files/Sonivera/sonivera5.mdb\r\n");
  drive.Read();
  EXPECT_EQ(drive.settings.DatabasePath, "C:/Program Files/Sonivera/sonivera5.mdb");
}

}  // namespace
}  // namespace sonivera
