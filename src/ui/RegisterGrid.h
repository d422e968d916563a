#pragma once

class QLabel;
class QMainWindow;
class QTableView;
class QWidget;

namespace sonivera::ui {

// The register grid of the audiogram and vision windows (`DBGrid1`): whole
// rows chosen one at a time, read-only, fixed row height.
QTableView* NewRegisterGrid(QWidget* parent);

// The four panels of a register window's status bar (`StatusPanel1` to 4):
// patients, records, filter, sort; the last takes the spare width.
void AddStatusPanels(QMainWindow& window, QLabel* (&panels)[4]);

}  // namespace sonivera::ui
