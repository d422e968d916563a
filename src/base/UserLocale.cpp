#include "base/UserLocale.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>

namespace sonivera {

namespace {
const QHash<QString, int>& LcidTable() {
  static const QHash<QString, int> table = {
      {"fr_FR", 1036}, {"fr_BE", 2060}, {"fr_CA", 3084}, {"fr_CH", 4108}, {"fr_LU", 5132},
      {"fr_MC", 6156}, {"fr", 1036},    {"en_GB", 2057}, {"en_US", 1033}, {"en_AU", 3081},
      {"en_CA", 4105}, {"en_NZ", 5129}, {"en_IE", 6153}, {"en_ZA", 7177}, {"en_IN", 16393},
      {"en", 1033},    {"de_DE", 1031}, {"de_AT", 3079}, {"de_CH", 2055}, {"de", 1031},
      {"nl_NL", 1043}, {"nl_BE", 2067}, {"nl", 1043},    {"es_ES", 3082}, {"es", 3082},
      {"it_IT", 1040}, {"it", 1040},    {"pt_PT", 2070}, {"pt_BR", 1046}, {"pt", 2070},
      {"da_DK", 1030}, {"sv_SE", 1053}, {"nb_NO", 1044}, {"fi_FI", 1035}, {"pl_PL", 1045},
      {"C", 1033},     {"POSIX", 1033}};
  return table;
}
}  // namespace

int LcidForLocaleName(const QString& name) {
  QString base = name;
  const auto cut = base.indexOf(QRegularExpression(QStringLiteral("[.@]")));
  if (cut >= 0) base.truncate(cut);
  base.replace(u'-', u'_');
  const auto& table = LcidTable();
  if (auto it = table.constFind(base); it != table.constEnd()) return *it;
  const QString language = base.section(u'_', 0, 0);
  if (auto it = table.constFind(language); it != table.constEnd()) return *it;
  return 1033;
}

int ReadUserLocale() {
  bool ok = false;
  const int forced = qEnvironmentVariable("SONIVERA_LCID").toInt(&ok);
  if (ok && forced > 0) return forced;
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const QString value = qEnvironmentVariable(var);
    if (!value.isEmpty()) return LcidForLocaleName(value);
  }
  return LcidForLocaleName(QLocale::system().name());
}

QChar DecimalSeparatorFor(int lcid) {
  switch (lcid) {
    case 1033:
    case 2057:
    case 3081:
    case 4105:
    case 5129:
    case 6153:
    case 7177:
    case 16393:
    case 4108:
    case 2055:
      return u'.';
    default:
      break;
  }
  switch (lcid) {
    case 1036:
    case 2060:
    case 3084:
    case 5132:
    case 6156:
    case 1031:
    case 3079:
    case 1043:
    case 2067:
    case 3082:
    case 1040:
    case 2070:
    case 1046:
    case 1030:
    case 1053:
    case 1044:
    case 1035:
    case 1045:
      return u',';
    default:
      return u'.';
  }
}

}  // namespace sonivera
