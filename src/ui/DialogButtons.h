#pragma once

#include <QDialogButtonBox>
#include <QPushButton>
#include <algorithm>

#include "base/Messages.h"

namespace sonivera::ui {

// The "&OK" (default) and "&Cancel" buttons of the program's small dialogs,
// named Command1 and Command2.
struct DialogButtons {
  QDialogButtonBox* box;
  QPushButton* command1;
  QPushButton* command2;
};

// A small dialog is at least as wide as its title needs, so that the title
// bar does not cut it ("Change Pa... Number").
inline void FitTitle(QWidget& dialog) {
  const int needed = dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()) + 140;
  dialog.setMinimumWidth(std::max(dialog.minimumWidth(), needed));
}

inline DialogButtons MakeOkCancelButtons(QWidget* parent) {
  auto* command1 = new QPushButton(Msg(11), parent);
  command1->setObjectName(QStringLiteral("Command1"));
  command1->setDefault(true);
  auto* command2 = new QPushButton(Msg(12), parent);
  command2->setObjectName(QStringLiteral("Command2"));
  auto* box = new QDialogButtonBox(parent);
  box->addButton(command1, QDialogButtonBox::AcceptRole);
  box->addButton(command2, QDialogButtonBox::RejectRole);
  return {box, command1, command2};
}

// A push button carrying the name the code and the tests know it by.
inline QPushButton* MakeNamedButton(QWidget* parent, const QString& name, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  return button;
}

}  // namespace sonivera::ui
