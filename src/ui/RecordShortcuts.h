#pragma once

#include <QList>
#include <QObject>
#include <functional>

class QAction;
class QWidget;

namespace sonivera::ui {

// Keeps the record commands' shortcuts (Ctrl+E and the like) working while a
// text box of the window has the focus: a text box would otherwise take
// Ctrl+E as "end of line" and the command would never run. Keys without Ctrl
// (Delete, Escape) stay with the text box.
class RecordShortcuts : public QObject {
 public:
  RecordShortcuts(QWidget* window, QList<QAction*> actions);
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  QList<QAction*> actions_;
};

// Swallows the mouse and keys of a widget (the register grid's viewport)
// while `frozen` says so: the grid must not move while a record is open.
class InputFreeze : public QObject {
 public:
  InputFreeze(QWidget* widget, std::function<bool()> frozen);
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<bool()> frozen_;
};

}  // namespace sonivera::ui
