#include "instrument/CompanionLink.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include "base/AppError.h"
#include "interchange/CsvFile.h"
#include "interchange/CsvLayout.h"

namespace sonivera {

using namespace companion;

namespace {

const QString kTagFetch = QStringLiteral("(getdata)");
const QString kTagTest = QStringLiteral("(launch data)");
// The test type a result transferred as a block from the instrument carries.
const QString kBlockTransferType = QStringLiteral("Upload");

// True when a line of the register file names the block-transfer test type.
bool CsvHasBlockTransferTest(const QString& path) {
  const auto file = ReadFileLines(path);
  if (!file || file->lines.isEmpty()) return false;
  const auto layout = DetectHeader(file->lines.front());
  if (!layout) return false;
  for (qsizetype i = 1; i < file->lines.size(); ++i) {
    const auto parsed = ParseCsvLine(file->lines[i], *layout);
    if (parsed.problem != LineProblem::None) continue;
    if (parsed.record[kCsvTestType].trimmed().compare(kBlockTransferType, Qt::CaseInsensitive) ==
        0) {
      return true;
    }
  }
  return false;
}

}  // namespace

CompanionLink::CompanionLink(const ProgramFolder& folder, const QString& port,
                             ErrorReporter& reporter, CompanionHooks hooks)
    : folder_(folder), port_(port), reporter_(reporter), hooks_(std::move(hooks)) {}

CompanionLink::~CompanionLink() {
  if (process_ != nullptr) {
    process_->kill();
    process_->waitForFinished(1000);
  }
}

bool CompanionLink::CompanionInstalled() const {
  return QFileInfo(folder_.File(kProgramFile)).isFile();
}

void CompanionLink::Pause(double seconds) {
  QEventLoop loop;
  QTimer::singleShot(static_cast<int>(seconds * hooks_.pause_scale * 1000), &loop,
                     &QEventLoop::quit);
  loop.exec();
}

void CompanionLink::SetRunning(bool running) {
  if (hooks_.on_running) hooks_.on_running(running);
}

void CompanionLink::ReportReplyProblem(const QString& description, const QString& code) {
  const QString head = QStringLiteral("No results\n") + description;
  reporter_.prompter().Show(head + u' ' + code, QStringLiteral("Instrument Error"),
                            Prompter::Buttons::Ok, Prompter::Answer::Ok,
                            Prompter::Icon::Information);
  reporter_.log().Append(head + code);
}

bool CompanionLink::RunCompanion(const QString& argument) {
  if (process_ != nullptr) return false;
  QProcess process;
  process.setProgram(folder_.File(kProgramFile));
  process.setArguments({argument});
  process.setWorkingDirectory(folder_.Path());
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  process.setInputChannelMode(QProcess::ForwardedInputChannel);
  QEventLoop loop;
  connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
  connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) loop.quit();
  });
  cancelled_ = false;
  process_ = &process;
  process.start();
  if (!process.waitForStarted(-1)) {
    process_ = nullptr;
    reporter_.prompter().Show(QStringLiteral("Error running ux730"), QStringLiteral("Error"),
                              Prompter::Buttons::Ok, Prompter::Answer::Ok,
                              Prompter::Icon::Critical);
    return false;
  }
  emit CompanionStarted();
  // No time limit: the companion ends when the examiner is done with it.
  if (process.state() != QProcess::NotRunning) loop.exec();
  process_ = nullptr;
  emit CompanionFinished();
  return !cancelled_;
}

void CompanionLink::Cancel() {
  if (process_ == nullptr) return;
  cancelled_ = true;
  process_->kill();
}

bool CompanionLink::WritePreviousValues(const std::array<QString, kThresholdBoxCount>& previous,
                                        const QString& previous_date) {
  QFile file(folder_.File(kPreviousValuesFile));
  const QByteArray text = PreviousValuesText(previous, previous_date);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size()) {
    reporter_.Report(file.errorString(), errnum::kPermissionDenied,
                     QStringLiteral("createprevvalux730"));
    return false;
  }
  return true;
}

std::optional<QByteArray> CompanionLink::ReadReplyFile() {
  const QString path = folder_.File(kReplyFile);
  if (!QFileInfo::exists(path)) Pause(2);
  if (!QFileInfo::exists(path)) return QByteArray(1, char(kStatusNoFile));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    reporter_.Report(file.errorString(), errnum::kPermissionDenied,
                     QStringLiteral("readveldatafile"));
    return std::nullopt;
  }
  const QByteArray bytes = file.readAll();
  file.close();
  // A reply is read once: left behind, it would pass for the next test's.
  if (!file.remove()) {
    reporter_.Report(file.errorString(), errnum::kPermissionDenied,
                     QStringLiteral("readveldatafile"));
    return std::nullopt;
  }
  return bytes;
}

std::optional<QByteArray> CompanionLink::ReadTestDataFile() {
  const QString path = folder_.File(kTestDataFile);
  for (int attempt = 1; attempt < 3 && !QFileInfo::exists(path); ++attempt) Pause(2);
  if (!QFileInfo::exists(path)) return std::nullopt;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw AppError(errnum::kPermissionDenied, file.errorString());
  }
  const QByteArray bytes = file.readAll();
  file.close();
  if (!file.remove()) throw AppError(errnum::kPermissionDenied, file.errorString());
  return bytes;
}

CompanionOutcome CompanionLink::CheckCsvReply() {
  const QString path = folder_.File(kCsvReplyFile);
  if (!QFileInfo::exists(path)) Pause(2);
  if (!QFileInfo::exists(path)) {
    ReportReplyProblem(QStringLiteral("Veldata.csv file not found."), QStringLiteral(", 850"));
    return {};
  }
  if (!CsvHasBlockTransferTest(path)) {
    ReportReplyProblem(QStringLiteral("Missing 'block transfer' test type value (TX730)."),
                       QStringLiteral(", 851"));
    return {};
  }
  return {CompanionOutcome::kCsvResult, {}, path};
}

CompanionOutcome CompanionLink::ReadReply(bool after_test) {
  const auto read = ReadReplyFile();
  if (!read) return {};  // reported while reading
  const QByteArray& reply = *read;
  // An empty file has no status; it is reported as an invalid one.
  const int status = reply.isEmpty() ? -1 : static_cast<unsigned char>(reply[0]);
  const QString status_text = reply.isEmpty() ? QString() : QString::number(status);
  switch (status) {
    case kStatusError: {
      if (reply.size() != kErrorReplySize) {
        reporter_.log().Append(MalformedErrorReplyText(reply));
        return {};
      }
      ReportReplyProblem(InstrumentErrorText(static_cast<unsigned char>(reply[2]),
                                             static_cast<unsigned char>(reply[3])),
                         after_test ? kTagTest : kTagFetch);
      return {};
    }
    case kStatusNoFile:
      ReportReplyProblem(QStringLiteral("Veldata file not found."),
                         after_test ? QStringLiteral(", 100A") : QStringLiteral(", 100B"));
      return {};
    case kStatusData: {
      if (!after_test) {
        const auto test = DecodeDataReply(reply);
        if (!test) {
          ReportReplyProblem(
              QStringLiteral("Veldata reply too short (%1 bytes).").arg(reply.size()),
              QStringLiteral("150B"));
          return {};
        }
        return {CompanionOutcome::kTest, *test, QString()};
      }
      const auto data = ReadTestDataFile();
      if (!data) {
        ReportReplyProblem(QStringLiteral("Vel730.tmp file not found"), QStringLiteral("102A"));
        return {};
      }
      const auto test = DecodeTestDataFile(*data);
      if (!test) {
        ReportReplyProblem(
            QStringLiteral("Vel730.tmp file too short (%1 bytes).").arg(data->size()),
            QStringLiteral("103A"));
        return {};
      }
      return {CompanionOutcome::kTest, *test, QString()};
    }
    case kStatusCsv:
      return CheckCsvReply();
    default:
      if (after_test) {
        ReportReplyProblem(QStringLiteral("Invalid value for veldata: first byte= ") + status_text +
                               QStringLiteral(" Check all your file versions for compatibility"),
                           QStringLiteral("152A"));
      } else {
        ReportReplyProblem(QStringLiteral("Veldata byte= ") + status_text +
                               QStringLiteral(" Check all your file versions for compatibility"),
                           QStringLiteral("152B"));
      }
      return {};
  }
}

CompanionOutcome CompanionLink::GetTestReadings() {
  try {
    return ReadReply(true);
  } catch (const AppError& e) {
    reporter_.Report(e.Description(), e.Number(), QStringLiteral("getux730readings"));
  } catch (const std::exception& e) {
    reporter_.Report(QString::fromUtf8(e.what()), 0, QStringLiteral("getux730readings"));
  }
  return {};
}

CompanionOutcome CompanionLink::GetInstrumentData() {
  try {
    return ReadReply(false);
  } catch (const AppError& e) {
    reporter_.Report(e.Description(), e.Number(), QStringLiteral("getveldata"));
  } catch (const std::exception& e) {
    reporter_.Report(QString::fromUtf8(e.what()), 0, QStringLiteral("getveldata"));
  }
  return {};
}

CompanionOutcome CompanionLink::LaunchOrGet(bool launch,
                                            const std::array<QString, kThresholdBoxCount>& previous,
                                            const QString& previous_date) {
  if (Running()) return {};
  if (!CompanionInstalled()) {
    const QString text = QStringLiteral("Could not find Bridger file.");
    reporter_.prompter().Show(text, QStringLiteral("UX730"));
    reporter_.log().Append(text);
    return {};
  }
  // Replies left by an earlier run must never pass for this one's.
  QFile::remove(folder_.File(kReplyFile));
  QFile::remove(folder_.File(kTestDataFile));
  if (launch && !WritePreviousValues(previous, previous_date)) return {};
  SetRunning(true);
  if (serial_.is_open && serial_.is_open()) {
    Pause(0.2);
    if (serial_.close) serial_.close();
  }
  const bool ran = RunCompanion(CommandArgument(launch ? kCommandTest : kCommandFetch, port_));
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  CompanionOutcome outcome;
  if (ran) outcome = launch ? GetTestReadings() : GetInstrumentData();
  SetRunning(false);
  return outcome;
}

bool CompanionLink::SendData() {
  if (Running()) return false;
  if (!CompanionInstalled()) {
    const QString text = QStringLiteral("Could not find Bridger file.");
    reporter_.prompter().Show(text, QStringLiteral("UX730"));
    reporter_.log().Append(text);
    return false;
  }
  SetRunning(true);
  bool ran = false;
  if (hooks_.export_register && hooks_.export_register(folder_.File(kCsvReplyFile))) {
    Pause(1);
    ran = RunCompanion(QString(kCommandSendList) + u' ');
  }
  SetRunning(false);
  return ran;
}

}  // namespace sonivera
