#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "base/Prompter.h"

namespace sonivera::test {

// A prompter for tests: records every prompt and answers from queues. With
// nothing queued, a question takes its default answer, and a file dialog,
// the login and the recall window are cancelled.
class ScriptedPrompter : public Prompter {
 public:
  struct Prompt {
    QString text;
    QString title;
    Buttons buttons;
    Answer default_answer;
    Icon icon;
  };

  Answer Show(const QString& text, const QString& title, Buttons buttons, Answer default_answer,
              Icon icon) override;
  std::optional<QString> OpenFile(const FileDialogSpec& spec) override;
  std::optional<QString> SaveFile(const FileDialogSpec& spec) override;
  std::unique_ptr<Progress> StartProgress(const QString& label, int maximum) override;
  std::optional<LoginResult> Login() override;
  std::optional<QDate> RecallDate(const QString& categorisation, int lcid) override;

  void QueueAnswer(Answer answer) { answers_.push_back(answer); }
  void QueueFile(std::optional<QString> path) { files_.push_back(std::move(path)); }
  void QueueLogin(std::optional<LoginResult> login) { logins_.push_back(std::move(login)); }
  void QueueRecall(std::optional<QDate> date) { recalls_.push_back(date); }
  // Asks a running progress to stop once it has reached this value.
  void StopProgressAt(int value) { stop_at_ = value; }

  const std::vector<Prompt>& Prompts() const { return prompts_; }
  QStringList Texts() const;
  int LoginCount() const { return login_count_; }
  std::vector<FileDialogSpec> file_dialogs;
  int save_dialogs = 0;  // of file_dialogs, those that accept a new name
  std::vector<int> progress_values;
  // The categorisation each recall window was opened with; on_recall runs
  // as the window opens.
  QStringList recall_requests;
  std::function<void()> on_recall;

 private:
  std::vector<Prompt> prompts_;
  std::deque<Answer> answers_;
  std::deque<std::optional<QString>> files_;
  std::deque<std::optional<LoginResult>> logins_;
  std::deque<std::optional<QDate>> recalls_;
  int login_count_ = 0;
  std::optional<int> stop_at_;
};

}  // namespace sonivera::test
