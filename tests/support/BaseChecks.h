#pragma once

#include <QString>

#include "base/AppError.h"

namespace sonivera::test {

// "number description" of the AppError the call raises; "none" without one.
template <typename Call>
QString ErrorOf(Call&& call) {
  try {
    call();
  } catch (const AppError& error) {
    return QStringLiteral("%1 %2").arg(error.Number()).arg(error.Description());
  }
  return QStringLiteral("none");
}

}  // namespace sonivera::test
