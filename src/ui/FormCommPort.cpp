#include "ui/FormCommPort.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "instrument/CommPort.h"
#include "ui/DialogButtons.h"

namespace sonivera::ui {

FormCommPort::FormCommPort(int port, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormCommPort"));
  setWindowTitle(QStringLiteral("Change Com Port"));
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("ListPorts"));
  for (int n = 1; n <= kCommPortCount; ++n) list_->addItem(QStringLiteral("COM %1").arg(n));
  list_->addItem(QStringLiteral("USB"));
  list_->setCurrentRow(port >= 1 && port <= kCommPortCount ? port - 1 : kCommPortCount);
  const auto buttons = MakeOkCancelButtons(this);
  connect(buttons.box, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons.box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addWidget(buttons.box);
}

int FormCommPort::Chosen() const {
  const int row = list_->currentRow();
  return row >= 0 && row < kCommPortCount ? row + 1 : 0;
}

}  // namespace sonivera::ui
