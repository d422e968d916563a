#include "instrument/SerialLink.h"

#include <termios.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "base/AppError.h"
#include "base/ErrorLog.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "instrument/ConversionFile.h"
#include "instrument/PortProbe.h"
#include "instrument/Tx730Parser.h"

namespace sonivera {

namespace {
void RunEventLoop(int times) {
  for (int i = 0; i < times; ++i) QCoreApplication::processEvents();
}

long OpenErrorNumber(QSerialPort::SerialPortError error) {
  switch (error) {
    case QSerialPort::DeviceNotFoundError:
      return linkerr::kInvalidPort;
    case QSerialPort::PermissionError:
    case QSerialPort::OpenError:
      return linkerr::kPortOpen;
    case QSerialPort::UnsupportedOperationError:
      return linkerr::kSettings;
    default:
      return linkerr::kNoHardware;
  }
}
}  // namespace

MarkedInput UnmarkInput(QByteArray& pending, const QByteArray& received) {
  MarkedInput out;
  const QByteArray bytes = pending + received;
  pending.clear();
  qsizetype i = 0;
  while (i < bytes.size()) {
    const char c = bytes.at(i);
    if (c != '\xff') {
      out.data += c;
      ++i;
      continue;
    }
    if (i + 1 >= bytes.size()) {
      pending = bytes.mid(i);
      break;
    }
    if (bytes.at(i + 1) == '\xff') {
      out.data += '\xff';
      i += 2;
      continue;
    }
    if (bytes.at(i + 1) != '\0') {  // not a mark: keep the byte as it came
      out.data += c;
      ++i;
      continue;
    }
    if (i + 2 >= bytes.size()) {
      pending = bytes.mid(i);
      break;
    }
    if (bytes.at(i + 2) == '\0') out.break_seen = true;
    i += 3;  // a break, or a character received with a framing or parity error
  }
  return out;
}

SerialLink::SerialLink(const Settings& settings, const ProgramFolder& folder,
                       ErrorReporter& reporter, QObject* parent)
    : QObject(parent), settings_(settings), folder_(folder), reporter_(reporter) {}

SerialLink::~SerialLink() { Close(); }

FramingMode SerialLink::Mode() const {
  return FramingModeFor(settings_.AudiometerSeries, settings_.ConversionFile);
}

bool SerialLink::IsOpen() const { return port_ && port_->isOpen(); }

void SerialLink::Close() {
  if (!port_) return;
  if (port_->isOpen()) {
    // What was written must leave before the port goes.
    if (port_->bytesToWrite() > 0) port_->waitForBytesWritten(2000);
    port_->close();
  }
  port_->disconnect(this);
  port_.release()->deleteLater();
}

bool SerialLink::ApplyLineSettings(bool series1, bool passive) {
  bool ok =
      port_->setBaudRate(QSerialPort::Baud9600) && port_->setDataBits(QSerialPort::Data8) &&
      port_->setParity(QSerialPort::NoParity) &&
      port_->setStopBits(series1 ? QSerialPort::TwoStop : QSerialPort::OneStop) &&
      port_->setFlowControl(series1 ? QSerialPort::HardwareControl : QSerialPort::NoFlowControl);
  if (passive && port_->isOpen()) {
    // A pseudo-terminal or a three-wire adapter has no control lines.
    port_->setDataTerminalReady(false);
    port_->setRequestToSend(true);
  }
  return ok;
}

void SerialLink::MarkBreaks() {
  marking_ = false;
  pending_escape_.clear();
  const int fd = int(port_->handle());
  termios tio{};
  if (fd < 0 || tcgetattr(fd, &tio) != 0) return;
  tio.c_iflag |= PARMRK;
  tio.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | IGNPAR | ISTRIP);
  marking_ = tcsetattr(fd, TCSANOW, &tio) == 0;
}

bool SerialLink::OpenSerialLink() {
  last_open_error_ = 0;
  const int number = settings_.SerialPortNumber;
  if (number == 0) return false;
  if (IsOpen()) {
    RunEventLoop(4);
    Close();
    RunEventLoop(3);
  } else if (port_) {
    Close();
  }
  RunEventLoop(3);
  const bool series1 = Mode() == FramingMode::Series1Blocks;
  const bool passive = Mode() == FramingMode::PassiveLines;
  port_ = std::make_unique<QSerialPort>();
  port_->setPortName(DevicePathForPort(folder_, number));
  ApplyLineSettings(series1, passive);
  if (!port_->open(QIODevice::ReadWrite)) {
    last_open_error_ = OpenErrorNumber(port_->error());
    const QString description = port_->errorString();
    port_.reset();
    if (last_open_error_ == linkerr::kInvalidPort) {
      reporter_.prompter().Show(
          QStringLiteral("Unavailable comm port. Please select a different comm port from the "
                         "connection tab in the configuration window, and check cable is "
                         "plugged in."),
          QStringLiteral("TX730"), Prompter::Buttons::Ok, Prompter::Answer::Ok,
          Prompter::Icon::Exclamation);
    } else {
      reporter_.ShowAndLog(
          StandardErrorText(description, last_open_error_, QStringLiteral(" (serialcomms_init)")));
    }
    return false;
  }
  ApplyLineSettings(series1, passive);
  if (passive) MarkBreaks();
  connect(port_.get(), &QSerialPort::readyRead, this, &SerialLink::OnReadyRead);
  connect(port_.get(), &QSerialPort::errorOccurred, this, &SerialLink::OnError);
  port_->clear();
  port_->readAll();
  framing_.ClearBuffer();
  return true;
}

void SerialLink::ArmReceiving() {
  OpenSerialLink();
  framing_.SetMode(Mode());
  ClearTransfer();
  overflow_reported_ = false;
  LinkArmed = true;
  StopRequested = false;
  DataSeen = false;
  if (on_busy) on_busy(false);
  if (on_export_allowed) on_export_allowed(false);
}

void SerialLink::RebuildImportBuffer() {
  buffer_.clear();
  try {
    ConversionFile conversion = ConversionFile::Open(folder_.File(settings_.ConversionFile));
    buffer_ = BuildImportBuffer(framing_.Lines(), conversion,
                                IsSeries1ConversionFile(settings_.ConversionFile));
  } catch (const AppError& error) {
    reporter_.ShowAndLog(StandardErrorText(error.Description(), error.Number(),
                                           ErrorTag(QStringLiteral("transferimporttobuffer"))));
  }
}

void SerialLink::ParseNewLines() {
  const bool series1 = IsSeries1ConversionFile(settings_.ConversionFile);
  const auto& lines = framing_.Lines();
  const size_t framed = size_t(framing_.FramedLines());
  // Only lines appended since the last parse are new; anything else (a
  // Series 1 transfer, a reset) is parsed from the start.
  if (series1 || buffer_.size() > framed) {
    RebuildImportBuffer();
    return;
  }
  if (buffer_.size() == framed) return;
  try {
    ConversionFile conversion = ConversionFile::Open(folder_.File(settings_.ConversionFile));
    const std::vector<QString> fresh(lines.begin() + qsizetype(buffer_.size()),
                                     lines.begin() + qsizetype(framed));
    for (ImportRecord& record : BuildImportBuffer(fresh, conversion, false)) {
      buffer_.push_back(std::move(record));
    }
  } catch (const AppError& error) {
    reporter_.ShowAndLog(StandardErrorText(error.Description(), error.Number(),
                                           ErrorTag(QStringLiteral("transferimporttobuffer"))));
  }
}

void SerialLink::ClearTransfer() {
  framing_.Reset();
  buffer_.clear();
}

void SerialLink::SendCommand(const QString& command) { Write(command + QStringLiteral("\r\n")); }

void SerialLink::Write(const QString& text) {
  if (!IsOpen()) return;
  port_->write(text.toLatin1());
  port_->flush();
}

void SerialLink::PauseSeconds(double seconds) {
  if (seconds <= 0) return;
  QEventLoop loop;
  QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
  loop.exec();
}

QString SerialLink::TakeWaiting() {
  if (!IsOpen()) return {};
  QByteArray bytes = port_->readAll();
  if (marking_) bytes = UnmarkInput(pending_escape_, bytes).data;
  return QString::fromLatin1(bytes);
}

void SerialLink::OnReadyRead() {
  if (!port_) return;
  QByteArray bytes = port_->readAll();
  if (marking_) {
    const MarkedInput input = UnmarkInput(pending_escape_, bytes);
    if (input.break_seen) {
      BreakReceived();
      return;
    }
    bytes = input.data;
  }
  if (!bytes.isEmpty()) Received(QString::fromLatin1(bytes));
}

void SerialLink::Received(const QString& text) {
  framing_.SetMode(Mode());
  if (!LinkArmed) {
    framing_.Accumulate(text);
    return;
  }
  if (StopRequested) {
    framing_.Accumulate(text);
    return;
  }
  DataSeen = true;
  const bool passive = Mode() == FramingMode::PassiveLines;
  if (passive && on_busy) on_busy(true);
  if (!framing_.Receive(text)) return;
  // A read may bring several records; each is framed by an event of its own,
  // as a port that raises an event per few characters would.
  if (framing_.HasCompleteRecord()) {
    QTimer::singleShot(0, this, [this] {
      if (LinkArmed && !StopRequested) Received(QString());
    });
  }
  if (framing_.Dropped() > 0) {
    if (!overflow_reported_) {
      overflow_reported_ = true;
      // Told at the first record not kept: how many follow is not known yet.
      const QString message = OverflowText(std::nullopt);
      reporter_.log().Append(message);
      if (on_overflow) on_overflow();
      reporter_.prompter().Show(message, QStringLiteral("TX730"), Prompter::Buttons::Ok,
                                Prompter::Answer::Ok, Prompter::Icon::Exclamation);
    }
    return;
  }
  if (on_count) on_count(framing_.LineCount());
  if (passive) {
    if (on_busy) on_busy(false);
    if (on_passive_line) on_passive_line();
  }
}

void SerialLink::BreakReceived() {
  if (Mode() != FramingMode::PassiveLines) return;
  // Reopening the port from inside its own event is not safe: do it next.
  QTimer::singleShot(0, this, [this] { ArmReceiving(); });
}

void SerialLink::OnError(QSerialPort::SerialPortError error) {
  // Line errors and line changes are no concern of the user; a device that
  // went away is.
  if (error != QSerialPort::ResourceError || !port_) return;
  const QString description = port_->errorString();
  QTimer::singleShot(0, this, [this] { Close(); });
  reporter_.ShowAndLog(StandardErrorText(description, linkerr::kNoHardware,
                                         QStringLiteral(" (mscomm1 oncomm:954)")));
}

}  // namespace sonivera
