// The main window's printing: the Print, Print preview and Batch print
// commands, bound to the report painter through ReportPrinting.
#include <QTabWidget>

#include "app/Application.h"
#include "questionnaire/Questionnaire.h"
#include "register/Register.h"
#include "register/RegisterModel.h"
#include "report/BatchPrint.h"
#include "ui/FormMain.h"
#include "ui/ReportPrinting.h"

namespace sonivera::ui {

void FormMain::BuildPrinting() {
  ReportPrinting::Sources sources;
  sources.connection = [this]() -> db::Connection& { return app_.Db().Conn(); };
  sources.setup = [this] {
    auto setup = report::ReportSetupFor(app_.Folder(), app_.Lists(),
                                        app_.settings().chart, app_.ChartFiles(),
                                        app_.Reporter());
    // The questions as the window holds them (the configuration may have
    // reloaded them).
    setup.questions = questionnaire_->Questions();
    return setup;
  };
  sources.shown_audiogram = [this]() -> std::optional<report::PrintItem> {
    // The audiogram on show as stored; nothing while the register is empty.
    const RegisterCursor& cursor = register_->Cursor();
    if (register_->CurrentRow() < 0) return std::nullopt;
    return report::ShownAudiogram(app_.Db().Conn(), cursor.PatNo, cursor.TestIndex);
  };
  sources.register_query = [this] { return register_->Model().Query(); };
  sources.register_description = [this] {
    // As the status bar says it: the filter, and the sort when there is one.
    const auto texts = register_->StatusTexts();
    QString description = texts[2];
    if (!register_->SortDescription().trimmed().isEmpty()) {
      description += QStringLiteral("  \u00b7  ") + texts[3].trimmed();
    }
    return description;
  };
  sources.print_heading = [this] { return app_.Lists().PrintHeading; };
  sources.after = [this] { tabs_->setCurrentIndex(Tab(MainPage::Register)); };
  printing_ = std::make_unique<ReportPrinting>(std::move(sources), app_.Ask(), app_.Reporter(),
                                               this);
  printing_->run_dialog = [this](QDialog& dialog) { return RunDialog(dialog); };
}

void FormMain::PrintCommand() { printing_->Print(); }

void FormMain::PrintPreviewCommand() { printing_->PrintPreview(); }

void FormMain::BatchPrintCommand() { printing_->OpenBatchPrint(register_->Model().TotalRows()); }

}  // namespace sonivera::ui
