#include "app/Application.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "base/AppError.h"
#include "base/Messages.h"
#include "base/TextFiles.h"
#include "base/UserLocale.h"
#include "categorise/AgeCorrection.h"
#include "chart/ChartFiles.h"

namespace sonivera {

Application::Application(ProgramFolder folder, Prompter& prompter)
    : folder_(std::move(folder)),
      prompter_(prompter),
      log_(folder_.File(QStringLiteral("err.log"))),
      reporter_(prompter_, log_) {}

bool Application::AskLogin() {
  const auto login = prompter_.Login();
  if (!login) {
    ended_ = true;
    return false;
  }
  database_password_ = login->password;
  examiner_name_ = login->examiner;
  return true;
}

bool Application::Start() {
  user_locale_ = ReadUserLocale();
  if (!AskLogin()) return false;
  if (!Initialise()) return false;
  log_.Append(ErrorLog::OsDescription());
  return true;
}

void Application::ReportInitialiseFailure(long number, const QString& description) {
  switch (number) {
    case errnum::kFileNotFound:
      reporter_.ShowAndLog(Msg(1450) + u' ' + settings_.DatabasePath +
                           ErrorTag("initialise", 1450));
      break;
    case errnum::kBadPassword:
      reporter_.ShowAndLog(Msg(950) + ErrorTag("initialise", 950), 951);
      break;
    case errnum::kDatabaseInUse:
      reporter_.ShowAndLog(Msg(1044) + ErrorTag("initialise", 1044), 953);
      break;
    default:
      reporter_.ShowAndLog(StandardErrorText(description, number, ErrorTag("initialise")) + u' ' +
                           Msg(1603));
      break;
  }
  ended_ = true;
}

bool Application::Initialise() {
  Settings& settings = settings_;
  try {
    if (!folder_.Prepare()) {
      throw AppError(errnum::kPathNotFound,
                     QStringLiteral("Path not found: '%1'").arg(folder_.Path()));
    }
    if (ReadSettingsFile(folder_, settings, prompter_)) {
      ApplySchemeList(settings.SchemeList, user_locale_, schemes_);
    }
    if (settings.DatabasePath.isEmpty()) {
      settings.DatabasePath = folder_.File(QStringLiteral("sonivera5.mdb"));
    }
    settings.DatabaseFileBox = settings.DatabasePath;
    // A path of another system (a drive letter) names a folder that is not here.
    if (!QFileInfo(settings.DatabasePath).isAbsolute()) {
      throw AppError(errnum::kFileNotFound, settings.DatabasePath);
    }
    detail_lists_ = ReadDetailLists(folder_.File(QStringLiteral("patdetails.txt")));
    if (FileExists(settings.DatabasePath)) {
      if (!OpenDatabase()) return false;
    } else {
      database_.Create(settings.DatabasePath);
    }
  } catch (const AppError& error) {
    ReportInitialiseFailure(error.Number(), error.Description());
    return false;
  }
  if (settings.open_serial_link && serial_link_ != nullptr) serial_link_->OpenSerialLink();
  chart::LoadPredictiveTables(folder_, chart_files_.predictive, settings.chart, reporter_,
                              ApplicationTitle());
  const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
  log_.Append(QStringLiteral("Init: %1 %2 %3 %4")
                  .arg(folder_.Path(), program.isEmpty() ? QStringLiteral("sonivera") : program,
                       QStringLiteral(SONIVERA_VERSION), settings.DatabasePath));
  chart::LoadColourBands(folder_.File(QStringLiteral("colourbands.txt")), chart_files_.bands,
                         reporter_);
  LoadAgeCorrectionTables(folder_.Path(), categorisation_.age_tables, reporter_);
  return true;
}

bool Application::OpenDatabase() {
  for (;;) {
    try {
      database_.Open(settings_.DatabasePath, database_password_);
      return true;
    } catch (const AppError& error) {
      switch (error.Number()) {
        case errnum::kBadPassword: {
          reporter_.ShowAndLog(Msg(950) + QStringLiteral("  error: ") +
                                   QString::number(error.Number()) + ErrorTag("opdatabase", 950),
                               951);
          if (!AskLogin()) return false;
          continue;
        }
        case errnum::kFileNotFound:
          reporter_.ShowAndLog(Msg(1450) + u' ' + settings_.DatabasePath +
                               ErrorTag("opdatabase", 1450));
          break;
        case errnum::kDatabaseInUse:
          reporter_.ShowAndLog(
              Msg(952) + ErrorNumberText(error.Number()) + ErrorTag("opdatabase", 952), 953);
          break;
        default:
          reporter_.ShowAndLog(
              StandardErrorText(error.Description(), error.Number(), ErrorTag("opdatabase")));
          break;
      }
      ended_ = true;
      return false;
    }
  }
}

bool Application::WriteSettings() {
  const QString path = folder_.File(QStringLiteral("sonivera5.ini"));
  if (WriteTextLines(path, SettingsFileLines(settings_))) return true;
  reporter_.Report(QStringLiteral("Could not write the settings file '%1'.").arg(path),
                   errnum::kPermissionDenied, QStringLiteral("endprogram"));
  return false;
}

bool Application::EndProgram(bool edit_open) {
  if (edit_open || test_running_) {
    const auto answer = prompter_.Show(Msg(1030), Msg(1031), Prompter::Buttons::YesNo,
                                       Prompter::Answer::No, Prompter::Icon::Question);
    if (answer != Prompter::Answer::Yes) return true;
  }
  WriteSettings();
  database_.Close();
  ended_ = true;
  return false;
}

CategoriseEnv Application::ForCategorising() {
  return CategoriseEnv{categorisation_, schemes_, false, user_locale_, reporter_};
}

EditorContext Application::ForEditor() {
  return EditorContext{database_, reporter_, settings_.chart, ForCategorising(), examiner_name_};
}

ConfigContext Application::ForConfig() {
  return ConfigContext{folder_,   settings_,          schemes_,  user_locale_,
                       database_, database_password_, reporter_, serial_link_};
}

ImportContext Application::ForImport(RecordEditor& editor, Register* reg) {
  return ImportContext{folder_, database_, reporter_, editor, reg};
}

}  // namespace sonivera
