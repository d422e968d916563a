#pragma once

#include "base/Prompter.h"

namespace sonivera::bench {

// Answers every question with its default and shows nothing; remembers the
// last text so that a failed run can say why.
class SilentPrompter : public Prompter {
 public:
  Answer Show(const QString& text, const QString&, Buttons, Answer default_answer, Icon) override {
    last = text;
    ++shown;
    return default_answer;
  }
  std::optional<QString> OpenFile(const FileDialogSpec&) override { return std::nullopt; }
  std::optional<QString> SaveFile(const FileDialogSpec&) override { return std::nullopt; }
  std::unique_ptr<Progress> StartProgress(const QString&, int) override { return nullptr; }
  std::optional<LoginResult> Login() override { return LoginResult{}; }
  int shown = 0;
  QString last;
};

}  // namespace sonivera::bench
