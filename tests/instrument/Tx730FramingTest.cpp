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

// Each read frames at most one record line; the end of a collection frames
// the rest (a Series 1 transfer is shown as one record).
TEST(Tx730Framing, ReadsAreCutIntoRecordLines) {
  struct Case {
    const char* name;
    FramingMode mode;
    std::vector<QString> reads;
    std::vector<bool> framed;  // what each read returned
    const char* waiting;       // nullptr: the collection goes on
    std::vector<QString> lines;
    int count;   // shown
    int framed_lines;
    QString buffer;
  };
  const FramingMode s1 = FramingMode::Series1Blocks, s3 = FramingMode::Series3Lines;
  const Case cases[] = {
      {"two lines in one read", s3, {"A,1,\r\nB,2,\r\n"}, {true}, nullptr, {"A,1,"}, 1, 1,
       "B,2,\r\n"},
      {"the end keeps the rest whole", s3, {"A,1,\r\nB,2,\r\n"}, {true}, "",
       {"A,1,", "B,2,\r\n"}, 2, 2, ""},
      {"a split CR LF waits for its LF", s3, {"A,1,\r\nB,2,\r", "", "\nC"}, {true, false, true},
       nullptr, {"A,1,", "B,2,"}, 2, 2, "C"},
      {"blank lines and a lone line end", s3, {"\r\n\r\nA,1,\r\n"}, {true}, "\r\n", {"A,1,"}, 1,
       1, ""},
      {"a block keeps its >", s1, {"<\r\n1001\r\nCat>\r\n"}, {true}, nullptr, {"1001\r\nCat>"},
       1, 1, ""},
      {"a late CR LF stays with its block", s1, {"<\r\nA>", "\r", "\n<\r\nB>"},
       {true, false, true}, nullptr, {"A>", "B>"}, 2, 2, ""},
      {"three blocks are one record", s1, {"<\r\nA>\r\n<\r\nB>\r\n<\r\nC>\r\n", "", ""},
       {true, true, true}, "", {"A>", "B>", "C>"}, 1, 3, ""},
      {"a cut block goes last", s1, {"<\r\nA>\r\n<\r\nB>\r\n<\r\nCU", ""}, {true, true}, "",
       {"A>", "B>", "<\r\nCU"}, 1, 2, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Tx730Framing framing(c.mode);
    std::vector<bool> framed;
    for (const QString& read : c.reads) framed.push_back(framing.Receive(read));
    if (c.waiting) framing.FinishCollection(c.waiting);
    EXPECT_EQ(framed, c.framed);
    // The lines are held in a list of the transfer's capacity; the next is empty.
    std::vector<QString> expected = c.lines;
    expected.push_back(QString());
    const auto& held = framing.Lines();
    EXPECT_EQ(std::vector<QString>(held.begin(), held.begin() + qsizetype(expected.size())),
              expected);
    EXPECT_EQ(framing.LineCount(), c.count);
    EXPECT_EQ(framing.FramedLines(), c.framed_lines);
    EXPECT_EQ(framing.Buffer(), c.buffer);
  }
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
  MarkedInput in = UnmarkInput(pending, QByteArray::fromHex("4142ffff43"));  // AB\xff\xffC
  EXPECT_EQ(in.data, QByteArray::fromHex("4142ff43"));
  EXPECT_FALSE(in.break_seen);
  // A break, and an escape cut by the end of a read.
  in = UnmarkInput(pending, QByteArray::fromHex("58ff"));
  EXPECT_EQ(in.data, "X");
  EXPECT_EQ(pending.size(), 1);
  in = UnmarkInput(pending, QByteArray::fromHex("000059"));
  EXPECT_TRUE(in.break_seen);
  EXPECT_EQ(in.data, "Y");
  // A character received with a line error is dropped.
  in = UnmarkInput(pending, QByteArray::fromHex("ff005a21"));
  EXPECT_FALSE(in.break_seen);
  EXPECT_EQ(in.data, "!");
  EXPECT_TRUE(pending.isEmpty());
}

}  // namespace
}  // namespace sonivera
