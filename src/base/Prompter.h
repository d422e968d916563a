#pragma once

#include <QDate>
#include <QString>
#include <memory>
#include <optional>

namespace sonivera {

// What a file dialog is asked to show.
struct FileDialogSpec {
  QString title;
  QString filter;          // e.g. "Sonivera Database files | *.mdb"
  QString default_suffix;  // e.g. ".mdb"
  QString initial_name;
  QString initial_dir;
  bool overwrite_prompt = false;
  bool path_must_exist = false;
};

// A long operation's progress, shown while the operation runs.
class Progress {
 public:
  virtual ~Progress() = default;
  virtual void SetValue(int value) = 0;
  virtual void SetLabel(const QString& label) = 0;
  // True once the user asked to stop; the operation stops at its next safe point.
  virtual bool StopRequested() const = 0;
};

// The login window's result: the password and the examiner's name.
struct LoginResult {
  QString password;
  QString examiner;
};

// Every message box, question, file dialog and login the program shows goes
// through here: the desktop shows windows, the command line answers from its
// options, tests answer from a script.
class Prompter {
 public:
  enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
  enum class Answer { Ok, Cancel, Yes, No };
  enum class Icon { None, Information, Exclamation, Question, Critical };

  virtual ~Prompter() = default;
  virtual Answer Show(const QString& text, const QString& title, Buttons buttons = Buttons::Ok,
                      Answer default_answer = Answer::Ok, Icon icon = Icon::None) = 0;
  virtual std::optional<QString> OpenFile(const FileDialogSpec& spec) = 0;
  virtual std::optional<QString> SaveFile(const FileDialogSpec& spec) = 0;
  virtual std::unique_ptr<Progress> StartProgress(const QString& label, int maximum) = 0;
  // The login window; nullopt when the user cancelled it.
  virtual std::optional<LoginResult> Login() = 0;
  // Where the messages that follow arise, e.g. " (file a.csv, line 7)"; empty
  // for none. A window keeps its message's own text; the command line adds it.
  virtual void SetPlace(const QString& place) { (void)place; }
  // The recall window for a newly arrived test with its categorisation: the
  // recall date chosen, or nullopt when cancelled. A prompter without the
  // window (the command line) answers as if it were cancelled.
  virtual std::optional<QDate> RecallDate(const QString& categorisation, int lcid) {
    (void)categorisation;
    (void)lcid;
    return std::nullopt;
  }
};

}  // namespace sonivera
