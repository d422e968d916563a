#pragma once

#include <QString>
#include <QStringList>

#include "instrument/ConversionFile.h"
#include "instrument/Tx730Record.h"

namespace sonivera::test {

// The shipped conversion files, read from the source tree.
inline ConversionFile ShippedConversion(const QString& name) {
  return ConversionFile::Open(QStringLiteral(SONIVERA_SOURCE_DIR "/data/") + name);
}

// A Series 3 record line as the audiometer sends it (without its CR LF).
inline QString Series3Line(const QString& pat_no, const QString& surname, const QString& date,
                           const QString& time, const QString& category = "HSE Cat 1",
                           int level = 10) {
  QStringList v = {"IMPORT",   "MODE3",      "\"Screen\"", pat_no,     '"' + surname + '"',
                   "\"John\"", "\"Fitter\"", "\"Works\"",  "\"ACME\"", "\"M\""};
  v << "\"1 High St\"";
  for (int i = 0; i < 5; ++i) v << "\"\"";  // the other address lines
  v << date << time << "\"JB\""
    << "01/02/1970"
    << "" << '"' + category + '"' << "01/01/2025";
  for (int ear = 0; ear < 2; ++ear) {
    for (int i = 0; i < 8; ++i) v << QString::number(level + 5 * i + ear);
  }
  for (int i = 0; i < 16; ++i) v << "";
  v << "\"SN42\"";
  return v.join(u',') + u',';
}

// A Series 1 block as the audiometer sends it, with the CR LF after ">".
inline QString Series1Block(const QString& pat_no, const QString& surname, const QString& date,
                            const QString& category = "Cat 1") {
  QStringList lines = {pat_no, surname,     "John", "M",      "01/02/1970", "Fitter",    "Works",
                       "ACME", "1 High St", "",     "",       "",           "",          "",
                       date,   "10:30:00",  "JB",   "Screen", "SN42",       "01/01/2025"};
  lines << QStringList{"10,15,20,25,30,35,40,45", "5,10,*,20,25,30,35,40", "", "*,*,*,*,*,*,*,*",
                       "*,*,*,*,*,*,*,*"};
  return "<\r\n" + lines.join("\r\n") + "\r\n" + category + ">\r\n";
}

}  // namespace sonivera::test
