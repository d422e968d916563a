#include "categorise/Categorise.h"

#include "base/ErrorLog.h"
#include "categorise/Arithmetic.h"

namespace sonivera {

Prompter& CategoriseEnv::Ask() const { return reporter.prompter(); }

QString StoredDateToView(const QString& stored) {
  if (stored.size() != 10 || stored[4] != u'-' || stored[7] != u'-') return kEmptyDateMask;
  return stored.mid(8, 2) + u'/' + stored.mid(5, 2) + u'/' + stored.left(4);
}

QString StoredTimeToView(const QString& stored) {
  if (stored.isEmpty()) return QStringLiteral("__:__:__");
  return stored;
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

}  // namespace sonivera
