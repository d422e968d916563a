// Every text file the program reads: line ends, encodings line by line, the
// byte-order mark, and the settings file's bad forms.
#include <gtest/gtest.h>

#include <QFile>

#include "base/AppError.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "base/TextFiles.h"
#include "support/BaseChecks.h"
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

// CR-only and "nan" settings files from the corpus; a file that cannot be read.
TEST(TextFiles, SettingsFileInBadForms) {
  auto read = [](const QByteArray& bytes, Settings& settings) {
    test::TempFolder folder;
    test::ScriptedPrompter prompter;
    if (bytes.isNull()) {
      QFile::link(QStringLiteral("/proc/self/mem"), folder.File("sonivera5.ini"));
    } else {
      folder.Write("sonivera5.ini", bytes);
    }
    ReadSettingsFile(ProgramFolder(folder.Path()), settings, prompter);
    return folder.File("sonivera5.mdb");
  };
  auto corpus = [](const char* name) {
    QFile file(QStringLiteral(SONIVERA_TEST_DATA "/bad/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };
  Settings cr;
  EXPECT_EQ(read(corpus("cr-only.ini"), cr), cr.DatabasePath);
  EXPECT_EQ(cr.SchemeList, "HSE2006");
  EXPECT_EQ(cr.AudiometerSeries, "S5");
  Settings nan;
  EXPECT_EQ(test::ErrorOf([&] { read(corpus("nan-port.ini"), nan); }),
            "13 Type mismatch (sonivera5.ini, line 3)");
  Settings unreadable;
  EXPECT_THROW(read(QByteArray(), unreadable), AppError);
}

}  // namespace
}  // namespace sonivera
