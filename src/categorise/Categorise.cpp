#include "categorise/Categorise.h"

#include "app/Application.h"
#include "categorise/Arithmetic.h"

namespace sonivera {

Prompter& CategoriseEnv::Ask() const { return reporter.prompter(); }

CategoriseEnv EnvFor(Application& app) {
  AppState& state = app.State();
  return CategoriseEnv{state.categorisation, state.schemes, state.BulkMode, state.UserLocale,
                       app.Reporter()};
}

QString CategorisationBoxText(const QString& categorisation) {
  // "no" in any case catches "No sex chosen ", "4-no data " and "no test".
  // A plain scan: this runs for every audiogram categorised.
  const auto* text = categorisation.utf16();
  bool found = false;
  for (qsizetype i = 0; i + 1 < categorisation.size() && !found; ++i) {
    found = (text[i] | 0x20) == u'n' && (text[i + 1] | 0x20) == u'o';
  }
  if (found) {
    return QStringLiteral("Data incomplete");
  }
  return categorisation;
}

void Categorise(CategoriseEnv& env) {
  CategorisationState& state = env.state;
  state.CategorisationText = QStringLiteral("");
  if (env.checks.CheckHSE) {
    CategoriseHse(env);
  }
  if (env.checks.CheckMP42) CategoriseMp42(env);
  if (env.checks.CheckPAM) CategorisePam(env);
  if (env.checks.CheckIPA) CategoriseIpa(env);
  state.CategorisationBox = CategorisationBoxText(state.CategorisationText);
}

void Categorise(Application& app) {
  CategoriseEnv env = EnvFor(app);
  Categorise(env);
}

}  // namespace sonivera
