#include "ui/DemoPrograms.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace sonivera::ui {

QString FindDemoProgram(const char* env_var, const QString& name) {
  const QString configured = qEnvironmentVariable(env_var);
  if (!configured.isEmpty()) return QFileInfo(configured).isExecutable() ? configured : QString();
  const QString here = QCoreApplication::applicationDirPath();
  for (const QString& folder : {here, here + QStringLiteral("/../tools"),
                                here + QStringLiteral("/../libexec/sonivera")}) {
    const QFileInfo candidate(folder + u'/' + name);
    if (candidate.isExecutable()) return candidate.canonicalFilePath();
  }
  return QString();
}

}  // namespace sonivera::ui
