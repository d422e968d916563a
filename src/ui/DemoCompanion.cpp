#include "ui/DemoCompanion.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include "base/ProgramFolder.h"
#include "instrument/CompanionReplies.h"
#include "ui/DemoPrograms.h"

namespace sonivera::ui {

QString FindCompanionStandIn() {
  return FindDemoProgram("SONIVERA_BRIDGER_STANDIN", QStringLiteral("bridger-standin"));
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
