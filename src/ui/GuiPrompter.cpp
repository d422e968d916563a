#include "ui/GuiPrompter.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>

#include "base/Messages.h"
#include "ui/FormLogin.h"
#include "ui/FormRecall.h"

namespace sonivera::ui {

namespace {
QMessageBox::StandardButton ToButton(Prompter::Answer answer) {
  switch (answer) {
    case Prompter::Answer::Ok:
      return QMessageBox::Ok;
    case Prompter::Answer::Cancel:
      return QMessageBox::Cancel;
    case Prompter::Answer::Yes:
      return QMessageBox::Yes;
    case Prompter::Answer::No:
      return QMessageBox::No;
  }
  return QMessageBox::Ok;
}

class DialogProgress : public Progress {
 public:
  DialogProgress(const QString& label, int maximum, QWidget* parent)
      : dialog_(label, Msg(12), 0, maximum, parent) {
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(500);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
  }
  void SetValue(int value) override {
    dialog_.setValue(value);
    QApplication::processEvents();
  }
  void SetLabel(const QString& label) override { dialog_.setLabelText(label); }
  bool StopRequested() const override {
    QApplication::processEvents();
    return dialog_.wasCanceled();
  }

 private:
  QProgressDialog dialog_;
};
}  // namespace

QString GuiPrompter::QtFilter(const QString& filter) {
  const auto bar = filter.indexOf(u'|');
  if (bar < 0) return filter;
  return filter.left(bar).trimmed() + QStringLiteral(" (") + filter.mid(bar + 1).trimmed() +
         QStringLiteral(")");
}

Prompter::Icon GuiPrompter::IconFor(Buttons buttons, const QString& title, Icon icon) {
  if (icon != Icon::None) return icon;
  if (buttons != Buttons::Ok) return Icon::Question;
  return title == Msg(974) ? Icon::Critical : Icon::Information;
}

Prompter::Answer GuiPrompter::Show(const QString& text, const QString& title, Buttons buttons,
                                   Answer default_answer, Icon icon) {
  QMessageBox box(parent_);
  box.setWindowTitle(title);
  box.setText(text);
  switch (IconFor(buttons, title, icon)) {
    case Icon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case Icon::Exclamation:
      box.setIcon(QMessageBox::Warning);
      break;
    case Icon::Question:
      box.setIcon(QMessageBox::Question);
      break;
    case Icon::Critical:
      box.setIcon(QMessageBox::Critical);
      break;
    case Icon::None:
      break;
  }
  switch (buttons) {
    case Buttons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case Buttons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case Buttons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case Buttons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  box.setDefaultButton(ToButton(default_answer));
  switch (box.exec()) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    case QMessageBox::Cancel:
      return Answer::Cancel;
    case QMessageBox::Ok:
      return Answer::Ok;
    default:
      // Escape or the close button: the safe answer of the buttons shown.
      return buttons == Buttons::Ok      ? Answer::Ok
             : buttons == Buttons::YesNo ? Answer::No
                                         : Answer::Cancel;
  }
}

std::optional<QString> GuiPrompter::OpenFile(const FileDialogSpec& spec) {
  QFileDialog dialog(parent_, spec.title, spec.initial_dir, QtFilter(spec.filter));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (!spec.default_suffix.isEmpty()) dialog.setDefaultSuffix(spec.default_suffix.mid(1));
  if (!spec.initial_name.isEmpty()) dialog.selectFile(spec.initial_name);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first();
}

std::optional<QString> GuiPrompter::SaveFile(const FileDialogSpec& spec) {
  QFileDialog dialog(parent_, spec.title, spec.initial_dir, QtFilter(spec.filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  if (!spec.overwrite_prompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!spec.default_suffix.isEmpty()) dialog.setDefaultSuffix(spec.default_suffix.mid(1));
  if (!spec.initial_name.isEmpty()) dialog.selectFile(spec.initial_name);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first();
}

std::unique_ptr<Progress> GuiPrompter::StartProgress(const QString& label, int maximum) {
  if (progress_factory_) return progress_factory_(label, maximum);
  return std::make_unique<DialogProgress>(label, maximum, parent_);
}

std::optional<LoginResult> GuiPrompter::Login() {
  FormLogin login(parent_);
  if (login.exec() != QDialog::Accepted) return std::nullopt;
  return LoginResult{login.Password(), login.Examiner()};
}

std::optional<QDate> GuiPrompter::RecallDate(const QString& categorisation, int lcid) {
  FormRecall recall(categorisation, lcid, *this, parent_);
  if (recall.exec() != QDialog::Accepted) return std::nullopt;
  return recall.RecallDate();
}

}  // namespace sonivera::ui
