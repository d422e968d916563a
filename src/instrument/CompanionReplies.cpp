#include "instrument/CompanionReplies.h"

#include <QDate>
#include <QRegularExpression>

#include "categorise/CategorisationState.h"

namespace sonivera::companion {

namespace {

// Frequency index -> box offset within an ear: the nine main boxes, then
// 125 Hz and 750 Hz in the two extra boxes.
constexpr int kMainBox[kFrequencyCount] = {-1, 0, 1, -1, 2, 3, 4, 5, 6, 7, 8};
constexpr int kExtraBox[kFrequencyCount] = {0, -1, -1, 1, -1, -1, -1, -1, -1, -1, -1};

EarValues ReadEar(const QByteArray& bytes, qsizetype start) {
  EarValues ear{};
  for (int f = 0; f < kFrequencyCount; ++f) {
    const auto at = start + 2 * f;
    ear[f] = ThresholdFromWord(static_cast<unsigned char>(bytes[at]),
                               static_cast<unsigned char>(bytes[at + 1]));
  }
  return ear;
}

QString Hex(unsigned char byte) { return QString::number(byte, 16).toUpper(); }

}  // namespace

QChar PortCodeCharacter(const QString& port) {
  QString text = port.trimmed();
  if (text.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) text = text.mid(3).trimmed();
  bool ok = false;
  const int number = text.toInt(&ok);
  // The character must stay printable and below DEL.
  if (!ok || number < 1 || number > 94) return QChar(32);
  return QChar(32 + number);
}

QString CommandArgument(QChar letter, const QString& port) {
  return QString(letter) + PortCodeCharacter(port);
}

int ThresholdFromWord(unsigned char low, unsigned char high) {
  const int word = low | (high << 8);
  return word >= 65516 ? word - 65536 : word;
}

QString TestTypeName(int code) {
  switch (code) {
    case 0:
      return QStringLiteral("bekesy");
    case 1:
      return QStringLiteral("computer");
    case 2:
      return QStringLiteral("manual");
    case 3:
      return QStringLiteral("mixed");
    case 5:
      return QStringLiteral("Upload");
    case 6:
      return QStringLiteral("Data");
    default:
      return QString();
  }
}

QString ReplyDateBox(const QByteArray& text) {
  QString date;
  for (char c : text) {
    if ((c < '0' || c > '9') && c != '/') break;
    date += QLatin1Char(c);
  }
  if (date == QLatin1String("0/1/2000")) date = QStringLiteral("1/1/2000");
  static const QRegularExpression shape(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
  const auto match = shape.match(date);
  if (!match.hasMatch()) return kEmptyDateBox;
  const QDate parsed(match.captured(3).toInt(), match.captured(2).toInt(),
                     match.captured(1).toInt());
  return parsed.isValid() ? parsed.toString(QStringLiteral("dd/MM/yyyy")) : kEmptyDateBox;
}

std::optional<CompanionTest> DecodeDataReply(const QByteArray& reply) {
  if (reply.size() < kDataReplyMinimum) return std::nullopt;
  CompanionTest test;
  test.test_type = TestTypeName(static_cast<unsigned char>(reply[4]));
  test.date_box = ReplyDateBox(reply.mid(5, 60));
  test.current_left = ReadEar(reply, 65);
  test.current_right = ReadEar(reply, 65 + 22);
  return test;
}

std::optional<CompanionTest> DecodeTestDataFile(const QByteArray& data) {
  if (data.size() < kTestDataMinimum) return std::nullopt;
  CompanionTest test;
  test.current_left = ReadEar(data, 0);
  test.current_right = ReadEar(data, 22);
  test.previous_left = ReadEar(data, 44);
  test.previous_right = ReadEar(data, 66);
  test.has_previous = true;
  test.test_type = TestTypeName(static_cast<unsigned char>(data[88]));
  test.date_box = ReplyDateBox(data.mid(91, 60));
  return test;
}

QString InstrumentErrorText(unsigned char code, unsigned char sub_code) {
  static const char* const kTexts[] = {
      "No reply from instrument ", "No instrument found ",     "System error ",
      "Function not available ",   "Unknown instrument type ", "No data reply (or short) ",
  };
  const QString text = code >= 1 && code <= 6 ? QString::fromLatin1(kTexts[code - 1])
                                              : QStringLiteral("Unknown error ");
  return text + Hex(code) + u',' + Hex(sub_code) + QStringLiteral("(hex) ");
}

QString MalformedErrorReplyText(const QByteArray& reply) {
  auto byte = [&](int at) {
    return at < reply.size() ? Hex(static_cast<unsigned char>(reply[at])) : QString();
  };
  return QStringLiteral("Bridger Error: ") + byte(2) + u',' + byte(3);
}

int BoxForFrequency(bool left, int f) {
  if (kMainBox[f] >= 0) return (left ? 0 : 9) + kMainBox[f];
  return (left ? 18 : 20) + kExtraBox[f];
}

QByteArray PreviousValuesText(const std::array<QString, kThresholdBoxCount>& previous,
                              const QString& previous_date) {
  QByteArray text;
  for (bool left : {true, false}) {
    for (int f = 0; f < kFrequencyCount; ++f) {
      const QString value = previous[BoxForFrequency(left, f)].trimmed();
      text += (value.isEmpty() ? QString::number(kNoValue) : value).toUtf8() + ',';
    }
    text += "\r\n";
  }
  text += "\r\n\r\n";
  text += QString(previous_date).replace(u'/', u'-').toUtf8() + "\r\n";
  return text;
}

void ApplyCompanionTest(const CompanionTest& test, EntryFields& entries, AudiogramGrid& grid) {
  entries.TestType = test.test_type;
  entries.Dates[kBoxDateofTest] = test.date_box;
  auto fill = [&](bool left, const EarValues& values, bool previous) {
    for (int f = 0; f < kFrequencyCount; ++f) {
      const int item = BoxForFrequency(left, f);
      const QString text = QString::number(values[f]);
      (previous ? entries.Previous : entries.Thresholds)[item] = text;
      const auto& box = ThresholdBoxAt(item);
      grid.SetCell(box.grid_row + (previous ? 1 : 0), box.grid_column,
                   values[f] == kNoValue ? QString() : text);
    }
  };
  fill(true, test.current_left, false);
  fill(false, test.current_right, false);
  if (test.has_previous) {
    fill(true, test.previous_left, true);
    fill(false, test.previous_right, true);
  }
}

}  // namespace sonivera::companion
