#pragma once

#include <QDialog>

#include "interchange/OldImport.h"

class QLabel;
class QPushButton;

namespace sonivera::ui {

// The older release's import window: a start button for each of its file
// kinds, the count of records imported so far and a Stop button that ends
// the import between records.
class FormImport : public QDialog, private OldImportListener {
  Q_OBJECT
 public:
  explicit FormImport(OldReleaseImporter& importer, QWidget* parent = nullptr);

  QLabel* CountBox() const { return count_; }
  QPushButton* Button(const QString& name) const;
  const ImportSummary& Summary() const { return summary_; }

 private:
  void Run(OldReleaseImporter::Kind kind);
  void SetRunning(bool running);
  void RecordImported(int imported) override;

  OldReleaseImporter& importer_;
  QLabel* count_;
  ImportSummary summary_;
};

}  // namespace sonivera::ui
