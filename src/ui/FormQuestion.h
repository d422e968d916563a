#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace sonivera {
class Questionnaire;
}

namespace sonivera::ui {

// The answer window: one free-text answer of at most kMaxAnswerLength
// characters. Its result is the typed text, or "Cancel" when the user
// cancelled, so "Cancel" itself cannot be an answer.
class FormAnswer : public QDialog {
  Q_OBJECT
 public:
  explicit FormAnswer(QWidget* parent = nullptr);
  QLineEdit* AnswerBox() const { return text_; }
  // The result after the window closed.
  QString Answer() const;

 private:
  QLineEdit* text_;
};

// The questionnaire window: shows the current question and applies the
// user's answer or move through the core's QuestionAction. Every change is
// passed on through `changed` so the main window can redraw its grid and
// keep the answers with the record being edited.
class FormQuestion : public QDialog {
  Q_OBJECT
 public:
  FormQuestion(Questionnaire& questionnaire, QWidget* parent = nullptr);

  QPushButton* Button(const QString& name) const;
  QPlainTextEdit* QuestionBox() const { return question_; }

  std::function<void()> changed;
  // Runs the answer window; exec() unless a test answers it.
  std::function<int(QDialog&)> run_dialog;

 private:
  void Act(const QString& action);
  void AskText();
  void DeleteAnswer();
  void ShowQuestion();
  void Notify();

  Questionnaire& questionnaire_;
  QPlainTextEdit* question_;
};

}  // namespace sonivera::ui
