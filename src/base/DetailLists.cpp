#include "base/DetailLists.h"

#include "base/AppError.h"
#include "base/TextFiles.h"

namespace sonivera {

int HeadingSection(const QString& line) {
  const QString key = line.trimmed().left(4).toLower();
  struct Heading {
    const char* key;
    int section;
  };
  static constexpr Heading kHeadings[] = {{"[sta", 0},
                                          {"[lea", 1},
                                          {"[loc", 2},
                                          {"[com", 3},
                                          {"[exa", 4},
                                          {"[dep", 5},
                                          {"[uni", 5},
                                          {"[pos", 6},
                                          {"[ran", 6},
                                          {"[f1]", 7},
                                          {"[f2]", 8},
                                          {"[f3]", 9},
                                          {"[pri", 20},
                                          {"[vse", kVisionSection},
                                          {"[vin", kVisionSection}};
  for (const auto& heading : kHeadings) {
    if (key == QLatin1String(heading.key)) return heading.section;
  }
  return -1;
}

DetailLists ReadDetailLists(const QString& path) {
  DetailLists result;
  const auto lines = ReadTextLines(path);
  if (!lines) return result;
  if (lines->size() > DetailLists::kMaxLines) {
    throw AppError(errnum::kSubscriptOutOfRange, QStringLiteral("Subscript out of range"));
  }
  result.lines_read = static_cast<int>(lines->size());
  int section = 0;
  for (const auto& line : *lines) {
    const int heading = HeadingSection(line);
    if (heading != -1) {
      section = heading;
      continue;
    }
    if (line.isEmpty()) continue;
    if (section >= 0 && section < DetailLists::kListCount) {
      result.lists[section].append(line);
    } else if (section == 20) {
      result.PrintHeading = line;
    }
  }
  return result;
}

}  // namespace sonivera
