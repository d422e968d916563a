#include "config/Maintenance.h"

#include "base/AppError.h"
#include "base/ErrorLog.h"
#include "base/Messages.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "base/TextFiles.h"
#include "config/ConfigContext.h"
#include "db/Database.h"

namespace sonivera {

bool MakeBackup(const ConfigContext& context) {
  FileDialogSpec spec;
  spec.filter = QStringLiteral("Sonivera Database files | *.mdb");
  spec.initial_name = context.settings.DatabasePath;
  spec.initial_dir = context.folder.Path();
  spec.default_suffix = QStringLiteral(".mdb");
  spec.overwrite_prompt = true;
  spec.path_must_exist = true;
  const auto target = context.reporter.prompter().SaveFile(spec);
  if (!target || target->isEmpty()) return false;
  try {
    context.database.Backup(*target);
    return true;
  } catch (const AppError& error) {
    if (error.Number() == errnum::kPermissionDenied) {
      context.reporter.prompter().Show(Msg(1038), Msg(974), Prompter::Buttons::Ok,
                                       Prompter::Answer::Ok, Prompter::Icon::Exclamation);
    } else {
      context.reporter.ShowAndLog(
          StandardErrorText(error.Description(), error.Number(),
                            QStringLiteral(" formconfig commandbackup_click:954")));
    }
    return false;
  }
}

bool RepairDatabase(const ConfigContext& context) {
  try {
    context.database.Repair();
    return true;
  } catch (const AppError& error) {
    context.reporter.Report(error.Description(), error.Number(), "formconfig commandrepair_click");
    return false;
  }
}

bool BrowseDatabase(const ConfigContext& context) {
  FileDialogSpec spec;
  spec.filter = QStringLiteral("Sonivera Database files |*.mdb");
  spec.default_suffix = QStringLiteral(".mdb");
  spec.initial_dir = context.folder.Path();
  // A new name is accepted: the database is created at the next start.
  const auto chosen = context.reporter.prompter().SaveFile(spec);
  if (!chosen || chosen->isEmpty()) return false;
  Settings& settings = context.settings;
  const QString previous = settings.DatabaseFileBox;
  settings.DatabaseFileBox = *chosen;
  const auto answer =
      context.reporter.prompter().Show(settings.DatabaseFileBox + Msg(1039), Msg(1040),
                                       Prompter::Buttons::OkCancel, Prompter::Answer::Ok);
  if (answer != Prompter::Answer::Ok) {
    settings.DatabaseFileBox = previous;
    return false;
  }
  if (!WriteTextLines(context.folder.File(QStringLiteral("sonivera5.ini")),
                      BrowsedSettingsFileLines(settings))) {
    context.reporter.Report(QStringLiteral("Permission denied"), errnum::kPermissionDenied,
                            "formconfig commandbrowse_click");
    return false;
  }
  return true;
}

}  // namespace sonivera
