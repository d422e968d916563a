#include "ui/DemoCompanion.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include "base/ProgramFolder.h"
#include "instrument/CompanionReplies.h"

namespace sonivera::ui {

QString FindCompanionStandIn() {
  const QString configured = qEnvironmentVariable("SONIVERA_BRIDGER_STANDIN");
  if (!configured.isEmpty()) return QFileInfo(configured).isExecutable() ? configured : QString();
  const QString here = QCoreApplication::applicationDirPath();
  for (const QString& candidate : {here + QStringLiteral("/bridger-standin"),
                                   here + QStringLiteral("/../tools/bridger-standin")}) {
    if (QFileInfo(candidate).isExecutable()) return QFileInfo(candidate).canonicalFilePath();
  }
  return QString();
}

bool InstallDemoCompanion(const ProgramFolder& folder) {
  const QString target = folder.File(companion::kProgramFile);
  if (QFileInfo::exists(target)) return true;
  const QString source = FindCompanionStandIn();
  if (source.isEmpty() || !QFile::copy(source, target)) return false;
  return QFile(target).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                      QFileDevice::ExeGroup);
}

}  // namespace sonivera::ui
