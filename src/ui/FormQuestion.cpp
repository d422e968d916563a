#include "ui/FormQuestion.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/Messages.h"
#include "questionnaire/Questionnaire.h"
#include "ui/DialogButtons.h"

namespace sonivera::ui {

FormAnswer::FormAnswer(QWidget* parent) : QDialog(parent), text_(new QLineEdit(this)) {
  setObjectName(QStringLiteral("FormAnswer"));
  setWindowTitle(Msg(3710));
  text_->setObjectName(QStringLiteral("Text1"));
  // The stored column holds no more; limiting the entry beats a failed save.
  text_->setMaxLength(kMaxAnswerLength);
  text_->setMinimumWidth(360);
  const auto buttons = MakeOkCancelButtons(this);
  connect(buttons.box, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons.box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_);
  layout->addWidget(buttons.box);
}

QString FormAnswer::Answer() const {
  return result() == QDialog::Accepted ? text_->text() : kAnswerCancelled;
}

FormQuestion::FormQuestion(Questionnaire& questionnaire, QWidget* parent)
    : QDialog(parent), questionnaire_(questionnaire), question_(new QPlainTextEdit(this)) {
  setObjectName(QStringLiteral("FormQuestion"));
  setWindowTitle(Msg(132));
  run_dialog = [](QDialog& dialog) { return dialog.exec(); };
  question_->setObjectName(QStringLiteral("Text1"));
  question_->setReadOnly(true);
  question_->setMinimumSize(380, 80);

  struct Key {
    const char* name;
    int caption;
    std::function<void()> run;
  };
  const Key keys[] = {
      {"cmdYes", 3703, [this] { Act(QStringLiteral("yes")); }},
      {"cmdNo", 3704, [this] { Act(QStringLiteral("no")); }},
      {"cmdText", 3705, [this] { AskText(); }},
      {"cmdDelete", 3706, [this] { DeleteAnswer(); }},
      {"cmdBack", 3707, [this] { Act(QStringLiteral("up")); }},
      {"cmdForward", 3708, [this] { Act(QStringLiteral("down")); }},
      {"cmdFinish", 3709, [this] { accept(); }},
  };
  auto* grid = new QGridLayout;
  int column = 0;
  for (const auto& key : keys) {
    auto* button = new QPushButton(Msg(key.caption), this);
    button->setObjectName(QLatin1String(key.name));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, key.run);
    grid->addWidget(button, column / 4, column % 4);
    ++column;
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(question_);
  layout->addLayout(grid);
  ShowQuestion();
}

QPushButton* FormQuestion::Button(const QString& name) const {
  return findChild<QPushButton*>(name);
}

void FormQuestion::Act(const QString& action) {
  if (questionnaire_.QuestionAction(action)) Notify();
}

void FormQuestion::AskText() {
  FormAnswer answer(this);
  run_dialog(answer);
  if (questionnaire_.AnswerFromWindow(answer.Answer())) Notify();
}

void FormQuestion::DeleteAnswer() {
  questionnaire_.DeleteAnswer();
  Notify();
}

void FormQuestion::ShowQuestion() { question_->setPlainText(questionnaire_.CurrentQuestionText()); }

void FormQuestion::Notify() {
  ShowQuestion();
  if (changed) changed();
}

}  // namespace sonivera::ui
