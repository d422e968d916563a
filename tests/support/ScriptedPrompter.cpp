#include "support/ScriptedPrompter.h"

namespace sonivera::test {

namespace {
class ScriptedProgress : public Progress {
 public:
  ScriptedProgress(std::vector<int>& values, std::optional<int> stop_at)
      : values_(values), stop_at_(stop_at) {}
  void SetValue(int value) override {
    values_.push_back(value);
    last_ = value;
  }
  void SetLabel(const QString&) override {}
  bool StopRequested() const override { return stop_at_ && last_ >= *stop_at_; }

 private:
  std::vector<int>& values_;
  std::optional<int> stop_at_;
  int last_ = -1;
};
}  // namespace

Prompter::Answer ScriptedPrompter::Show(const QString& text, const QString& title, Buttons buttons,
                                        Answer default_answer, Icon icon) {
  prompts_.push_back({text, title, buttons, default_answer, icon});
  if (buttons == Buttons::Ok) return Answer::Ok;
  if (answers_.empty()) return default_answer;
  const Answer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

std::optional<QString> ScriptedPrompter::OpenFile(const FileDialogSpec& spec) {
  file_dialogs.push_back(spec);
  if (files_.empty()) return std::nullopt;
  auto path = files_.front();
  files_.pop_front();
  return path;
}

std::optional<QString> ScriptedPrompter::SaveFile(const FileDialogSpec& spec) {
  ++save_dialogs;
  return OpenFile(spec);
}

std::unique_ptr<Progress> ScriptedPrompter::StartProgress(const QString&, int) {
  return std::make_unique<ScriptedProgress>(progress_values, stop_at_);
}

std::optional<LoginResult> ScriptedPrompter::Login() {
  ++login_count_;
  if (logins_.empty()) return std::nullopt;
  auto login = logins_.front();
  logins_.pop_front();
  return login;
}

std::optional<QDate> ScriptedPrompter::RecallDate(const QString& categorisation, int) {
  recall_requests << categorisation;
  if (on_recall) on_recall();
  if (recalls_.empty()) return std::nullopt;
  auto date = recalls_.front();
  recalls_.pop_front();
  return date;
}

QStringList ScriptedPrompter::Texts() const {
  QStringList texts;
  for (const auto& prompt : prompts_) texts << prompt.text;
  return texts;
}

}  // namespace sonivera::test
