#pragma once

#include <QString>

namespace sonivera {

// The Windows locale identifier matching a POSIX locale name such as
// "fr_FR.UTF-8" (1036) or "en_GB" (2057); 1033 when unknown.
int LcidForLocaleName(const QString& name);

// UserLocale: $SONIVERA_LCID when set, else the identifier of the process's
// locale (LC_ALL, LC_MESSAGES, LANG).
int ReadUserLocale();

// The decimal separator that number formats use under a locale identifier.
QChar DecimalSeparatorFor(int lcid);

}  // namespace sonivera
