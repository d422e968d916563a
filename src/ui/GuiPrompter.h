#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "base/Prompter.h"

namespace sonivera::ui {

// Message boxes, file dialogs, progress dialogs and the login window.
class GuiPrompter : public Prompter {
 public:
  explicit GuiPrompter(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  // While set, long operations report here instead of to a progress dialog
  // (a window with its own progress bar, such as FormRecat).
  using ProgressFactory = std::function<std::unique_ptr<Progress>(const QString&, int)>;
  void SetProgressFactory(ProgressFactory factory) { progress_factory_ = std::move(factory); }

  Answer Show(const QString& text, const QString& title, Buttons buttons, Answer default_answer,
              Icon icon) override;
  // The icon a box shows: the one asked for, else by its kind: a question
  // (more than an OK button) the question icon, an error (titled "Error")
  // the critical icon, anything else the information icon.
  static Icon IconFor(Buttons buttons, const QString& title, Icon icon);
  std::optional<QString> OpenFile(const FileDialogSpec& spec) override;
  std::optional<QString> SaveFile(const FileDialogSpec& spec) override;
  std::unique_ptr<Progress> StartProgress(const QString& label, int maximum) override;
  std::optional<LoginResult> Login() override;
  std::optional<QDate> RecallDate(const QString& categorisation, int lcid) override;

  // "Sonivera Database files | *.mdb" -> "Sonivera Database files (*.mdb)".
  static QString QtFilter(const QString& filter);

 private:
  QPointer<QWidget> parent_;
  ProgressFactory progress_factory_;
};

}  // namespace sonivera::ui
