// The audiogram window's side of the hand-over to the vision window.
#include <QAction>
#include <QMenuBar>
#include <QTabWidget>

#include "app/Application.h"
#include "register/RecordEditor.h"
#include "register/Register.h"
#include "ui/DetailsPage.h"
#include "ui/FormMain.h"
#include "ui/FormVision.h"
#include "vision/VisionEditor.h"

namespace sonivera::ui {

void FormMain::BuildVisionActions() {
  auto* insert = new QAction(QIcon::fromTheme(QStringLiteral("list-add")),
                             QStringLiteral("&Insert Vision"), this);
  insert->setObjectName(QStringLiteral("InsertVision"));
  insert->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
  connect(insert, &QAction::triggered, this, &FormMain::InsertVision);
  actions_.insert(QStringLiteral("InsertVision"), insert);

  // Type - Vision, and the toolbar's "Vision" key.
  auto* vision =
      new QAction(QIcon::fromTheme(QStringLiteral("go-jump")), QStringLiteral("Vision"), this);
  vision->setObjectName(QStringLiteral("Vision"));
  vision->setIconText(QStringLiteral("Switch to Vision"));
  vision->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
  vision->setToolTip(QStringLiteral("Switch to Vision (") +
                     vision->shortcut().toString(QKeySequence::NativeText) + u')');
  connect(vision, &QAction::triggered, this, &FormMain::ShowVision);
  actions_.insert(QStringLiteral("Vision"), vision);
}

void FormMain::BuildTypeMenu() {
  auto* type = menuBar()->addMenu(QStringLiteral("&Type"));
  auto* here = type->addAction(QStringLiteral("&Audiology"));
  here->setObjectName(QStringLiteral("TypeAudiology"));
  here->setCheckable(true);
  here->setChecked(true);
  here->setEnabled(false);  // this window
  type->addAction(Action(QStringLiteral("Vision")));
}

FormVision* FormMain::VisionWindow() {
  if (!vision_) {
    vision_ =
        std::make_unique<FormVision>(app_.Db(), app_.Ask(), app_.Log(), app_.Lists());
    vision_->user_locale = app_.UserLocale();
    vision_->show_audiogram = [this](const QString& pat_no) { ShowFromVision(pat_no); };
    vision_->insert_audiogram = [this](const QString& pat_no) {
      ShowFromVision(pat_no);
      InsertRecord();
      if (editor_->Mode() != EditMode::InsertingTest) return;
      // Particulars recorded later on the vision side are the newer ones.
      try {
        if (const auto header = vision::NewerVisionParticulars(app_.Db().Conn(), pat_no)) {
          vision::ShowEmployment(*header, editor_->Entries());
          ShowEntries(editor_->Entries());
        }
      } catch (const std::exception& e) {
        app_.Reporter().Report(QString::fromUtf8(e.what()), 954,
                               QStringLiteral("updatemaindisplayfromvision"));
      }
    };
  }
  return vision_.get();
}

void FormMain::ShowVision() {
  if (editor_->Editing()) return;
  FormVision* vision = VisionWindow();
  vision->ShowPatient(register_->Cursor().PatNo);
  hide();
  vision->show();
  vision->raise();
}

void FormMain::InsertVision() {
  const RegisterCursor& cursor = register_->Cursor();
  if (editor_->Editing() || cursor.PatNo.isEmpty()) return;
  if (cursor.TestIndex > 0) {
    app_.Ask().Show(QStringLiteral("You have an older Audiogram selected. Please scroll to the "
                                   "latest Audiogram, before inserting a Vision test"),
                    QStringLiteral("Warning - Historic Data"), Prompter::Buttons::Ok);
    return;
  }
  FormVision* vision = VisionWindow();
  if (!vision->InsertVisionFor(cursor.PatNo)) return;
  hide();
  vision->show();
  vision->raise();
}

void FormMain::ShowFromVision(const QString& pat_no) {
  if (!pat_no.isEmpty()) {
    if (!register_->MoveToPatient(pat_no)) register_->GoToChosenRecord(0);
  }
  SelectCurrentRow();
  RefreshRecord();
  show();
  raise();
}

}  // namespace sonivera::ui
