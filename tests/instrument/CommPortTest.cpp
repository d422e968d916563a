#include <gtest/gtest.h>

#include <QFileInfo>

#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "instrument/CommPort.h"
#include "support/TempFolder.h"

namespace sonivera {
namespace {

TEST(CommPort, IniKeyIsRewrittenOnlyInItsSection) {
  struct Case {
    const char* ini;
    int port;
    const char* expected;
  } cases[] = {
      {"[UX730]\r\nPORT=UX730,USB\r\nBaud=9600\r\n", 3,
       "[UX730]\r\nPORT=UX730,COM,3\r\nBaud=9600\r\n"},
      {"[UX730]\r\nPORT=UX730,COM,12\r\n", 0, "[UX730]\r\nPORT=UX730,USB\r\n"},
      {"[Other]\r\nPORT=keep\r\n[ux730]\nport=old value\n", 2,
       "[Other]\r\nPORT=keep\r\n[ux730]\nport=UX730,COM,2\n"},
      {"[UX730]\r\nPORT=", 1, "[UX730]\r\nPORT=UX730,COM,1"},
      {"PORT=COM1\r\n", 4, "PORT=COM1\r\n"},                    // no section: unchanged
      {"[UX730]\r\nModel=1\r\n", 4, "[UX730]\r\nModel=1\r\n"},  // no key: unchanged
      {"", 4, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WritePortIntoIni(c.ini, c.port), QByteArray(c.expected)) << c.ini;
  }
  EXPECT_EQ(CommPortSettingText(0), "-");
  EXPECT_EQ(CommPortSettingText(7), "7");
  EXPECT_EQ(CommPortFromSetting("-"), 0);
  EXPECT_EQ(CommPortFromSetting("16"), 16);
  EXPECT_EQ(CommPortFromSetting("17"), 0);
  EXPECT_EQ(CommPortFromSetting("COM7"), 0);
}

TEST(CommPort, StoredInSettingsAndInTheWindowsFolderIniWhenItExists) {
  test::TempFolder folder;
  test::TempFolder windows;
  qputenv("SONIVERA_WINDIR", windows.Path().toLocal8Bit());
  const ProgramFolder program(folder.Path());
  Settings settings;
  ASSERT_TRUE(StoreCommPort(program, settings, 5));
  EXPECT_EQ(settings.PcAudiometerPort, "5");
  EXPECT_EQ(settings.PcAudiometerConnection, "UX730,COM,5");
  EXPECT_FALSE(QFileInfo::exists(windows.File("ux730.ini")));  // never created
  EXPECT_FALSE(QFileInfo::exists(folder.File("ux730.ini")));

  windows.Write("ux730.ini", "[UX730]\r\nPORT=UX730,COM,5\r\n");
  ASSERT_TRUE(StoreCommPort(program, settings, 0));
  EXPECT_EQ(settings.PcAudiometerPort, "-");
  EXPECT_EQ(settings.PcAudiometerConnection, "UX730,USB");
  EXPECT_EQ(windows.Read("ux730.ini"), "[UX730]\r\nPORT=UX730,USB\r\n");

  // Without $SONIVERA_WINDIR the program folder stands in for it.
  qunsetenv("SONIVERA_WINDIR");
  folder.Write("ux730.ini", "[UX730]\r\nPORT=UX730,USB\r\n");
  ASSERT_TRUE(StoreCommPort(program, settings, 9));
  EXPECT_EQ(folder.Read("ux730.ini"), "[UX730]\r\nPORT=UX730,COM,9\r\n");
  EXPECT_EQ(windows.Read("ux730.ini"), "[UX730]\r\nPORT=UX730,USB\r\n");
}

}  // namespace
}  // namespace sonivera
