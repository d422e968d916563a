// Cutting received text into record lines, and what survives bad input.
#include <gtest/gtest.h>

#include "instrument/SerialLink.h"
#include "instrument/Tx730Framing.h"
#include "instrument/Tx730Parser.h"
#include "instrument/Tx730Wire.h"

namespace sonivera {
namespace {
using test::Series1Block;
using test::Series3Line;
using test::ShippedConversion;

TEST(Tx730Framing, ModeBySeriesAndConversionFile) {
  struct Case {
    const char* series;
    const char* file;
    FramingMode mode;
  };
  const Case cases[] = {
      {"S1", "tx730_1.cvt", FramingMode::Series1Blocks},
      {"S3", "TX730_1.CVT", FramingMode::Series1Blocks},  // the file decides Series 1
      {"S3", "tx730_3.cvt", FramingMode::Series3Lines},
      {"S1", "tx730_3.cvt", FramingMode::Series3Lines},
      {"s4", "tx730_3.cvt", FramingMode::PassiveLines},
      {"S5", "tx730_3.cvt", FramingMode::PassiveLines},
      {"", "", FramingMode::Series3Lines},
  };
  for (const Case& c : cases) EXPECT_EQ(FramingModeFor(c.series, c.file), c.mode) << c.series;
}

TEST(Tx730Framing, Series3OneRecordPerEvent) {
  Tx730Framing framing(FramingMode::Series3Lines);
  // Two complete lines in one read: the first is framed at once.
  EXPECT_TRUE(framing.Receive("A,1,\r\nB,2,\r\n"));
  EXPECT_EQ(framing.LineCount(), 1);
  EXPECT_EQ(framing.Lines()[0], "A,1,");
  EXPECT_EQ(framing.Buffer(), "B,2,\r\n");
  // With no more data the end of the collection keeps it whole.
  framing.FinishCollection();
  EXPECT_EQ(framing.LineCount(), 2);
  EXPECT_EQ(framing.Lines()[1], "B,2,\r\n");
  EXPECT_TRUE(framing.Buffer().isEmpty());

  // ... or the next event frames it, and a split CR LF waits for its LF.
  framing.Reset();
  framing.Receive("A,1,\r\nB,2,\r");
  EXPECT_FALSE(framing.Receive(""));
  EXPECT_TRUE(framing.Receive("\nC"));
  EXPECT_EQ(framing.Lines()[1], "B,2,");
  // A lone line end left at the end is no record; blank lines are passed over.
  framing.Reset();
  framing.Receive("\r\n\r\nA,1,\r\n");
  framing.FinishCollection("\r\n");
  EXPECT_EQ(framing.LineCount(), 1);
  EXPECT_EQ(framing.Lines()[0], "A,1,");
}

TEST(Tx730Framing, Series1Blocks) {
  Tx730Framing framing(FramingMode::Series1Blocks);
  // One block from "<" to ">" followed by CR LF: the line keeps its ">".
  EXPECT_TRUE(framing.Receive("<\r\n1001\r\nCat>\r\n"));
  EXPECT_EQ(framing.Lines()[0], "1001\r\nCat>");
  EXPECT_TRUE(framing.Buffer().isEmpty());

  // A CR LF that comes after its ">" in a later read does not stick to the
  // next block.
  framing.Reset();
  framing.Receive("<\r\nA>");
  framing.Receive("\r");
  framing.Receive("\n<\r\nB>");
  EXPECT_EQ(framing.Lines()[1], "B>");

  // Three blocks are shown as one record; all three lines stay.
  framing.Reset();
  framing.Receive("<\r\nA>\r\n<\r\nB>\r\n<\r\nC>\r\n");
  framing.Receive("");
  framing.Receive("");
  framing.FinishCollection();
  EXPECT_EQ(framing.LineCount(), 1);
  EXPECT_EQ(framing.FramedLines(), 3);
  EXPECT_EQ(framing.Lines()[2], "C>");
  // A cut block at the end goes after the framed ones.
  framing.Reset();
  framing.Receive("<\r\nA>\r\n<\r\nB>\r\n<\r\nCU");
  framing.Receive("");
  framing.FinishCollection();
  EXPECT_EQ(framing.Lines()[1], "B>");
  EXPECT_EQ(framing.Lines()[2], "<\r\nCU");
}

// The records of a transfer (only those that count as whole unless `all`),
// framed from the reads as the receive handler gets them and parsed as the
// import does.
ImportBuffer CompleteRecords(const QStringList& reads, FramingMode mode, bool all = false) {
  const bool series1 = mode == FramingMode::Series1Blocks;
  ConversionFile conversion =
      ShippedConversion(series1 ? kSeries1ConversionFile : kSeries3ConversionFile);
  Tx730Framing framing(mode);
  for (const QString& read : reads) framing.Receive(read);
  while (framing.Receive(QString())) {
  }
  framing.FinishCollection();
  ImportBuffer whole;
  for (ImportRecord& r : BuildImportBuffer(framing.Lines(), conversion, series1)) {
    if (all || r.complete) whole.push_back(std::move(r));
  }
  return whole;
}
ImportBuffer CompleteRecords(const QString& wire, FramingMode mode, int chunk) {
  QStringList reads;
  for (qsizetype at = 0; at < wire.size(); at += chunk) reads << wire.mid(at, chunk);
  return CompleteRecords(reads, mode);
}

TEST(Tx730Fuzz, GoodTransferSplitAnywhereGivesTheSameRecords) {
  const QString s3 = Series3Line("1001", "SMITH", "14/03/2025", "10:30:00") + "\r\n" +
                     Series3Line("", "NONUMBER", "14/03/2025", "11:00:00", "Cat 2, high") + "\r\n" +
                     Series3Line("1003", "BROWN", "15/03/2025", "09:00:00") + "\r\n";
  const QString s1 = Series1Block("1001", "SMITH", "14/03/2025") +
                     Series1Block("1002", "JONES", "14/03/2025") +
                     Series1Block("1003", "BROWN", "15/03/2025");
  for (const auto& [wire, mode] :
       {std::pair{s3, FramingMode::Series3Lines}, std::pair{s1, FramingMode::Series1Blocks}}) {
    const ImportBuffer expected = CompleteRecords(QStringList{wire}, mode);
    ASSERT_EQ(expected.size(), 3u);
    // Split in two at every byte, and in every chunk size up to 64.
    for (qsizetype cut = 1; cut < wire.size(); ++cut) {
      ASSERT_EQ(CompleteRecords({wire.left(cut), wire.mid(cut)}, mode, true), expected)
          << "cut at " << cut;
    }
    for (int chunk = 1; chunk <= 64; ++chunk) {
      ASSERT_EQ(CompleteRecords(wire, mode, chunk), expected) << "chunk " << chunk;
    }
    // A transfer cut anywhere never yields a whole record that differs from
    // the one sent: the cut record is either whole or left out.
    for (qsizetype length = 0; length < wire.size(); ++length) {
      const ImportBuffer got = CompleteRecords(wire.left(length), mode, 7);
      ASSERT_LE(got.size(), expected.size());
      for (size_t i = 0; i < got.size(); ++i) {
        ASSERT_EQ(got[i], expected[i]) << "cut to " << length;
      }
    }
  }
}

TEST(Tx730Framing, BreakMarksAreFoundAndUndone) {
  QByteArray pending;
  MarkedInput in = UnmarkInput(pending, QByteArray("AB\xff\xff"
                                                   "C",
                                                   5));
  EXPECT_EQ(in.data, QByteArray("AB\xff"
                                "C",
                                4));
  EXPECT_FALSE(in.break_seen);
  // A break, and an escape cut by the end of a read.
  in = UnmarkInput(pending, QByteArray("X\xff", 2));
  EXPECT_EQ(in.data, "X");
  EXPECT_EQ(pending.size(), 1);
  in = UnmarkInput(pending, QByteArray("\0\0Y", 3));
  EXPECT_TRUE(in.break_seen);
  EXPECT_EQ(in.data, "Y");
  // A character received with a line error is dropped.
  in = UnmarkInput(pending, QByteArray("\xff\0Z!", 4));
  EXPECT_FALSE(in.break_seen);
  EXPECT_EQ(in.data, "!");
  EXPECT_TRUE(pending.isEmpty());
}

}  // namespace
}  // namespace sonivera
