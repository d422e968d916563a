// categorise and recategorise: the categorisation schemes on audiograms
// given as JSON lines, and the whole-database recategorisation.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>

#include "base/AppError.h"
#include "base/ErrorLog.h"
#include "base/Messages.h"
#include "base/ProgramFolder.h"
#include "base/UserLocale.h"
#include "categorise/Categorise.h"
#include "cli/Session.h"
#include "register/Recategorise.h"

namespace sonivera::cli {

namespace {
// Collects the texts of the messages the schemes show; questions take their
// default answer, as in a bulk run.
class CollectingPrompter : public Prompter {
 public:
  Answer Show(const QString& text, const QString&, Buttons, Answer default_answer, Icon) override {
    texts.append(text);
    return default_answer;
  }
  std::optional<QString> OpenFile(const FileDialogSpec&) override { return std::nullopt; }
  std::optional<QString> SaveFile(const FileDialogSpec&) override { return std::nullopt; }
  std::unique_ptr<Progress> StartProgress(const QString&, int) override { return nullptr; }
  std::optional<LoginResult> Login() override { return std::nullopt; }
  QJsonArray texts;
};

class BadLine : public std::runtime_error {
 public:
  explicit BadLine(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// Nine thresholds, 250 Hz to 8 kHz, each a whole number or null.
void ReadEar(const QJsonObject& object, const char* name, AudiogramGrid& grid, int row,
             bool required) {
  const QJsonValue value = object.value(QLatin1String(name));
  if (value.isUndefined() && !required) return;
  if (!value.isArray() || value.toArray().size() != 9) {
    throw BadLine(QStringLiteral("%1 must be an array of 9 thresholds").arg(name));
  }
  const QJsonArray values = value.toArray();
  for (int column = 0; column < 9; ++column) {
    const QJsonValue cell = values.at(column);
    if (cell.isNull()) continue;
    const double number = cell.toDouble(std::nan(""));
    if (!cell.isDouble() || std::floor(number) != number || number < -32768 || number > 32767) {
      throw BadLine(QStringLiteral("%1[%2] must be a whole number from -32768 to 32767 or null")
                        .arg(name)
                        .arg(column));
    }
    grid.SetCell(row, column, QString::number(static_cast<long long>(number)));
  }
}

QString ReadText(const QJsonObject& object, const char* name, const QString& missing) {
  const QJsonValue value = object.value(QLatin1String(name));
  if (value.isUndefined()) return missing;
  if (!value.isString()) throw BadLine(QStringLiteral("%1 must be a text").arg(name));
  return value.toString();
}

QJsonObject CategoriseLine(const QByteArray& line, const QString& log_path) {
  QJsonParseError parse_error;
  const QJsonDocument document = QJsonDocument::fromJson(line, &parse_error);
  if (parse_error.error != QJsonParseError::NoError) {
    throw BadLine(QStringLiteral("not JSON: ") + parse_error.errorString());
  }
  if (!document.isObject()) throw BadLine(QStringLiteral("not a JSON object"));
  const QJsonObject input = document.object();

  CategorisationState state;
  state.grid.Clear();
  ReadEar(input, "left", state.grid, 0, true);
  ReadEar(input, "prevLeft", state.grid, 1, false);
  ReadEar(input, "right", state.grid, 2, true);
  ReadEar(input, "prevRight", state.grid, 3, false);
  state.view.DateofTest = ReadText(input, "testDate", kEmptyDateMask);
  state.view.DOB = ReadText(input, "dob", kEmptyDateMask);
  state.view.PreviousTest = ReadText(input, "previousTest", kEmptyDateMask);
  state.view.PatNo = ReadText(input, "patNo", QString());
  const QString sex = ReadText(input, "sex", QString());
  if (sex == QLatin1String("M")) {
    state.view.sex = Sex::Male;
  } else if (sex == QLatin1String("F")) {
    state.view.sex = Sex::Female;
  } else if (sex.isEmpty()) {
    state.view.sex = Sex::None;
  } else {
    throw BadLine(QStringLiteral("sex must be \"M\", \"F\" or \"\""));
  }
  int lcid = ReadUserLocale();
  if (const QJsonValue value = input.value(QLatin1String("lcid")); !value.isUndefined()) {
    const double number = value.toDouble(-1);
    if (!value.isDouble() || number < 0 || number > 0x7fffffff || std::floor(number) != number) {
      throw BadLine(QStringLiteral("lcid must be a whole number"));
    }
    lcid = static_cast<int>(number);
  }
  SchemeChecks checks;  // unticked until the scheme list says otherwise
  ApplySchemeList(ReadText(input, "schemes", QString()), lcid, checks);

  CollectingPrompter prompter;
  ErrorLog log(log_path);
  ErrorReporter reporter(prompter, log);
  CategoriseEnv env{state, checks, true, lcid, reporter};
  QJsonValue categorisation;
  try {
    Categorise(env);
    QString text = state.CategorisationText;
    if (text.contains(QLatin1String("no test"), Qt::CaseInsensitive)) text = QStringLiteral("-");
    categorisation = text;
  } catch (const AppError& error) {
    // As recategorisation: reported, and nothing stored for the test.
    reporter.ShowAndLog(StandardErrorText(error.Description(), error.Number(),
                                          ErrorTag(QStringLiteral("recategorise"), kNoMessage)));
    categorisation = QJsonValue::Null;
  }
  QJsonObject output;
  output.insert(QStringLiteral("categorisation"), categorisation);
  output.insert(QStringLiteral("mp42"), static_cast<double>(state.Mp42Value));
  output.insert(QStringLiteral("pam"), static_cast<double>(state.PamValue));
  output.insert(QStringLiteral("ipa"), static_cast<double>(state.IpaValue));
  output.insert(QStringLiteral("messages"), prompter.texts);
  return output;
}

void WriteLine(const QJsonObject& object) {
  const QByteArray bytes = QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

const Command kCategorise{
    "categorise", "< AUDIOGRAMS.jsonl",
    "Categorises audiograms read as JSON lines on standard input and writes one JSON\n"
    "line per input line: what recategorisation would store for it. Input fields:\n"
    "  left, right, prevLeft, prevRight  9 thresholds (250, 500 Hz, 1, 1.5, 2, 3, 4, 6,\n"
    "                                    8 kHz), each a whole number or null\n"
    "  testDate, dob, previousTest       \"dd/mm/yyyy\" or the empty mask \"__/__/____\"\n"
    "  sex                               \"M\", \"F\" or \"\"\n"
    "  schemes                           a scheme list such as \"HSE2006\" or \",MP42,PAM,IPA\"\n"
    "  lcid                              the locale identifier (default: the user's)\n"
    "  patNo                             the patient number the messages name\n"
    "Output: categorisation, mp42, pam, ipa and messages (the texts shown in a bulk\n"
    "run). A line that cannot be read gives {\"error\": \"...\"} and the next goes on.",
    [](const CommandContext& context) {
      if (!context.args.isEmpty()) return Usage(CommandNamed("categorise"), "takes no arguments");
      const QString log_path =
          ProgramFolder(ProgramFolder::Resolve(context.folder)).File(QStringLiteral("err.log"));
      std::string line;
      while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        try {
          WriteLine(CategoriseLine(QByteArray::fromStdString(line), log_path));
        } catch (const BadLine& error) {
          WriteLine(QJsonObject{{QStringLiteral("error"), QString::fromStdString(error.what())}});
        }
      }
      std::fflush(stdout);
      return 0;
    }};

const Command kRecategorise{
    "recategorise", "",
    "Recategorises every audiogram of the database, patient by patient, as the\n"
    "configuration window's Recategorise button does (the question is answered OK).\n"
    "A progress bar is drawn on stderr when it is a terminal.",
    [](const CommandContext& context) {
      if (!context.args.isEmpty()) {
        return Usage(CommandNamed("recategorise"), "takes no arguments");
      }
      Session session = StartSession(context);
      if (!session.app) return 1;
      const RecategoriseOutcome outcome =
          RecategoriseAll(session.app->Db(), session.app->ForCategorising());
      if (!outcome.cancelled) {
        std::printf("%s: %d/%d\n", Msg(outcome.stopped ? 1119 : 1118).toLocal8Bit().constData(),
                    outcome.patients_done, outcome.patients_total);
      }
      EndSession(session);
      return outcome.cancelled || outcome.stopped ? 1 : 0;
    }};

const CommandRegistration kRegisterCategorise(kCategorise);
const CommandRegistration kRegisterRecategorise(kRecategorise);
}  // namespace

}  // namespace sonivera::cli
