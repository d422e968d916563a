#include "ui/RegisterGrid.h"

#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QTableView>

namespace sonivera::ui {

QTableView* NewRegisterGrid(QWidget* parent) {
  auto* grid = new QTableView(parent);
  grid->setObjectName(QStringLiteral("DBGrid1"));
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setAlternatingRowColors(true);
  grid->setWordWrap(false);
  grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->horizontalHeader()->setHighlightSections(false);
  return grid;
}

void AddStatusPanels(QMainWindow& window, QLabel* (&panels)[4]) {
  for (int panel = 0; panel < 4; ++panel) {
    panels[panel] = new QLabel(&window);
    panels[panel]->setObjectName(QStringLiteral("StatusPanel%1").arg(panel + 1));
    panels[panel]->setContentsMargins(6, 0, 6, 0);
    window.statusBar()->addPermanentWidget(panels[panel], panel == 3 ? 1 : 0);
  }
}

}  // namespace sonivera::ui
