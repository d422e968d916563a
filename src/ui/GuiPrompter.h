#pragma once

#include <QPointer>
#include <QWidget>

#include "app/Prompter.h"

namespace sonivera::ui {

// Message boxes, file dialogs, progress dialogs and the login window.
class GuiPrompter : public Prompter {
 public:
  explicit GuiPrompter(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  Answer Show(const QString& text, const QString& title, Buttons buttons, Answer default_answer,
              Icon icon) override;
  std::optional<QString> OpenFile(const FileDialogSpec& spec) override;
  std::optional<QString> SaveFile(const FileDialogSpec& spec) override;
  std::unique_ptr<Progress> StartProgress(const QString& label, int maximum) override;
  std::optional<LoginResult> Login() override;

  // "Sonivera Database files | *.mdb" -> "Sonivera Database files (*.mdb)".
  static QString QtFilter(const QString& filter);

 private:
  QPointer<QWidget> parent_;
};

}  // namespace sonivera::ui
