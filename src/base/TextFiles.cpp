#include "base/TextFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace sonivera {

namespace {
// Windows-1252 differs from Latin-1 only in 0x80..0x9F.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString DecodeCp1252(QByteArrayView bytes) {
  QString out;
  out.resize(bytes.size());
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    out[i] = (b >= 0x80 && b <= 0x9F) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
  }
  return out;
}
}  // namespace

QString DecodeLine(QByteArrayView bytes, bool* was_cp1252) {
  // The decoder's default drops a leading byte-order mark: a value may begin with one.
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                QStringDecoder::Flag::ConvertInitialBom);
  QString text = utf8(bytes);
  const bool cp1252 = utf8.hasError();
  if (was_cp1252 != nullptr) *was_cp1252 = cp1252;
  return cp1252 ? DecodeCp1252(bytes) : text;
}

TextLineSpans::TextLineSpans(QByteArray bytes) : bytes_(std::move(bytes)) {
  const QByteArrayView data(bytes_);
  qsizetype start = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
  const qsizetype size = data.size();
  for (qsizetype i = start; i < size; ++i) {
    const char c = data[i];
    if (c != '\r' && c != '\n') continue;
    spans_.emplace_back(start, i - start);
    if (c == '\r' && i + 1 < size && data[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < size) {
    spans_.emplace_back(start, size - start);
    last_line_ended_ = false;
  }
}

QString TextLineSpans::Line(qsizetype i, bool* was_cp1252) const {
  const auto& [start, length] = spans_[static_cast<size_t>(i)];
  return DecodeLine(QByteArrayView(bytes_).sliced(start, length), was_cp1252);
}

TextLines SplitTextLines(const QByteArray& bytes) {
  const TextLineSpans spans(bytes);
  TextLines result;
  result.last_line_ended = spans.LastLineEnded();
  result.lines.reserve(spans.size());
  for (qsizetype i = 0; i < spans.size(); ++i) {
    bool cp1252 = false;
    result.lines << spans.Line(i, &cp1252);
    if (cp1252) ++result.cp1252_lines;
  }
  return result;
}

std::optional<TextLineSpans> ReadTextFileSpans(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  return TextLineSpans(std::move(bytes));
}

std::optional<TextLines> ReadTextFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  return SplitTextLines(bytes);
}

std::optional<QStringList> ReadTextLines(const QString& path) {
  auto file = ReadTextFile(path);
  if (!file) return std::nullopt;
  return std::move(file->lines);
}

bool WriteTextLines(const QString& path, const QStringList& lines) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  QByteArray data;
  for (const auto& line : lines) {
    data += line.toUtf8();
    data += "\r\n";
  }
  if (file.write(data) != data.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

bool FileExists(const QString& path) {
  if (path.isEmpty()) return false;
  const QFileInfo info(path);
  return info.exists() && info.isFile();
}

}  // namespace sonivera
