#pragma once

#include <QHash>
#include <QString>

namespace sonivera {

// The numbered message table: every caption and message the program shows.
class MessageTable {
 public:
  // Loads the table built into the program.
  static const MessageTable& BuiltIn();
  // Parses the table format: "number<TAB>text" lines, '#' comments,
  // "\n" and "\\" escapes in the text.
  static MessageTable Parse(const QString& text);

  QString Text(int number) const;
  bool Contains(int number) const { return texts_.contains(number); }
  int Count() const { return static_cast<int>(texts_.size()); }

 private:
  QHash<int, QString> texts_;
};

// The program's name and release, the title of its main window and notices.
inline QString ApplicationTitle() { return QStringLiteral("Sonivera 5.5"); }

// Shorthand for the built-in table's text of a message.
inline QString Msg(int number) { return MessageTable::BuiltIn().Text(number); }

}  // namespace sonivera
