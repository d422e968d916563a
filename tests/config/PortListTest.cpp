// ComboPorts: the items, the port-number rule and the mapping of COM n to a device.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <QFile>

#include "base/ProgramFolder.h"
#include "config/PortList.h"
#include "instrument/PortProbe.h"
#include "support/TempFolder.h"

namespace sonivera {
namespace {

TEST(PortList, ItemsMarkEachPortWithTwoSpacesAndAreFoundWhateverTheMark) {
  const QStringList items = BuildPortList([](int port) { return port == 12 || port == 1; });
  ASSERT_EQ(items.size(), 17);
  EXPECT_EQ((QStringList{items[0], items[1], items[2], items[12], items[16]}),
            (QStringList{"COM -", "COM 1  (available)", "COM 2  (not available)",
                         "COM 12  (available)", "COM 16  (not available)"}));
  for (int port : {0, 7, 12, 16}) EXPECT_EQ(PortItemIndex(items, port), port);
  EXPECT_EQ(PortItemIndex(items, 40), -1);
}

TEST(PortList, PortFromItemText) {
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"COM -", 0},
      {"COM 12  (available)", 12},
      {"COM 12  (not available)", 12},
      {"COM 1  (available)", 1},
      {"COM 9", 9},
      {"COM 16  (available)", 16},
      {"COM 17  (available)", std::nullopt},
      {"COM 0", std::nullopt},
      {"COM x", std::nullopt},
      {"", std::nullopt},
      {"COM", std::nullopt},
      {"-", 0},
  };
  for (const auto& [text, port] : cases) EXPECT_EQ(PortFromItem(text), port) << text;
}

TEST(PortList, GapSliderInTenthsOfASecond) {
  EXPECT_EQ(GapToSlider(0.5), 5);
  EXPECT_EQ(GapToSlider(-1.0), 0);
  EXPECT_EQ(GapToSlider(99.0), kGapSliderMaximum);
  EXPECT_DOUBLE_EQ(SliderToGap(12), 1.2);
  EXPECT_DOUBLE_EQ(SliderToGap(GapToSlider(2.3)), 2.3);
}

TEST(PortProbe, MapFileOverridesDefaultsAndSkipsDamagedLines) {
  test::TempFolder folder;
  folder.Write("comports.txt",
               "# USB adapters\r\n"
               "COM3=/dev/ttyUSB0\r\n"
               "com 4 = /dev/ttyACM1\n"
               "7=/dev/pts/9\n"
               "COM99=/dev/ttyUSB5\n"
               "COMx=/dev/ttyUSB6\n"
               "COM5=\n"
               "garbage line\n");
  const ProgramFolder program(folder.Path());
  QStringList devices;
  for (int port : {3, 4, 7, 5, 1}) devices << DevicePathForPort(program, port);
  EXPECT_EQ(devices, (QStringList{"/dev/ttyUSB0", "/dev/ttyACM1", "/dev/pts/9", "/dev/ttyS4",
                                  "/dev/ttyS0"}));
  EXPECT_EQ(ReadPortMap(folder.File("comports.txt")).size(), 3);
  // Without the file every port is its ttyS.
  QFile::remove(folder.File("comports.txt"));
  EXPECT_EQ(DevicePathForPort(program, 3), "/dev/ttyS2");
  EXPECT_EQ(DevicePathForPort(program, 16), "/dev/ttyS15");
}

// A pseudo-terminal stands in for a real port: mapped to COM 2 it is available,
// a missing device mapped to COM 3 is not.
TEST(PortProbe, ListTriesEachMappedDevice) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const QString slave = QString::fromLocal8Bit(ptsname(master));
  test::TempFolder folder;
  folder.Write(
      "comports.txt",
      QStringLiteral("COM2=%1\nCOM3=%2\n").arg(slave, folder.File("no-such-device")).toUtf8());
  const QStringList items = ProbePortList(ProgramFolder(folder.Path()));
  EXPECT_EQ(items[2], "COM 2  (available)");
  EXPECT_EQ(items[3], "COM 3  (not available)");
  EXPECT_FALSE(PortCanBeOpened(QString()));
  ::close(master);
}

}  // namespace
}  // namespace sonivera
