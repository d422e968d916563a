#pragma once

#include <QString>
#include <array>
#include <vector>

#include "db/Sqlite.h"

namespace sonivera {

// One TestDetails row as the categorisation passes need it; dates and times
// as stored ('yyyy-MM-dd', 'HH:mm:ss'), null when without a value.
struct StoredTest {
  qint64 rowid = 0;
  QString DateofTest;
  QString TimeofTest;
  QString PreviousTest;
  QString Categorisation;
  QString RecallDate;
  // The stored scheme values; no value reads as NaN.
  double MP42 = 0, PAM = 0, IPA = 0;
};

// The 250 Hz to 8 kHz thresholds of one ear of one test; a field without a
// value reads as the empty text.
using StoredThresholds = std::array<QString, 9>;

// A patient's tests, newest first; the k-th row of each list belongs to the
// k-th newest test.
struct PatientAudiograms {
  std::vector<StoredTest> details;
  std::vector<StoredThresholds> left;
  std::vector<StoredThresholds> right;
  // How many tests all three lists hold.
  size_t InStep() const;
};

// Reads patients' tests with statements prepared once, for passes over many
// patients.
class PatientTestReader {
 public:
  explicit PatientTestReader(db::Connection& connection);
  PatientAudiograms Read(const QString& pat_no);

 private:
  void ReadResults(db::Statement& statement, const QString& pat_no,
                   std::vector<StoredThresholds>& rows);
  db::Statement details_;
  db::Statement left_;
  db::Statement right_;
};

// A savepoint that rolls back unless released; nests inside a transaction
// that a caller may hold.
class Savepoint {
 public:
  Savepoint(db::Connection& connection, const char* name);
  ~Savepoint();
  Savepoint(const Savepoint&) = delete;
  Savepoint& operator=(const Savepoint&) = delete;
  void Release();

 private:
  db::Connection& connection_;
  QString name_;
  bool open_ = true;
};

}  // namespace sonivera
