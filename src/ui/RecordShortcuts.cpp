#include "ui/RecordShortcuts.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace sonivera::ui {

RecordShortcuts::RecordShortcuts(QWidget* window, QList<QAction*> actions)
    : QObject(window), window_(window), actions_(std::move(actions)) {
  qApp->installEventFilter(this);
}

bool RecordShortcuts::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (widget == window_ || !window_->isAncestorOf(widget)) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  if (!(key->modifiers() & Qt::ControlModifier)) return false;
  const QKeySequence pressed(key->keyCombination());
  for (const QAction* action : actions_) {
    if (action != nullptr && action->shortcut() == pressed) {
      // Not accepted: the shortcut goes to the action, not to the text box.
      event->ignore();
      return true;
    }
  }
  return false;
}

InputFreeze::InputFreeze(QWidget* widget, std::function<bool()> frozen)
    : QObject(widget), frozen_(std::move(frozen)) {
  widget->installEventFilter(this);
}

bool InputFreeze::eventFilter(QObject*, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::Wheel:
      return frozen_();
    default:
      return false;
  }
}

}  // namespace sonivera::ui
