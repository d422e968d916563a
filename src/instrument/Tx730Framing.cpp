#include "instrument/Tx730Framing.h"

#include <algorithm>

namespace sonivera {

namespace {
bool OnlyLineEnds(const QString& text) {
  for (const QChar c : text) {
    if (c != u'\r' && c != u'\n') return false;
  }
  return true;
}

void DropLeading(QString& text, char16_t c) {
  if (text.startsWith(QChar(c))) text.remove(0, 1);
}
}  // namespace

bool IsPassiveSeries(const QString& series) {
  const QString upper = series.toUpper();
  return upper == QLatin1String("S4") || upper == QLatin1String("S5");
}

FramingMode FramingModeFor(const QString& series, const QString& conversion_file) {
  if (conversion_file.toLower() == QLatin1String("tx730_1.cvt")) return FramingMode::Series1Blocks;
  if (IsPassiveSeries(series)) return FramingMode::PassiveLines;
  return FramingMode::Series3Lines;
}

void Tx730Framing::Reset() {
  buffer_.clear();
  lines_.assign(kTransferCapacity, QString());
  line_count_ = 0;
  framed_ = 0;
  dropped_ = 0;
}

bool Tx730Framing::HasCompleteRecord() const {
  if (mode_ == FramingMode::Series1Blocks) return buffer_.contains(u'>');
  const qsizetype end = buffer_.lastIndexOf(QLatin1String("\r\n"));
  if (end < 0) return false;
  for (qsizetype i = 0; i < end; ++i) {
    if (buffer_.at(i) != u'\r' && buffer_.at(i) != u'\n') return true;
  }
  return false;
}

bool Tx730Framing::Receive(const QString& text) {
  buffer_ += text;
  return mode_ == FramingMode::Series1Blocks ? FrameBlock() : FrameLine();
}

void Tx730Framing::Store(const QString& line) {
  if (framed_ >= kTransferCapacity) {
    ++dropped_;
    return;
  }
  lines_[framed_] = line;
  ++framed_;
  line_count_ = framed_;
}

bool Tx730Framing::FrameLine() {
  while (buffer_.startsWith(QLatin1String("\r\n"))) buffer_.remove(0, 2);
  const qsizetype end = buffer_.indexOf(QLatin1String("\r\n"));
  if (end < 0) return false;
  const QString line = buffer_.left(end);
  buffer_.remove(0, end + 2);
  Store(line);
  return true;
}

bool Tx730Framing::FrameBlock() {
  const qsizetype end = buffer_.indexOf(u'>');
  if (end < 0) return false;
  QString line = buffer_.left(end + 1);
  // The CR LF that closes a block may come in a later read than its ">": it
  // then stands before the next "<" and belongs to neither block.
  if (line.contains(u'<')) {
    qsizetype start = 0;
    while (start < line.size() && (line.at(start) == u'\r' || line.at(start) == u'\n')) ++start;
    if (start > 0 && line.at(start) == u'<') line.remove(0, start);
  }
  if (line.startsWith(u'<')) {
    line.remove(0, 1);
    DropLeading(line, u'\r');
    DropLeading(line, u'\n');
  }
  QString rest = buffer_.mid(end + 1);
  DropLeading(rest, u'\r');
  DropLeading(rest, u'\n');
  buffer_ = rest;
  Store(line);
  return true;
}

void Tx730Framing::FinishCollection(const QString& waiting) {
  const QString remainder = buffer_ + waiting;
  buffer_.clear();
  // A lone line end is what closed the last record, not a record.
  const bool any = !remainder.isEmpty() && !OnlyLineEnds(remainder);
  if (mode_ == FramingMode::Series1Blocks) {
    // The remainder is kept after the framed blocks (it ends the parse
    // there) and the transfer is shown as one record.
    if (any && framed_ < kTransferCapacity) lines_[framed_] = remainder;
    if (any && framed_ >= kTransferCapacity) ++dropped_;
    if (line_count_ > 1) line_count_ = 1;
    return;
  }
  if (any) Store(remainder);
}

}  // namespace sonivera

namespace sonivera {

QString OverflowText(std::optional<int> dropped) {
  const QString head =
      QStringLiteral("The audiometer sent more records than one transfer can hold (%1). ")
          .arg(kTransferCapacity);
  const QString lost = dropped ? QStringLiteral("The last %1 record(s) were not kept").arg(*dropped)
                               : QStringLiteral("The records after the first %1 are not kept")
                                     .arg(kTransferCapacity);
  return head + lost + QStringLiteral(": store these records, then send the rest again.");
}

Tx730Framing FrameWireText(const QString& text, FramingMode mode, int chunk) {
  Tx730Framing framing(mode);
  chunk = std::max(1, chunk);
  for (qsizetype at = 0; at < text.size(); at += chunk) framing.Receive(text.mid(at, chunk));
  // What one event could not frame waits in the buffer: frame it as later
  // events would, then end the collection.
  while (framing.Receive(QString())) {
  }
  framing.FinishCollection();
  return framing;
}

}  // namespace sonivera
