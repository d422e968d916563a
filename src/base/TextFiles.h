#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace sonivera {

// A text file's lines. CR LF, LF and CR alone each end a line; a final line
// without an ending still counts. Each line is decoded on its own: valid UTF-8
// stays UTF-8, any other line is read as Windows-1252. A byte-order mark is
// dropped only at the very start of the file; elsewhere it stays in the text.
struct TextLines {
  QStringList lines;
  // False when the file's last line stops without a line end.
  bool last_line_ended = true;
  // How many lines were not valid UTF-8 and were read as Windows-1252.
  int cp1252_lines = 0;
};

TextLines SplitTextLines(const QByteArray& bytes);

// The same lines kept as the file's bytes and decoded one at a time as they
// are asked for: a long file (an import of 100,000 lines) takes half the
// memory of its decoded text, and nothing is read twice.
class TextLineSpans {
 public:
  explicit TextLineSpans(QByteArray bytes);
  qsizetype size() const { return static_cast<qsizetype>(spans_.size()); }
  bool isEmpty() const { return spans_.empty(); }
  // Line i, decoded as SplitTextLines decodes it.
  QString Line(qsizetype i, bool* was_cp1252 = nullptr) const;
  // False when the file's last line stops without a line end.
  bool LastLineEnded() const { return last_line_ended_; }

 private:
  QByteArray bytes_;
  std::vector<std::pair<qsizetype, qsizetype>> spans_;  // start, length
  bool last_line_ended_ = true;
};

// One line's bytes: UTF-8 when valid (a byte-order mark kept), else Windows-1252.
QString DecodeLine(QByteArrayView bytes, bool* was_cp1252 = nullptr);

// nullopt when the file cannot be opened or read.
std::optional<TextLines> ReadTextFile(const QString& path);
std::optional<TextLineSpans> ReadTextFileSpans(const QString& path);
// The lines of ReadTextFile alone.
std::optional<QStringList> ReadTextLines(const QString& path);

// Writes lines as UTF-8, each followed by CR LF, replacing the file atomically.
bool WriteTextLines(const QString& path, const QStringList& lines);

// True when the path names an existing regular file.
bool FileExists(const QString& path);

}  // namespace sonivera
