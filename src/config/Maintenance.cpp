#include "config/Maintenance.h"

#include "base/AppError.h"
#include "app/Application.h"
#include "base/Messages.h"
#include "base/TextFiles.h"

namespace sonivera {

bool MakeBackup(Application& app) {
  FileDialogSpec spec;
  spec.filter = QStringLiteral("Sonivera Database files | *.mdb");
  spec.initial_name = app.Config().DatabasePath;
  spec.initial_dir = app.Folder().Path();
  spec.default_suffix = QStringLiteral(".mdb");
  spec.overwrite_prompt = true;
  spec.path_must_exist = true;
  const auto target = app.Ask().SaveFile(spec);
  if (!target || target->isEmpty()) return false;
  try {
    app.Db().Backup(*target);
    return true;
  } catch (const AppError& error) {
    if (error.Number() == errnum::kPermissionDenied) {
      app.Ask().Show(Msg(1038), Msg(974), Prompter::Buttons::Ok, Prompter::Answer::Ok,
                     Prompter::Icon::Exclamation);
    } else {
      app.Reporter().ShowAndLog(
          StandardErrorText(error.Description(), error.Number(),
                            QStringLiteral(" formconfig commandbackup_click:954")));
    }
    return false;
  }
}

bool RepairDatabase(Application& app) {
  try {
    app.Db().Repair();
    return true;
  } catch (const AppError& error) {
    app.Reporter().Report(error.Description(), error.Number(), "formconfig commandrepair_click");
    return false;
  }
}

bool BrowseDatabase(Application& app) {
  FileDialogSpec spec;
  spec.filter = QStringLiteral("Sonivera Database files |*.mdb");
  spec.default_suffix = QStringLiteral(".mdb");
  spec.initial_dir = app.Folder().Path();
  // A new name is accepted: the database is created at the next start.
  const auto chosen = app.Ask().SaveFile(spec);
  if (!chosen || chosen->isEmpty()) return false;
  Settings& settings = app.Config();
  const QString previous = settings.DatabaseFileBox;
  settings.DatabaseFileBox = *chosen;
  const auto answer = app.Ask().Show(settings.DatabaseFileBox + Msg(1039), Msg(1040),
                                     Prompter::Buttons::OkCancel, Prompter::Answer::Ok);
  if (answer != Prompter::Answer::Ok) {
    settings.DatabaseFileBox = previous;
    return false;
  }
  if (!WriteTextLines(app.Folder().File(QStringLiteral("sonivera5.ini")),
                      BrowsedSettingsFileLines(settings))) {
    app.Reporter().Report(QStringLiteral("Permission denied"), errnum::kPermissionDenied,
                          "formconfig commandbrowse_click");
    return false;
  }
  return true;
}

}  // namespace sonivera
