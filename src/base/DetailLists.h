#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace sonivera {

// The ten drop-down lists of patient and test details, in section order:
// status, leaving reason, location, company, examiner, department/unit,
// position/rank, F1, F2, F3.
struct DetailLists {
  static constexpr int kListCount = 10;
  static constexpr int kMaxLines = 501;
  std::array<QStringList, kListCount> lists;
  QString PrintHeading;
  int lines_read = 0;

  // The most characters a list's box accepts (the size of the field it feeds).
  static int TextLimit(int list) { return list <= 6 ? 40 : 20; }
  static constexpr int kTestTypeLimit = 16;
};

// Reads patdetails.txt. A missing file gives empty lists. Throws AppError
// (subscript out of range) for a file of more than 501 lines.
DetailLists ReadDetailLists(const QString& path);

// The section a heading line opens, or -1 when the line is not a heading.
// Vision headings give kVisionSection; the print heading gives 20.
constexpr int kVisionSection = -2;
int HeadingSection(const QString& line);

}  // namespace sonivera
