#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

namespace sonivera {

// A conversion file (tx730_1.cvt, tx730_3.cvt): one entry per value of a
// record line, in line order. "!" starts a comment line; an entry is a type
// letter, a separator and the field name ("S Surname", "I Current Left 1k").
// Reading works like a sequential file: entries are read one by one from a
// position that is rewound for each record.
class ConversionFile {
 public:
  ConversionFile() = default;
  explicit ConversionFile(QStringList lines) : lines_(std::move(lines)) {}

  // Reads the file; throws AppError 53 ("File not found") when it cannot be
  // read.
  static ConversionFile Open(const QString& path);

  // The next line that is not a comment; "Error" at the end of the file or
  // for an empty line.
  QString ReadConversionLine();
  bool AtEnd() const { return position_ >= lines_.size(); }
  void Rewind() { position_ = 0; }
  const QStringList& Lines() const { return lines_; }

 private:
  QStringList lines_;
  qsizetype position_ = 0;
};

// What ReadConversionLine returns when there is no entry.
inline const QString kNoEntry = QStringLiteral("Error");

// An entry split into its type letter and its name (from the third
// character). The empty entry and "Error" have no type and keep their text.
struct ConversionEntry {
  QChar type;
  QString name;
};
ConversionEntry SplitEntry(const QString& entry);

// The quoted categorisation text ("S Category").
bool IsCategoryEntry(const QString& entry);
// An entry that ends the record: its text holds "END" in any case.
bool IsEndEntry(const QString& entry);

// The conversion file of each line format.
inline const QString kSeries1ConversionFile = QStringLiteral("tx730_1.cvt");
inline const QString kSeries3ConversionFile = QStringLiteral("tx730_3.cvt");

// Series 1 lines are recognised by the conversion file in use.
bool IsSeries1ConversionFile(const QString& file_name);

}  // namespace sonivera
