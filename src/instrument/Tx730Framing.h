#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "instrument/Tx730Record.h"

namespace sonivera {

// How received text is cut into record lines.
enum class FramingMode {
  Series1Blocks,  // blocks from "<" to ">"
  Series3Lines,   // CR LF terminated lines, asked for by a data request
  PassiveLines,   // CR LF terminated lines pushed by a Series 4 or 5 audiometer
};

// Series 1 is known by its conversion file, Series 4 and 5 by their code (any
// case); everything else is handled as Series 3.
FramingMode FramingModeFor(const QString& series, const QString& conversion_file);
bool IsPassiveSeries(const QString& series);

// The receive state of one transfer: text not yet framed (RxBuffer) and the
// record lines cut from it (RxLines, RxLineCount). Each call of Receive frames
// at most one record line; text holding more waits for the next call or for
// the end of the collection. Empty lines are not records and are passed
// over (an empty entry would end the parse of the transfer). Capacity is kTransferCapacity lines:
// further records are counted in Dropped() and their text discarded.
class Tx730Framing {
 public:
  explicit Tx730Framing(FramingMode mode = FramingMode::Series3Lines) : mode_(mode) { Reset(); }

  FramingMode Mode() const { return mode_; }
  void SetMode(FramingMode mode) { mode_ = mode; }

  // Re-creates RxLines empty and clears RxBuffer and the counts.
  void Reset();

  // Appends received text and frames at most one record line; true when a
  // line was framed (or dropped past the capacity).
  bool Receive(const QString& text);
  // The buffer holds a record the next event would frame.
  bool HasCompleteRecord() const;
  // Only appends (the link is not armed).
  void Accumulate(const QString& text) { buffer_ += text; }

  // The end of a data request: what is left in RxBuffer, followed by what
  // the port still holds, becomes the last record line; a Series 1 transfer
  // is shown as one record.
  void FinishCollection(const QString& waiting = QString());

  const QString& Buffer() const { return buffer_; }
  void ClearBuffer() { buffer_.clear(); }
  const std::vector<QString>& Lines() const { return lines_; }
  // The count shown in the import window (RxLineCount).
  int LineCount() const { return line_count_; }
  // Lines actually held, which for Series 1 may exceed the count shown.
  int FramedLines() const { return framed_; }
  // Complete records that arrived after the capacity was reached.
  int Dropped() const { return dropped_; }

 private:
  bool FrameBlock();
  bool FrameLine();
  void Store(const QString& line);

  FramingMode mode_;
  QString buffer_;
  std::vector<QString> lines_;
  int line_count_ = 0;
  int framed_ = 0;
  int dropped_ = 0;
};

// The report when a transfer brought more records than one transfer holds:
// with the count of records not kept once the transfer has ended, without it
// while records may still arrive (the link tells the user at the first one).
QString OverflowText(std::optional<int> dropped);

// Frames wire text as the receive handler does when it arrives `chunk`
// characters at a time, then ends the collection: every complete record is
// framed as its own line.
Tx730Framing FrameWireText(const QString& text, FramingMode mode, int chunk = 1);

}  // namespace sonivera
