#include "base/ProgramFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace sonivera {

QString ProgramFolder::Resolve(const QString& folder_option) {
  if (!folder_option.isEmpty()) return QDir(folder_option).absolutePath();
  const QString home = qEnvironmentVariable("SONIVERA_HOME");
  if (!home.isEmpty()) return QDir(home).absolutePath();
  return QDir::homePath() + QStringLiteral("/.local/share/sonivera");
}

bool ProgramFolder::Prepare() const {
  QDir dir(path_);
  if (!dir.exists() && !dir.mkpath(QStringLiteral("."))) return false;
  // Each default file is copied in once. The names already given are kept in
  // a list, so that a file the user removed on purpose stays removed, while a
  // default added by a later release still arrives.
  const QString list_path = File(QStringLiteral(".seeded"));
  QStringList seeded;
  {
    QFile list(list_path);
    if (list.open(QIODevice::ReadOnly)) {
      seeded = QString::fromUtf8(list.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
  }
  bool changed = false;
  QDirIterator it(QStringLiteral(":/data"), QDir::Files);
  while (it.hasNext()) {
    it.next();
    const QString name = it.fileName();
    if (name == QLatin1String("messages.txt")) continue;  // built in, not the user's
    if (seeded.contains(name)) continue;
    seeded << name;
    changed = true;
    const QString target = File(name);
    if (QFile::exists(target)) continue;
    if (QFile::copy(it.filePath(), target)) {
      QFile::setPermissions(
          target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
  }
  if (changed) {
    QFile list(list_path);
    if (list.open(QIODevice::WriteOnly | QIODevice::Truncate)) list.write(seeded.join(u'\n').toUtf8() + '\n');
  }
  return true;
}

QString ProgramFolder::File(const QString& name) const { return path_ + u'/' + name; }

QString ProgramFolder::WindowsFolder() const {
  const QString windir = qEnvironmentVariable("SONIVERA_WINDIR");
  return windir.isEmpty() ? path_ : windir;
}

}  // namespace sonivera
