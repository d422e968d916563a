#include "categorise/Recategorise.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include "base/AppError.h"
#include "app/Application.h"
#include "base/Messages.h"
#include "categorise/Categorise.h"
#include "categorise/PatientTests.h"
#include "categorise/ShiftCheck.h"

namespace sonivera {

namespace {
// How long a whole-database run works between commits: each patient stays
// whole, a stop or the end commits what is done, and few commits keep the
// run fast.
constexpr qint64 kCommitEveryMs = 2000;

const QString kRecategoriseTag = QStringLiteral(" (recategorise)");

void ReportDatabaseError(Application& app, const db::SqliteError& error, const QString& tag) {
  app.Reporter().ShowAndLog(
      StandardErrorText(QString::fromUtf8(error.what()), db::ErrorNumberFor(error), tag));
}

void YieldToEvents() {
  if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}

void LoadRows(AudiogramGrid& grid, int row, const std::vector<StoredThresholds>& rows, size_t at) {
  for (int column = 0; column < 9; ++column) {
    grid.SetCell(row, column, rows[at][column]);
    grid.SetCell(row + 1, column, at + 1 < rows.size() ? rows[at + 1][column] : QStringLiteral(""));
  }
}
}  // namespace

// The passes over one patient, with statements prepared once for a run over
// many patients.
class Recategoriser {
 public:
  explicit Recategoriser(Application& app)
      : app_(app),
        connection_(app.Db().Conn()),
        reader_(connection_),
        patient_(connection_, QStringLiteral("SELECT DOB, Sex FROM PatDetails WHERE PatNo = ?1")),
        oldest_first_(connection_,
                      QStringLiteral("SELECT rowid, DateofTest, PreviousTest FROM TestDetails "
                                     "WHERE PatNo = ?1 ORDER BY DateofTest, TimeofTest, rowid")),
        set_previous_(connection_,
                      QStringLiteral("UPDATE TestDetails SET PreviousTest = ?1 WHERE rowid = ?2")),
        store_(connection_, QStringLiteral("UPDATE TestDetails SET Categorisation = ?1, MP42 = ?2, "
                                           "PAM = ?3, IPA = ?4 WHERE rowid = ?5")),
        store_recall_(connection_,
                      QStringLiteral("UPDATE TestDetails SET RecallDate = ?1 WHERE rowid = ?2")) {}

  void Relink(const QString& pat_no) {
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

  void Patient(const QString& pat_no, const std::optional<AddedTest>& added = std::nullopt) {
    AppState& app_state = app_.State();
    CategorisationState& state = app_state.categorisation;
    patient_.Reset();
    patient_.Bind(1, pat_no);
    if (!patient_.Step()) {
      patient_.Reset();
      state.CategorisationText = QStringLiteral("");
      return;
    }
    state.view.DOB = StoredDateToView(patient_.Text(0));
    const QString sex = patient_.Text(1);
    state.view.sex = sex.compare(QLatin1String("Male"), Qt::CaseInsensitive) == 0     ? Sex::Male
                     : sex.compare(QLatin1String("Female"), Qt::CaseInsensitive) == 0 ? Sex::Female
                                                                                      : Sex::None;
    state.view.PatNo = pat_no;
    patient_.Reset();

    const PatientTests tests = reader_.Read(pat_no);
    const size_t count = tests.InStep();
    CategoriseEnv env = EnvFor(app_);
    // The added test (newest first: index `at`) and the newer one after it.
    std::optional<size_t> at;
    for (size_t k = 0; added && k < count && !at; ++k) {
      if (tests.details[k].DateofTest == added->date && tests.details[k].TimeofTest == added->time)
        at = k;
    }
    for (size_t k = 0; k < count; ++k) {
      const bool changed = !at || k == *at || k + 1 == *at || (k == 0 && app_state.NewTestPending);
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
        app_.Reporter().ShowAndLog(
            StandardErrorText(error.Description(), error.Number(), kRecategoriseTag));
        continue;
      }
      if (state.CategorisationText.contains(QLatin1String("no test"), Qt::CaseInsensitive)) {
        state.CategorisationText = QStringLiteral("-");
      }
      const bool newest = k == 0;
      if (newest && app_state.schemes.CheckSTS && app_state.NewTestPending && count > 1 &&
          OneMonthRecallDue(tests.details[1].DateofTest, tests.details[1].RecallDate)) {
        app_.Ask().Show(QStringLiteral("This is a 1 month recall test, so please compare with "
                                       "the original test."),
                        QStringLiteral("Onr Month Recall"), Prompter::Buttons::Ok);
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
      if (newest && app_state.NewTestPending && state.recall_dialog) {
        if (const auto recall = state.recall_dialog(state.CategorisationText)) {
          store_recall_.Reset();
          store_recall_.Bind(1, recall->toString(QStringLiteral("yyyy-MM-dd")))
              .Bind(2, test.rowid)
              .Run();
        }
      }
    }
  }

  db::Connection& Connection() { return connection_; }

 private:
  Application& app_;
  db::Connection& connection_;
  PatientTestReader reader_;
  db::Statement patient_;
  db::Statement oldest_first_;
  db::Statement set_previous_;
  db::Statement store_;
  db::Statement store_recall_;
};

namespace {
// Runs one pass over one patient as a unit: all its rows change or none.
template <typename Pass>
bool RunPass(Application& app, const char* savepoint, Pass pass) {
  try {
    Savepoint unit(app.Db().Conn(), savepoint);
    pass();
    unit.Release();
    return true;
  } catch (const db::SqliteError& error) {
    ReportDatabaseError(app, error, kRecategoriseTag);
  } catch (const AppError& error) {
    app.Reporter().ShowAndLog(
        StandardErrorText(error.Description(), error.Number(), kRecategoriseTag));
  }
  return false;
}
}  // namespace

void RelinkPreviousTests(Application& app, const QString& pat_no) {
  if (!app.Db().IsOpen()) return;
  RunPass(app, "relink", [&] { Recategoriser(app).Relink(pat_no); });
}

void RecategorisePatient(Application& app, const QString& pat_no,
                         const std::optional<AddedTest>& added) {
  if (!app.Db().IsOpen()) {
    app.State().categorisation.CategorisationText = QStringLiteral("");
    return;
  }
  RunPass(app, "recategorise", [&] { Recategoriser(app).Patient(pat_no, added); });
}

void RecategoriseStop(Application& app) { app.State().categorisation.RecategoriseStop = true; }

RecategoriseOutcome RecategoriseAll(Application& app,
                                    const std::function<void(int, int)>& progress) {
  RecategoriseOutcome outcome;
  AppState& state = app.State();
  const auto answer = app.Ask().Show(Msg(1034), Msg(1035), Prompter::Buttons::OkCancel,
                                     Prompter::Answer::Ok, Prompter::Icon::Question);
  if (answer != Prompter::Answer::Ok) {
    outcome.cancelled = true;
    return outcome;
  }
  state.categorisation.RecategoriseStop = false;
  const bool was_bulk = state.BulkMode;
  state.BulkMode = true;
  try {
    db::Connection& connection = app.Db().Conn();
    QStringList patients;
    {
      // The register's order: the latest tests first.
      auto list = connection.Prepare(QStringLiteral(
          "SELECT PatNo FROM PatDetails ORDER BY DateofTest DESC, TimeofTest DESC, PatNo"));
      while (list.Step()) patients << list.Text(0);
    }
    outcome.patients_total = static_cast<int>(patients.size());
    auto bar = app.Ask().StartProgress(Msg(821), outcome.patients_total);
    Recategoriser recategoriser(app);
    auto batch = std::make_unique<Savepoint>(connection, "recatall");
    QElapsedTimer since_commit;
    since_commit.start();
    for (const QString& pat_no : patients) {
      if (state.categorisation.RecategoriseStop || (bar && bar->StopRequested())) {
        outcome.stopped = true;
        break;
      }
      YieldToEvents();
      state.CurrentPatNo = pat_no;
      RunPass(app, "relink", [&] { recategoriser.Relink(pat_no); });
      RunPass(app, "recategorise", [&] { recategoriser.Patient(pat_no); });
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
    if (state.categorisation.RecategoriseStop) outcome.stopped = true;
    batch->Release();
    if (bar) bar->SetLabel(Msg(outcome.stopped ? 1119 : 1118));
    if (!patients.isEmpty()) state.CurrentPatNo = patients.first();
  } catch (const db::SqliteError& error) {
    ReportDatabaseError(app, error, QStringLiteral(" (recatall:954)"));
  }
  state.BulkMode = was_bulk;
  return outcome;
}

}  // namespace sonivera
