#include "config/PortList.h"

#include <algorithm>
#include <cmath>

#include "base/Messages.h"
#include "base/ProgramFolder.h"
#include "instrument/PortProbe.h"

namespace sonivera {

QString PortItemText(int port, bool available) {
  return QStringLiteral("COM %1  %2")
      .arg(port)
      .arg(available ? QStringLiteral("(available)") : QStringLiteral("(not available)"));
}

QStringList BuildPortList(const std::function<bool(int)>& can_open) {
  QStringList items{QString::fromLatin1(kNoPortItem)};
  for (int port = kFirstPort; port <= kLastPort; ++port) {
    items << PortItemText(port, can_open(port));
  }
  return items;
}

QStringList ProbePortList(const ProgramFolder& folder) {
  const auto map = ReadPortMap(folder.File(QStringLiteral("comports.txt")));
  return BuildPortList([&](int port) { return PortCanBeOpened(DevicePathForPort(map, port)); });
}

int PortItemIndex(const QStringList& items, int port) {
  for (int i = 0; i < items.size(); ++i) {
    const auto number = PortFromItem(items[i]);
    if (number && *number == port) return i;
  }
  return port == 0 ? 0 : -1;
}

std::optional<int> PortFromItem(const QString& text) {
  if (text.contains(u'-')) return 0;
  // The number sits in the fifth and sixth characters, after "COM ";
  // like a typed value, it is read from its leading digits, spaces ignored.
  const QString digits_part = text.mid(4, 2);
  int value = 0;
  bool any = false;
  for (const QChar c : digits_part) {
    if (c == u' ') continue;
    if (!c.isDigit()) break;
    value = value * 10 + c.digitValue();
    any = true;
  }
  if (!any || value < kFirstPort || value > kLastPort) return std::nullopt;
  return value;
}

QString InvalidPortText() { return QStringLiteral("Invalid port number. Please try again."); }

QString ImportWindowCaption(const Settings& settings) {
  return Msg(780) + u' ' + settings.AudiometerSeries.trimmed();
}

bool SeriesKeepsLinkOpen(const Settings& settings) {
  return settings.series_option == SeriesOption::S4 || settings.series_option == SeriesOption::S5;
}

int GapToSlider(double seconds) {
  const int position = static_cast<int>(std::lround(seconds * 10.0));
  return std::clamp(position, 0, kGapSliderMaximum);
}

double SliderToGap(int position) { return std::clamp(position, 0, kGapSliderMaximum) / 10.0; }

}  // namespace sonivera
