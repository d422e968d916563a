#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <array>
#include <optional>

#include "register/EntryFields.h"

namespace sonivera {

class AudiogramGrid;

// The files the companion program (Bridger.exe) and this program exchange in
// the program folder, and how their bytes are read and written. Nothing here
// touches the disk: the link (CompanionLink) reads and writes the files.
namespace companion {

inline const QString kProgramFile = QStringLiteral("Bridger.exe");
inline const QString kPreviousValuesFile = QStringLiteral("prev.tmp");
inline const QString kReplyFile = QStringLiteral("veldata.tmp");
inline const QString kTestDataFile = QStringLiteral("vel730.tmp");
inline const QString kCsvReplyFile = QStringLiteral("veldata.csv");
inline const QString kPortIniFile = QStringLiteral("ux730.ini");

// The first byte of a reply.
enum Status : unsigned char {
  kStatusData = 150,    // test data follow
  kStatusError = 151,   // the instrument reported an error
  kStatusCsv = 152,     // the result is in veldata.csv
  kStatusNoFile = 156,  // our own value: no reply file was left
};

// Command letters.
inline constexpr QChar kCommandTest = u'S';
inline constexpr QChar kCommandFetch = u'0';
inline constexpr QChar kCommandSendList = u'X';

// Eleven thresholds of one ear in the companion's frequency order:
// 125, 250, 500, 750, 1000, 1500, 2000, 3000, 4000, 6000, 8000 Hz.
constexpr int kFrequencyCount = 11;
using EarValues = std::array<int, kFrequencyCount>;
// The threshold that stands for "no value" in the companion's files.
constexpr int kNoValue = -20;

// A test as the companion reports it.
struct CompanionTest {
  QString test_type;  // "bekesy", "computer", ... or empty for an unknown code
  QString date_box;   // dd/mm/yyyy, or the empty mask when the text is no date
  EarValues current_left{};
  EarValues current_right{};
  bool has_previous = false;  // only the data file of a test run carries them
  EarValues previous_left{};
  EarValues previous_right{};
  bool operator==(const CompanionTest&) const = default;
};

// The sizes a reply must have before anything is taken from it.
constexpr int kDataReplyMinimum = 65 + 2 * 22;  // the right ear ends at byte 109
constexpr int kErrorReplySize = 4;
constexpr int kTestDataMinimum = 91;  // thresholds, type and the 16-bit number

// The port code character: 32 + the port number, a space for USB ("-").
// A port text of the form "COMn" counts as n; anything else that is no
// number counts as USB.
QChar PortCodeCharacter(const QString& port);
// The companion's one argument: the command letter and the port character.
QString CommandArgument(QChar letter, const QString& port);

// A 16-bit threshold, low byte first: 65516 to 65535 are -20 to -1 dB.
int ThresholdFromWord(unsigned char low, unsigned char high);
// The test type named by its code.
QString TestTypeName(int code);
// A d/m/yyyy text (ends at the first byte that is no digit or "/") as a date
// box: dd/mm/yyyy, "0/1/2000" read as 1 January 2000; the empty mask when the
// text is no date.
QString ReplyDateBox(const QByteArray& text);

// The data reply of status 150; nullopt when it is too short to hold both ears.
std::optional<CompanionTest> DecodeDataReply(const QByteArray& reply);
// vel730.tmp; nullopt when it is too short to hold the four blocks, the type
// and the number.
std::optional<CompanionTest> DecodeTestDataFile(const QByteArray& data);

// The instrument's error text for a 151 reply: the table's text, the code and
// sub-code in hexadecimal joined by a comma, then "(hex) ".
QString InstrumentErrorText(unsigned char code, unsigned char sub_code);
// "Bridger Error: " and the two codes in hexadecimal, for a 151 reply of the
// wrong length; a byte the reply lacks is left empty.
QString MalformedErrorReplyText(const QByteArray& reply);

// prev.tmp: the previous thresholds (the "Prev." row's 22 boxes), each ear's
// eleven values followed by a comma, "-20," where a box is empty, two empty
// lines, then the previous test's date with "-" for "/". CR LF line ends.
QByteArray PreviousValuesText(const std::array<QString, kThresholdBoxCount>& previous,
                              const QString& previous_date);

// The thresholds of one ear as the 22 entry boxes number them: the box item
// for frequency index f of the companion's order.
int BoxForFrequency(bool left, int frequency_index);

// Puts a reported test into the entry fields (test type, date of test, the
// current thresholds and, when reported, the "Prev." row) and into the grid
// (rows 0 and 2, and 1 and 3 for previous values; -20 stays empty there).
void ApplyCompanionTest(const CompanionTest& test, EntryFields& entries, AudiogramGrid& grid);

}  // namespace companion
}  // namespace sonivera
