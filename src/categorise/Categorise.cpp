#include "categorise/Categorise.h"

#include "base/ErrorLog.h"
#include "categorise/Arithmetic.h"

namespace sonivera {

Prompter& CategoriseEnv::Ask() const { return reporter.prompter(); }

QString CategorisationBoxText(const QString& categorisation) {
  // "no" catches "No sex chosen ", "4-no data " and "no test".
  if (categorisation.contains(QLatin1String("no"), Qt::CaseInsensitive)) {
    return QStringLiteral("Data incomplete");
  }
  return categorisation;
}

void Categorise(CategoriseEnv& env) {
  CategorisationState& state = env.state;
  state.CategorisationText = QStringLiteral("");
  if (env.checks.CheckHSE) {
    CategoriseHse(env);
    state.CategorisationText =
        ReplaceText(state.CategorisationText, QStringLiteral("HSE2006"), QStringLiteral("HSE"), 0);
  }
  if (env.checks.CheckMP42) CategoriseMp42(env);
  if (env.checks.CheckPAM) CategorisePam(env);
  if (env.checks.CheckIPA) CategoriseIpa(env);
  state.CategorisationBox = CategorisationBoxText(state.CategorisationText);
}

}  // namespace sonivera
