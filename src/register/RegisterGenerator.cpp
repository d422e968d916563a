#include "register/RegisterGenerator.h"

#include <QTime>
#include <algorithm>
#include <cmath>

#include "base/DateText.h"
#include "db/BulkWrites.h"
#include "db/Sqlite.h"
#include "register/AnswerCodes.h"
#include "register/EntryFields.h"
#include "register/Recategorise.h"

namespace sonivera {

namespace {
// A small reproducible generator (SplitMix64): the same seed gives the same
// register on every build and platform.
class Random {
 public:
  explicit Random(quint64 seed) : state_(seed) {}
  quint64 Next() {
    quint64 z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  int Between(int low, int high) {  // inclusive
    return low + static_cast<int>(Next() % static_cast<quint64>(high - low + 1));
  }
  bool Chance(double p) { return Uniform() < p; }
  double Uniform() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }
  double Normal() {  // Box-Muller
    const double u1 = std::max(Uniform(), 1e-12), u2 = Uniform();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
  }
  template <typename T, size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Next() % N];
  }

 private:
  quint64 state_;
};

const char* const kSurnames[] = {
    "Smith",    "Jones",  "Taylor",   "Brown",  "Williams", "Wilson",  "Johnson", "Davies",
    "Robinson", "Wright", "Thompson", "Evans",  "Walker",   "White",   "Roberts", "Green",
    "Hall",     "Wood",   "Jackson",  "Clarke", "O'Brien",  "O'Neill", "D'Arcy",  "O'Connor",
    "McCarthy", "Patel",  "Khan",     "Hughes", "Edwards",  "Lewis",   "Harris",  "Martin",
    "Morgan",   "Cooper", "Ward",     "Turner", "Parker",   "Price",   "Bennett", "Gray"};
const char* const kMaleNames[] = {"John",  "David", "Michael", "Paul",   "Andrew", "Mark",
                                  "James", "Peter", "Robert",  "Steven", "Ian",    "Gary",
                                  "Sean",  "Rhys",  "Daniel",  "Thomas"};
const char* const kFemaleNames[] = {"Susan",  "Sarah",  "Karen",  "Julie", "Helen",  "Linda",
                                    "Mary",   "Anne",   "Claire", "Emma",  "Louise", "Siobhan",
                                    "Joanne", "Rachel", "Nicola", "Zoë"};
const char* const kCompanies[] = {"Northern Foundry", "Acme Engineering", "Riverside Mills",
                                  "Harbour Shipyard", "Castle Brewery",   "Allied Printers"};
const char* const kDepartments[] = {"Assembly", "Press Shop", "Maintenance", "Warehouse",
                                    "Office",   "Paint Shop", "Despatch"};
const char* const kPositions[] = {"Operator", "Fitter", "Supervisor", "Electrician",
                                  "Driver",   "Clerk",  "Welder",     "Manager"};
const char* const kLocations[] = {"Leeds", "Bradford", "Hull", "Sheffield", "Cardiff", "Belfast"};
const char* const kExaminers[] = {"S. Hughes", "A. Patel", "M. O'Donnell", "J. Reid"};
const char* const kStreets[] = {"High Street",  "Mill Lane",       "Church Road",
                                "Station Road", "Victoria Street", "Park Avenue"};

// Average hearing level at age 20 and its yearly worsening after 20, per
// frequency of kThresholdFields (125 Hz ... 8 kHz, 750 Hz).
constexpr double kBase[kThresholdFieldCount] = {10, 8, 6, 5, 5, 5, 7, 8, 10, 12, 6};
constexpr double kAgeing[kThresholdFieldCount] = {0.10, 0.10, 0.12, 0.15, 0.20, 0.30,
                                                  0.55, 0.75, 0.80, 0.95, 0.12};
// Noise damage per year of exposure: the notch around 4 kHz.
constexpr double kNoise[kThresholdFieldCount] = {0,    0,    0,    0.05, 0.10, 0.20,
                                                 0.70, 1.20, 0.90, 0.40, 0};

QString Threshold(double value) {
  int db = static_cast<int>(std::lround(value / 5.0)) * 5;
  db = std::clamp(db, -10, 120);
  return QString::number(db);
}
}  // namespace

// A complete questionnaire for one test, drawn from a sequence of its own so
// that the thresholds stay those of the plain register.
void AnswerEverything(AudiogramRecord& r, int index, int test, double exposure) {
  Random rng(0x51u ^ static_cast<quint64>(index) * 104729ULL ^ static_cast<quint64>(test) << 40);
  static const char* const kWritten[][2] = {
      {"About 6 hours", "Less than an hour"},
      {"Moved to the press shop in March", "No change"},
      {"Foam plugs, and muffs on the grinder", "Moulded plugs"},
  };
  for (int q = 0; q < kQuestionCount; ++q) {
    r.codes[q] = rng.Chance(exposure > 3.0 ? 0.45 : 0.2) ? kAnswerYes : kAnswerNo;
  }
  const int written[] = {6, 7, 33};
  for (int w = 0; w < 3; ++w) {
    r.codes[written[w]] = kAnswerText;
    r.texts[written[w]] = QString::fromUtf8(kWritten[w][rng.Chance(0.5) ? 0 : 1]);
  }
  if (rng.Chance(0.4)) {
    r.Notes = exposure > 3.0
                  ? QStringLiteral("Reminded to wear protection in the marked zones; "
                                   "fitting of plugs checked and shown again.")
                  : QStringLiteral("Ears clear on otoscopy. No concerns raised.");
  }
}

std::vector<AudiogramRecord> GeneratePatient(const GeneratorOptions& options, int index) {
  Random rng((static_cast<quint64>(options.seed) << 32) ^ static_cast<quint64>(index) * 7919ULL);
  const bool male = rng.Chance(0.7);
  PatientRecord patient;
  patient.PatNo = options.number_prefix + QString::number(options.first_number + index);
  patient.Surname = QString::fromUtf8(rng.Pick(kSurnames));
  patient.Forenames = QString::fromUtf8(male ? rng.Pick(kMaleNames) : rng.Pick(kFemaleNames));
  patient.Sex = male ? QStringLiteral("Male") : QStringLiteral("Female");
  const int tests = std::max(1, options.tests_per_patient);
  // The first test is when the patient joined; one a year or so after that.
  const int spacing_days = rng.Between(300, 500);
  const QDate first_test = options.last_test_date.addDays(
      -static_cast<qint64>(spacing_days) * (tests - 1) - rng.Between(0, 900));
  const QDate dob = first_test.addYears(-rng.Between(17, 55)).addDays(-rng.Between(0, 364));
  patient.DOB = StoredDateText(dob);
  const QDate joined = first_test.addDays(-rng.Between(0, 60));
  const bool has_left = rng.Chance(0.15);

  const QString company = QString::fromUtf8(rng.Pick(kCompanies));
  const QString location = QString::fromUtf8(rng.Pick(kLocations));
  const QString department = QString::fromUtf8(rng.Pick(kDepartments));
  const QString position = QString::fromUtf8(rng.Pick(kPositions));
  std::array<QString, 6> address{
      QStringLiteral("%1 %2").arg(rng.Between(1, 250)).arg(QString::fromUtf8(rng.Pick(kStreets))),
      location,
      QString(),
      QString(),
      QString(),
      QStringLiteral("LS%1 %2AB").arg(rng.Between(1, 29)).arg(rng.Between(1, 9))};
  const double noise_level = rng.Chance(0.6) ? rng.Uniform() * 1.5 : 0.1;  // exposed or not
  double personal[2][kThresholdFieldCount];
  for (auto& ear : personal) {
    for (double& f : ear) f = rng.Normal() * 5.0;
  }
  const bool measures_extra = rng.Chance(0.5);  // 125 and 750 Hz only on some audiometers

  std::vector<AudiogramRecord> records;
  QString previous_date;
  for (int t = 0; t < tests; ++t) {
    AudiogramRecord r;
    r.patient = patient;
    const QDate date = first_test.addDays(static_cast<qint64>(spacing_days) * t);
    const QTime time(rng.Between(8, 16), rng.Between(0, 59), rng.Between(0, 59));
    r.key = {StoredDateText(date), StoredTimeText(time)};
    r.TestType = rng.Chance(0.9) ? QStringLiteral("Routine") : QStringLiteral("Pre-employment");
    r.SerialNo = QStringLiteral("TX730-%1").arg(1000 + rng.Between(0, 20));
    r.Examiner = QString::fromUtf8(rng.Pick(kExaminers));
    r.DeptUnit = department;
    r.Company = company;
    r.PositionRank = position;
    r.Location = location;
    r.DateJoined = StoredDateText(joined);
    const bool last = t == tests - 1;
    if (has_left && last) {
      r.EmploymentStatus = QStringLiteral("Left");
      r.LeavingReason = QStringLiteral("Resigned");
      r.DateLeft = StoredDateText(date.addDays(rng.Between(1, 60)));
    } else {
      r.EmploymentStatus = QStringLiteral("Employed");
    }
    const int months = ServiceMonths(
        joined, r.DateLeft.isNull() ? date : DateFromStored(r.DateLeft));
    r.LengthofService = months;
    r.ServiceLengthText = ServiceLengthTextFor(months);
    r.PreviousTest = previous_date;
    r.Calibrated = StoredDateText(date.addDays(-rng.Between(10, 300)));
    r.RecallDate = StoredDateText(date.addYears(rng.Chance(0.8) ? 1 : 2));
    r.F1 = QStringLiteral("-");
    r.F2 = QStringLiteral("-");
    r.F3 = QStringLiteral("-");
    r.address = address;
    const double age = dob.daysTo(date) / 365.25;
    const double exposure = std::max(0.0, joined.daysTo(date) / 365.25) * noise_level;
    for (int ear = 0; ear < 2; ++ear) {
      auto& values = ear == 0 ? r.left : r.right;
      for (int f = 0; f < kThresholdFieldCount; ++f) {
        const bool extra = f == 0 || f == 10;
        if ((extra && !measures_extra) || rng.Chance(0.01)) continue;  // not measured
        const double level = kBase[f] + kAgeing[f] * std::max(0.0, age - 20.0) +
                             kNoise[f] * exposure + personal[ear][f] + rng.Normal() * 3.0;
        values[f] = Threshold(level);
      }
    }
    if (rng.Chance(0.3)) {
      r.codes[0] = rng.Chance(0.5) ? 1 : -1;
      r.codes[1] = 2;
      r.texts[1] = QStringLiteral("Uses ear defenders");
    }
    if (options.full_questionnaire) AnswerEverything(r, index, t, exposure);
    previous_date = r.key.date;
    records.push_back(std::move(r));
  }
  return records;
}

GeneratorOutcome GenerateRegister(db::Connection& connection, const GeneratorOptions& options,
                                  const CategoriseEnv* categorise,
                                  const std::function<void(int, int)>& progress) {
  GeneratorOutcome outcome;
  db::BulkWrites writes(connection);
  db::CommitGroups groups(connection);
  AudiogramStore store(connection);
  std::optional<Recategoriser> passes;
  if (categorise != nullptr) passes.emplace(connection);
  for (int i = 0; i < options.patients; ++i) {
    const auto records = GeneratePatient(options, i);
    const QString& pat_no = records.front().patient.PatNo;
    db::Transaction patient(connection);
    for (size_t t = 0; t < records.size(); ++t) {
      store.Write(t == 0 ? EditMode::AddingPatient : EditMode::InsertingTest, records[t]);
    }
    if (passes) {
      passes->RelinkAsUnit(categorise->reporter, pat_no);
      passes->PatientAsUnit(*categorise, pat_no);
    }
    patient.Commit();
    groups.LineDone();
    outcome.tests += static_cast<int>(records.size());
    outcome.patients = i + 1;
    if (progress && (outcome.patients % 1000 == 0 || outcome.patients == options.patients)) {
      progress(outcome.patients, options.patients);
    }
  }
  groups.Finish();
  return outcome;
}

}  // namespace sonivera
