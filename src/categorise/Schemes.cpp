#include "categorise/Schemes.h"

namespace sonivera {

bool IsFrenchLocale(int lcid) {
  return lcid == 1036 || lcid == 2060 || lcid == 5132 || lcid == 6156;
}

void ApplySchemeList(const QString& scheme_list, int lcid, SchemeChecks& checks) {
  const auto has = [&](const char* token) {
    return scheme_list.contains(QLatin1String(token), Qt::CaseInsensitive);
  };
  if (IsFrenchLocale(lcid)) {
    checks.CheckMP42 = has("MP42");
    checks.CheckPAM = has("PAM");
    checks.CheckIPA = has("IPA");
    checks.FrenchFrameVisible = true;
  } else {
    checks.CheckHSE = has("HSE");
    if (checks.CheckHSE) checks.HseEnabled = true;
    checks.FrenchFrameVisible = false;
  }
}

QString BuildSchemeList(const SchemeChecks& checks) {
  QString list;
  if (checks.CheckHSE) list = QStringLiteral("HSE2006");
  if (checks.CheckNIHL) list += QStringLiteral(",NIHL");
  if (checks.CheckSTS) list += QStringLiteral(",STS");
  if (checks.CheckIA) list += QStringLiteral(",IA");
  if (checks.CheckMP42) list += QStringLiteral(",MP42");
  if (checks.CheckPAM) list += QStringLiteral(",PAM");
  if (checks.CheckIPA) list += QStringLiteral(",IPA");
  if (checks.CheckBA) list += QStringLiteral("BA");
  return list;
}

}  // namespace sonivera
