#pragma once

#include <QString>
#include <optional>

#include "base/Prompter.h"

namespace sonivera::cli {

// The command line's answers: messages go to stderr, questions take their
// default answer (or "yes" with --yes), file dialogs take the file named on
// the command line, and the login gives --password once.
class CliPrompter : public Prompter {
 public:
  explicit CliPrompter(QString password) : password_(std::move(password)) {}

  Answer Show(const QString& text, const QString& title, Buttons buttons, Answer default_answer,
              Icon icon) override;
  std::optional<QString> OpenFile(const FileDialogSpec& spec) override;
  std::optional<QString> SaveFile(const FileDialogSpec& spec) override;
  std::unique_ptr<Progress> StartProgress(const QString& label, int maximum) override;
  std::optional<LoginResult> Login() override;
  void SetPlace(const QString& place) override { place_ = place; }

  void SetFileAnswer(const QString& path) { file_answer_ = path; }
  void SetAssumeYes(bool yes) { assume_yes_ = yes; }
  // How many messages were shown; commands use it to tell a quiet success.
  int Shown() const { return shown_; }

 private:
  QString password_;
  bool login_given_ = false;
  bool assume_yes_ = false;
  std::optional<QString> file_answer_;
  int shown_ = 0;
  QString place_;
};

}  // namespace sonivera::cli
