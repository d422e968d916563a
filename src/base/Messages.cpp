#include "base/Messages.h"

#include <QFile>

namespace sonivera {

namespace {
QString Unescape(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\\' && i + 1 < text.size()) {
      const QChar n = text[i + 1];
      if (n == u'n') {
        out += u'\n';
        ++i;
        continue;
      }
      if (n == u't') {
        out += u'\t';
        ++i;
        continue;
      }
      if (n == u'\\') {
        out += u'\\';
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}
}  // namespace

MessageTable MessageTable::Parse(const QString& text) {
  MessageTable table;
  const auto lines = text.split(u'\n');
  for (QString line : lines) {
    if (line.endsWith(u'\r')) line.chop(1);
    if (line.isEmpty() || line.startsWith(u'#')) continue;
    const auto tab = line.indexOf(u'\t');
    if (tab <= 0) continue;
    bool ok = false;
    const int number = line.left(tab).trimmed().toInt(&ok);
    if (!ok) continue;
    table.texts_.insert(number, Unescape(line.mid(tab + 1)));
  }
  return table;
}

const MessageTable& MessageTable::BuiltIn() {
  static const MessageTable table = [] {
    QFile file(QStringLiteral(":/data/messages.txt"));
    if (!file.open(QIODevice::ReadOnly)) return MessageTable{};
    return Parse(QString::fromUtf8(file.readAll()));
  }();
  return table;
}

QString MessageTable::Text(int number) const {
  auto it = texts_.constFind(number);
  if (it != texts_.constEnd()) return *it;
  // A number missing from the table shows as itself, so the gap is visible.
  return QStringLiteral("[%1]").arg(number);
}

}  // namespace sonivera
