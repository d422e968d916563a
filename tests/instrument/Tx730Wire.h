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
  QString line = QStringLiteral(
                     "IMPORT,MODE3,\"Screen\",%1,\"%2\",\"John\",\"Fitter\",\"Works\",\"ACME\","
                     "\"M\",\"1 High St\",\"\",\"\",\"\",\"\",\"\",%3,%4,\"JB\",01/02/1970,,"
                     "\"%5\",01/01/2025,")
                     .arg(pat_no, surname, date, time, category);
  for (int ear = 0; ear < 2; ++ear) {
    for (int i = 0; i < 8; ++i) line += QString::number(level + 5 * i + ear) + u',';
  }
  return line + QString(16, u',') + "\"SN42\",";  // no previous test
}

// A Series 1 block as the audiometer sends it, with the CR LF after ">".
inline QString Series1Block(const QString& pat_no, const QString& surname, const QString& date,
                            const QString& category = "Cat 1") {
  return QStringLiteral(
             "<\r\n%1\r\n%2\r\nJohn\r\nM\r\n01/02/1970\r\nFitter\r\nWorks\r\nACME\r\n1 High St\r\n"
             "\r\n\r\n\r\n\r\n\r\n%3\r\n10:30:00\r\nJB\r\nScreen\r\nSN42\r\n01/01/2025\r\n"
             "10,15,20,25,30,35,40,45\r\n5,10,*,20,25,30,35,40\r\n\r\n*,*,*,*,*,*,*,*\r\n"
             "*,*,*,*,*,*,*,*\r\n%4>\r\n")
      .arg(pat_no, surname, date, category);
}

}  // namespace sonivera::test
