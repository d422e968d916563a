#include "ui/FormImport.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "base/Messages.h"

namespace sonivera::ui {

FormImport::FormImport(OldReleaseImporter& importer, QWidget* parent)
    : QDialog(parent), importer_(importer), count_(new QLabel(this)) {
  setObjectName(QStringLiteral("FormImport"));
  setWindowTitle(QStringLiteral("Import Sonivera 3.1 Data"));
  count_->setObjectName(QStringLiteral("lblCount"));
  count_->setText(QStringLiteral("0"));
  count_->setFrameShape(QFrame::StyledPanel);
  count_->setMinimumWidth(80);

  auto* csv = new QPushButton(Msg(3711), this);
  csv->setObjectName(QStringLiteral("cmdImportCsv"));
  auto* dat = new QPushButton(Msg(3712), this);
  dat->setObjectName(QStringLiteral("cmdImportDat"));
  auto* stop = new QPushButton(Msg(1117), this);
  stop->setObjectName(QStringLiteral("cmdStop"));
  stop->setEnabled(false);
  auto* close = new QPushButton(Msg(3709), this);
  close->setObjectName(QStringLiteral("cmdClose"));

  connect(csv, &QPushButton::clicked, this, [this] { Run(OldReleaseImporter::Kind::Csv); });
  connect(dat, &QPushButton::clicked, this, [this] { Run(OldReleaseImporter::Kind::Dat); });
  connect(stop, &QPushButton::clicked, this, [this] { importer_.RequestStop(); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  importer_.SetListener(this);

  auto* layout = new QGridLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Records Imported so far"), this), 0, 0);
  layout->addWidget(count_, 0, 1);
  layout->addWidget(csv, 1, 0);
  layout->addWidget(dat, 1, 1);
  layout->addWidget(stop, 2, 0);
  layout->addWidget(close, 2, 1);
}

QPushButton* FormImport::Button(const QString& name) const { return findChild<QPushButton*>(name); }

void FormImport::Run(OldReleaseImporter::Kind kind) {
  count_->setText(QStringLiteral("0"));
  SetRunning(true);
  summary_ = importer_.Start(kind);
  SetRunning(false);
}

void FormImport::RecordImported(int imported) {
  count_->setText(QString::number(imported));
  // Lets the Stop button be pressed between records.
  QCoreApplication::processEvents();
}

void FormImport::SetRunning(bool running) {
  Button(QStringLiteral("cmdImportCsv"))->setEnabled(!running);
  Button(QStringLiteral("cmdImportDat"))->setEnabled(!running);
  Button(QStringLiteral("cmdClose"))->setEnabled(!running);
  Button(QStringLiteral("cmdStop"))->setEnabled(running);
}

}  // namespace sonivera::ui
