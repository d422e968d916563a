#include "instrument/Tx730Record.h"

#include <QHash>
#include <QStringList>

namespace sonivera {

namespace {
const char* const kFrequencies[kRecordFrequencyCount] = {"500", "1k", "1k5", "2k",
                                                         "3k",  "4k", "6k",  "8k"};

std::array<QString, kImportFieldCount> MakeNames() {
  std::array<QString, kImportFieldCount> names;
  const std::pair<int, const char*> single[] = {
      {kFieldImport, "IMPORT"},
      {kFieldMode3, "MODE3"},
      {kFieldTestType, "Test Type"},
      {kFieldPatientNo, "Patient No"},
      {kFieldSurname, "Surname"},
      {kFieldForename, "Forename"},
      {kFieldPosition, "Position"},
      {kFieldDepartment, "Department"},
      {kFieldCompany, "Company"},
      {kFieldSex, "Sex"},
      {kFieldTestDate, "Test Date"},
      {kFieldTestTime, "Test Time"},
      {kFieldExaminer, "Examiner"},
      {kFieldDateOfBirth, "Date of Birth"},
      {kFieldPreviousTest, "Previous Test"},
      {kFieldCategory, "Category"},
      {kFieldCalibrated, "Calibrated"},
      {kFieldSerialNo, "Serial No"},
  };
  for (const auto& [field, name] : single) names[field] = QString::fromLatin1(name);
  for (int i = 0; i < 6; ++i) names[kFieldAddress1 + i] = QStringLiteral("Address %1").arg(i + 1);
  const std::pair<int, const char*> ears[] = {{kFieldCurrentLeft, "Current Left "},
                                              {kFieldCurrentRight, "Current Right "},
                                              {kFieldPreviousLeft, "Previous Left "},
                                              {kFieldPreviousRight, "Previous Right "}};
  for (const auto& [first, prefix] : ears) {
    for (int i = 0; i < kRecordFrequencyCount; ++i) {
      names[first + i] = QString::fromLatin1(prefix) + QString::fromLatin1(kFrequencies[i]);
    }
  }
  return names;
}

const std::array<QString, kImportFieldCount>& Names() {
  static const auto names = MakeNames();
  return names;
}

const QHash<QString, int>& IndexByName() {
  static const QHash<QString, int> index = [] {
    QHash<QString, int> map;
    for (int i = 0; i < kImportFieldCount; ++i) {
      if (!Names()[i].isEmpty()) map.insert(Names()[i].toUpper(), i);
    }
    return map;
  }();
  return index;
}
}  // namespace

bool ImportRecord::IsEmpty() const {
  for (const QString& value : fields) {
    if (!value.isEmpty()) return false;
  }
  return true;
}

std::optional<int> ImportFieldIndex(const QString& name) {
  const auto found = IndexByName().constFind(name.toUpper());
  if (found == IndexByName().constEnd()) return std::nullopt;
  return *found;
}

QString ImportRecordJson(const ImportRecord& record) {
  auto quoted = [](const QString& text) {
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
      if (c == u'"' || c == u'\\') {
        out += u'\\';
        out += c;
      } else if (c.unicode() < 0x20) {
        out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
      } else {
        out += c;
      }
    }
    return out + u'"';
  };
  QStringList members;
  for (int i = 0; i < kImportFieldCount; ++i) {
    if (record[i].isEmpty() || Names()[i].isEmpty()) continue;
    members << quoted(Names()[i]) + u':' + quoted(record[i]);
  }
  return u'{' + members.join(u',') + u'}';
}

QString ImportFieldName(int field) {
  if (field < 0 || field >= kImportFieldCount) return {};
  return Names()[field];
}

}  // namespace sonivera
