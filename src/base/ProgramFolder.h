#pragma once

#include <QString>

namespace sonivera {

// The writable folder that holds the settings file, the user's text files,
// the error log and (by default) the database.
class ProgramFolder {
 public:
  explicit ProgramFolder(QString path) : path_(std::move(path)) {}

  // --folder DIR when given, else $SONIVERA_HOME, else ~/.local/share/sonivera.
  static QString Resolve(const QString& folder_option);

  // Creates the folder when needed and copies in every default file that is
  // not there yet; the user's files are never overwritten. False when the
  // folder cannot be created.
  bool Prepare() const;

  const QString& Path() const { return path_; }
  QString File(const QString& name) const;

  // The folder that stands in for the Windows folder (ux730.ini):
  // $SONIVERA_WINDIR, else the program folder.
  QString WindowsFolder() const;

 private:
  QString path_;
};

}  // namespace sonivera
