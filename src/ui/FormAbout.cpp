#include "ui/FormAbout.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtEndian>

#include "app/Application.h"
#include "base/Messages.h"

namespace sonivera::ui {

namespace {
constexpr char kCompanionName[] = "Bridger.exe";
// The signature that opens a Windows executable's fixed version block.
constexpr quint32 kFixedInfoSignature = 0xFEEF04BD;

// The file version of a Windows executable: "a.b.c.d" from its fixed
// version block, or empty when the file carries none.
QString ExecutableFileVersion(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.read(64 * 1024 * 1024);
  const char signature[4] = {'\xBD', '\x04', '\xEF', '\xFE'};
  const qsizetype at = bytes.indexOf(QByteArray(signature, 4));
  if (at < 0 || at + 16 > bytes.size()) return {};
  const auto* data = reinterpret_cast<const uchar*>(bytes.constData() + at);
  if (qFromLittleEndian<quint32>(data) != kFixedInfoSignature) return {};
  const quint32 high = qFromLittleEndian<quint32>(data + 8);
  const quint32 low = qFromLittleEndian<quint32>(data + 12);
  return QStringLiteral("%1.%2.%3.%4")
      .arg(high >> 16)
      .arg(high & 0xFFFF)
      .arg(low >> 16)
      .arg(low & 0xFFFF);
}
}  // namespace

QString FormAbout::CompanionVersion(const QString& program_folder) {
  const QString path = QDir(program_folder).filePath(QString::fromLatin1(kCompanionName));
  if (!QFileInfo(path).isFile()) return Msg(3126);
  const QString version = ExecutableFileVersion(path);
  return version.isEmpty() ? Msg(3127) : Msg(3124) + version;
}

FormAbout::FormAbout(Application& app, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormAbout"));
  setWindowTitle(Msg(3123).remove(u'&'));
  auto* picture = new QLabel(this);
  picture->setPixmap(QIcon::fromTheme(QStringLiteral("audio-headphones"),
                                      QIcon::fromTheme(QStringLiteral("help-about")))
                         .pixmap(64, 64));
  auto* title = new QLabel(ApplicationTitle(), this);
  title->setObjectName(QStringLiteral("LabelTitle"));
  QFont title_font = title->font();
  title_font.setPointSizeF(title_font.pointSizeF() * 1.6);
  title_font.setBold(true);
  title->setFont(title_font);
  auto* version = new QLabel(Msg(3124) + QStringLiteral(SONIVERA_VERSION), this);
  version->setObjectName(QStringLiteral("LabelVersion"));
  auto* purpose = new QLabel(Msg(3132), this);
  auto* companion = new QLabel(Msg(3125) + CompanionVersion(app.Folder().Path()), this);
  companion->setObjectName(QStringLiteral("LabelCompanion"));
  auto* database =
      new QLabel(Msg(3131) + QDir::toNativeSeparators(app.settings().DatabasePath), this);
  database->setTextInteractionFlags(Qt::TextSelectableByMouse);
  database->setWordWrap(true);
  auto* maker = new QLabel(Msg(1064), this);

  auto* text = new QVBoxLayout;
  for (QWidget* line : {static_cast<QWidget*>(title), static_cast<QWidget*>(version),
                        static_cast<QWidget*>(purpose), static_cast<QWidget*>(maker),
                        static_cast<QWidget*>(companion), static_cast<QWidget*>(database)}) {
    text->addWidget(line);
  }
  auto* top = new QHBoxLayout;
  top->addWidget(picture, 0, Qt::AlignTop);
  top->addLayout(text, 1);
  auto* buttons = new QDialogButtonBox(this);
  auto* close = buttons->addButton(Msg(14), QDialogButtonBox::AcceptRole);
  close->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
  setMinimumWidth(420);
}

}  // namespace sonivera::ui
