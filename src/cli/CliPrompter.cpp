#include "cli/CliPrompter.h"

#include <unistd.h>

#include <cstdio>

namespace sonivera::cli {

namespace {
// A progress bar on stderr, drawn only when stderr is a terminal.
class TerminalProgress : public Progress {
 public:
  TerminalProgress(QString label, int maximum)
      : label_(std::move(label)), maximum_(maximum), tty_(isatty(STDERR_FILENO) != 0) {}
  ~TerminalProgress() override {
    if (tty_ && drawn_) std::fputs("\n", stderr);
  }
  void SetValue(int value) override {
    if (!tty_ || maximum_ <= 0) return;
    const int percent = static_cast<int>(100LL * value / maximum_);
    if (percent == last_percent_) return;
    last_percent_ = percent;
    const int filled = percent * 30 / 100;
    std::fprintf(stderr, "\r%s [%-30s] %3d%%", label_.toLocal8Bit().constData(),
                 QByteArray(filled, '#').constData(), percent);
    std::fflush(stderr);
    drawn_ = true;
  }
  void SetLabel(const QString& label) override { label_ = label; }
  bool StopRequested() const override { return false; }

 private:
  QString label_;
  int maximum_;
  bool tty_;
  bool drawn_ = false;
  int last_percent_ = -1;
};
}  // namespace

Prompter::Answer CliPrompter::Show(const QString& text, const QString& title, Buttons buttons,
                                   Answer default_answer, Icon) {
  ++shown_;
  const bool question = buttons != Buttons::Ok;
  std::fprintf(stderr, "%s%s\n",
               question ? (title + QStringLiteral(": ")).toLocal8Bit().constData() : "",
               (text + place_).toLocal8Bit().constData());
  if (!question) return Answer::Ok;
  if (assume_yes_) return buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
  return default_answer;
}

std::optional<QString> CliPrompter::OpenFile(const FileDialogSpec&) { return file_answer_; }

std::optional<QString> CliPrompter::SaveFile(const FileDialogSpec&) { return file_answer_; }

std::unique_ptr<Progress> CliPrompter::StartProgress(const QString& label, int maximum) {
  return std::make_unique<TerminalProgress>(label, maximum);
}

std::optional<LoginResult> CliPrompter::Login() {
  // The password of the command line is tried once; a wrong one ends the run.
  if (login_given_) return std::nullopt;
  login_given_ = true;
  return LoginResult{password_, qEnvironmentVariable("USER")};
}

}  // namespace sonivera::cli
