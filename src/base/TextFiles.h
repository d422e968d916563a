#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace sonivera {

// Decodes a file's bytes: UTF-8 (with or without a byte-order mark), falling
// back to Windows-1252 when the bytes are not valid UTF-8.
QString DecodeText(const QByteArray& bytes);

// Reads a text file into lines; LF and CR LF both end a line, and a final line
// without an ending still counts. nullopt when the file cannot be read.
std::optional<QStringList> ReadTextLines(const QString& path);

// Writes lines as UTF-8, each followed by CR LF, replacing the file atomically.
bool WriteTextLines(const QString& path, const QStringList& lines);

// True when the path names an existing regular file.
bool FileExists(const QString& path);

}  // namespace sonivera
