#include "register/Recategorise.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include "base/AppError.h"
#include "base/ErrorLog.h"
#include "base/Messages.h"
#include "categorise/Categorise.h"
#include "categorise/ShiftCheck.h"
#include "db/Database.h"
#include "register/PatientAudiograms.h"

namespace sonivera {

namespace {
// How long a whole-database run works between commits: each patient stays
// whole, a stop or the end commits what is done, and few commits keep the
// run fast.
constexpr qint64 kCommitEveryMs = 2000;

const QString kRecategoriseTag = ErrorTag(QStringLiteral("recategorise"), kNoMessage);

void ReportDatabaseError(ErrorReporter& reporter, const db::SqliteError& error,
                         const QString& tag) {
  reporter.ShowAndLog(
      StandardErrorText(QString::fromUtf8(error.what()), db::ErrorNumberFor(error), tag));
}

void YieldToEvents() {
  if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}

void LoadRow(AudiogramGrid& grid, int row, const std::vector<StoredThresholds>& rows, size_t at) {
  for (int column = 0; column < 9; ++column) {
    grid.SetCell(row, column, at < rows.size() ? rows[at][column] : QStringLiteral(""));
  }
}

void Inform(Prompter& prompter, const QString& text) {
  prompter.Show(text, ApplicationTitle(), Prompter::Buttons::Ok, Prompter::Answer::Ok,
                Prompter::Icon::Information);
}

void LoadRows(AudiogramGrid& grid, int row, const std::vector<StoredThresholds>& rows, size_t at) {
  for (int column = 0; column < 9; ++column) {
    grid.SetCell(row, column, rows[at][column]);
    grid.SetCell(row + 1, column, at + 1 < rows.size() ? rows[at + 1][column] : QStringLiteral(""));
  }
}
}  // namespace

namespace {
// Runs one pass over one patient as a unit: all its rows change or none.
template <typename Pass>
bool RunPass(db::Connection& connection, ErrorReporter& reporter, const char* savepoint,
             Pass pass) {
  try {
    Savepoint unit(connection, savepoint);
    pass();
    unit.Release();
    return true;
  } catch (const db::SqliteError& error) {
    ReportDatabaseError(reporter, error, kRecategoriseTag);
  } catch (const AppError& error) {
    reporter.ShowAndLog(StandardErrorText(error.Description(), error.Number(), kRecategoriseTag));
  }
  return false;
}
}  // namespace

Recategoriser::Recategoriser(db::Connection& connection)
    : connection_(connection),
      reader_(connection_),
      patient_(connection_, QStringLiteral("SELECT DOB, Sex FROM PatDetails WHERE PatNo = ?1")),
      oldest_first_(connection_,
                    QStringLiteral("SELECT rowid, DateofTest, PreviousTest FROM TestDetails "
                                   "WHERE PatNo = ?1 ORDER BY DateofTest, TimeofTest, rowid")),
      set_previous_(connection_,
                    QStringLiteral("UPDATE TestDetails SET PreviousTest = ?1 WHERE rowid = ?2")),
      store_(connection_, QStringLiteral("UPDATE TestDetails SET Categorisation = ?1, MP42 = ?2, "
                                         "PAM = ?3, IPA = ?4 WHERE rowid = ?5")) {}

Recategoriser::~Recategoriser() = default;

void Recategoriser::Relink(const QString& pat_no) {
  struct Row {
    qint64 rowid;
    QString date;
    QString previous;
  };
  std::vector<Row> rows;
  oldest_first_.Reset();
  oldest_first_.Bind(1, pat_no);
  while (oldest_first_.Step()) {
    rows.push_back({oldest_first_.Int(0), oldest_first_.Text(1), oldest_first_.Text(2)});
  }
  oldest_first_.Reset();
  for (size_t i = 1; i < rows.size(); ++i) {
    const QString& before = rows[i - 1].date;
    if (rows[i].previous == before && rows[i].previous.isNull() == before.isNull()) continue;
    set_previous_.Reset();
    set_previous_.Bind(1, before).Bind(2, rows[i].rowid).Run();
  }
}

NewestTest Recategoriser::Patient(CategoriseEnv& env, const QString& pat_no,
                                const std::optional<AddedTest>& added) {
  CategorisationState& state = env.state;
  NewestTest newest_test;
  patient_.Reset();
  patient_.Bind(1, pat_no);
  if (!patient_.Step()) {
    patient_.Reset();
    state.CategorisationText = QStringLiteral("");
    return newest_test;
  }
  state.view.DOB = StoredDateToView(patient_.Text(0));
  const QString sex = patient_.Text(1);
  state.view.sex = sex.compare(QLatin1String("Male"), Qt::CaseInsensitive) == 0     ? Sex::Male
                   : sex.compare(QLatin1String("Female"), Qt::CaseInsensitive) == 0 ? Sex::Female
                                                                                    : Sex::None;
  state.view.PatNo = pat_no;
  patient_.Reset();

  const PatientAudiograms tests = reader_.Read(pat_no);
  const size_t count = tests.InStep();
  // The added test (newest first: index `at`) and the newer one after it;
  // the newest is always done, as the save reports on it.
  std::optional<size_t> at;
  for (size_t k = 0; added && k < count && !at; ++k) {
    if (tests.details[k].DateofTest == added->date && tests.details[k].TimeofTest == added->time)
      at = k;
  }
  for (size_t k = 0; k < count; ++k) {
    const bool changed = !at || k == *at || k + 1 == *at || k == 0;
    if (!changed) continue;
    const StoredTest& test = tests.details[k];
    LoadRows(state.grid, 0, tests.left, k);
    LoadRows(state.grid, 2, tests.right, k);
    state.view.DateofTest = StoredDateToView(test.DateofTest);
    state.view.TimeofTest = StoredTimeToView(test.TimeofTest);
    state.view.PreviousTest = StoredDateToView(test.PreviousTest);
    try {
      Categorise(env);
    } catch (const AppError& error) {
      // The test keeps what was stored; the patient's other tests go on.
      env.reporter.ShowAndLog(
          StandardErrorText(error.Description(), error.Number(), kRecategoriseTag));
      continue;
    }
    if (state.CategorisationText.contains(QLatin1String("no test"), Qt::CaseInsensitive)) {
      state.CategorisationText = QStringLiteral("-");
    }
    const bool newest = k == 0;
    if (newest) {
      newest_test.found = true;
      newest_test.rowid = test.rowid;
      newest_test.categorisation = state.CategorisationText;
      newest_test.one_month_recall_due =
          count > 1 &&
          OneMonthRecallDue(tests.details[1].DateofTest, tests.details[1].RecallDate);
    }
    // Rows whose results are already right are not written again.
    const bool unchanged = !test.Categorisation.isNull() &&
                           test.Categorisation == state.CategorisationText &&
                           test.MP42 == static_cast<double>(state.Mp42Value) &&
                           test.PAM == static_cast<double>(state.PamValue) &&
                           test.IPA == static_cast<double>(state.IpaValue);
    if (!unchanged) {
      store_.Reset();
      store_.Bind(1, state.CategorisationText)
          .Bind(2, static_cast<double>(state.Mp42Value))
          .Bind(3, static_cast<double>(state.PamValue))
          .Bind(4, static_cast<double>(state.IpaValue))
          .Bind(5, test.rowid)
          .Run();
    }
  }
  return newest_test;
}


void Recategoriser::RelinkAsUnit(ErrorReporter& reporter, const QString& pat_no) {
  RunPass(connection_, reporter, "relink", [&] { Relink(pat_no); });
}

NewestTest Recategoriser::PatientAsUnit(const CategoriseEnv& env, const QString& pat_no,
                                        const std::optional<AddedTest>& added) {
  NewestTest newest;
  CategoriseEnv patient_env = env;
  RunPass(connection_, env.reporter, "recategorise",
          [&] { newest = Patient(patient_env, pat_no, added); });
  return newest;
}

void RelinkPreviousTests(db::Database& database, ErrorReporter& reporter, const QString& pat_no) {
  if (!database.IsOpen()) return;
  Recategoriser(database.Conn()).RelinkAsUnit(reporter, pat_no);
}

NewestTest RecategorisePatient(db::Database& database, const CategoriseEnv& env,
                               const QString& pat_no, const std::optional<AddedTest>& added) {
  if (!database.IsOpen()) {
    env.state.CategorisationText = QStringLiteral("");
    return {};
  }
  return Recategoriser(database.Conn()).PatientAsUnit(env, pat_no, added);
}

RecategoriseOutcome RecategoriseAll(db::Database& database, CategoriseEnv env,
                                    const std::function<void(int, int)>& progress) {
  RecategoriseOutcome outcome;
  CategorisationState& state = env.state;
  Prompter& ask = env.Ask();
  const auto answer = ask.Show(Msg(1034), Msg(1035), Prompter::Buttons::OkCancel,
                               Prompter::Answer::Ok, Prompter::Icon::Question);
  if (answer != Prompter::Answer::Ok) {
    outcome.cancelled = true;
    return outcome;
  }
  state.RecategoriseStop = false;
  env.bulk_mode = true;
  try {
    db::Connection& connection = database.Conn();
    QStringList patients;
    {
      // The register's order: the latest tests first.
      auto list = connection.Prepare(QStringLiteral(
          "SELECT PatNo FROM PatDetails ORDER BY DateofTest DESC, TimeofTest DESC, PatNo"));
      while (list.Step()) patients << list.Text(0);
    }
    outcome.patients_total = static_cast<int>(patients.size());
    auto bar = ask.StartProgress(Msg(821), outcome.patients_total);
    Recategoriser recategoriser(connection);
    auto batch = std::make_unique<Savepoint>(connection, "recatall");
    QElapsedTimer since_commit;
    since_commit.start();
    for (const QString& pat_no : patients) {
      if (state.RecategoriseStop || (bar && bar->StopRequested())) {
        outcome.stopped = true;
        break;
      }
      YieldToEvents();
      recategoriser.RelinkAsUnit(env.reporter, pat_no);
      recategoriser.PatientAsUnit(env, pat_no);
      YieldToEvents();
      ++outcome.patients_done;
      if (bar) bar->SetValue(outcome.patients_done);
      if (progress) progress(outcome.patients_done, outcome.patients_total);
      if (since_commit.elapsed() >= kCommitEveryMs) {
        since_commit.restart();
        batch->Release();
        batch = std::make_unique<Savepoint>(connection, "recatall");
      }
    }
    if (state.RecategoriseStop) outcome.stopped = true;
    batch->Release();
    if (bar) bar->SetLabel(Msg(outcome.stopped ? 1119 : 1118));
    if (!patients.isEmpty()) outcome.first_patient = patients.first();
  } catch (const db::SqliteError& error) {
    ReportDatabaseError(env.reporter, error, ErrorTag(QStringLiteral("recatall")));
  }
  return outcome;
}

RecheckOutcome RecheckShift(db::Database& database, CategorisationState& state,
                            ErrorReporter& reporter, const QString& pat_no, int test_index) {
  try {
    db::Connection& connection = database.Conn();
    PatientTestReader reader(connection);
    const PatientAudiograms tests = reader.Read(pat_no);
    const size_t shown = static_cast<size_t>(std::max(0, test_index));
    LoadRow(state.grid, 0, tests.left, shown);
    LoadRow(state.grid, 2, tests.right, shown);
    if (shown + 1 < tests.details.size() &&
        !tests.details[shown + 1].Categorisation.contains(QLatin1String("+10"))) {
      Inform(reporter.prompter(),
             QStringLiteral("The previous test does not have +10dB categorisation."));
      return RecheckOutcome::NotFlagged;
    }
    const size_t reference = shown + 2;
    LoadRow(state.grid, 1, tests.left, reference);
    LoadRow(state.grid, 3, tests.right, reference);
    state.CategorisationText = QStringLiteral("");
    ShiftCheck(state);
    if (reference >= tests.details.size() || reference >= tests.left.size() ||
        reference >= tests.right.size()) {
      Inform(reporter.prompter(), QStringLiteral("No previous test result available."));
      return RecheckOutcome::NoPreviousTest;
    }
    auto update = connection.Prepare(
        QStringLiteral("UPDATE TestDetails SET Categorisation = ?1 WHERE rowid = ?2"));
    update.Bind(1, state.CategorisationText).Bind(2, tests.details[shown].rowid).Run();
    state.CategorisationBox = state.CategorisationText;
    return RecheckOutcome::Stored;
  } catch (const AppError& error) {
    reporter.Report(error.Description(), error.Number(), QStringLiteral("recheck10db"));
  } catch (const db::SqliteError& error) {
    reporter.Report(QString::fromUtf8(error.what()), db::ErrorNumberFor(error),
                    QStringLiteral("recheck10db"));
  }
  return RecheckOutcome::Failed;
}

}  // namespace sonivera
