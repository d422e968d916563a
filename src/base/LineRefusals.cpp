#include "base/LineRefusals.h"

#include <QFileInfo>

#include "base/ErrorLog.h"
#include "base/Prompter.h"

namespace sonivera {

LineRefusals::LineRefusals(Prompter& prompter, const ErrorLog& log, const QString& path)
    : prompter_(prompter), log_(log), file_name_(QFileInfo(path).fileName()) {}

LineRefusals::~LineRefusals() { prompter_.SetPlace(QString()); }

void LineRefusals::StartLine(qsizetype line_number) {
  line_ = line_number;
  pat_no_.clear();
  Publish();
}

void LineRefusals::SetPatient(const QString& pat_no) {
  pat_no_ = pat_no.trimmed();
  Publish();
}

QString LineRefusals::Place() const {
  QString place = QStringLiteral(" (file %1, line %2").arg(file_name_).arg(line_);
  if (!pat_no_.isEmpty()) place += QStringLiteral(", Pat No: ") + pat_no_;
  return place + u')';
}

void LineRefusals::Log(const QString& text) const { log_.Append(text + Place()); }

void LineRefusals::Publish() { prompter_.SetPlace(Place()); }

}  // namespace sonivera
