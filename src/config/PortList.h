#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "base/Settings.h"

namespace sonivera {

class ProgramFolder;

// The first item of ComboPorts: no port.
inline constexpr char kNoPortItem[] = "COM -";

// "COM n  (available)" or "COM n  (not available)", two spaces before the bracket.
QString PortItemText(int port, bool available);

// ComboPorts' items: "COM -", then COM 1 to COM 16 marked by can_open(n).
QStringList BuildPortList(const std::function<bool(int)>& can_open);

// The list for this machine, trying each port's device now.
QStringList ProbePortList(const ProgramFolder& folder);

// The item that shows a port number (0 gives "COM -"), found among items by
// number, whatever its availability mark.
int PortItemIndex(const QStringList& items, int port);

// The port number a ComboPorts text stands for: a text holding "-" is 0;
// otherwise the number in its fifth and sixth characters. nullopt when that
// number is not 1 to 16.
std::optional<int> PortFromItem(const QString& text);

// The text shown when a ComboPorts text is not a port.
QString InvalidPortText();

// The import window's caption for the series in use, e.g. "Import from TX730 S3".
QString ImportWindowCaption(const Settings& settings);

// Series S4 and S5 keep the serial link open.
bool SeriesKeepsLinkOpen(const Settings& settings);

// The slider that sets Rs232Gap: whole steps of a tenth of a second.
constexpr int kGapSliderMaximum = 50;
int GapToSlider(double seconds);
double SliderToGap(int position);

}  // namespace sonivera
