#pragma once

#include <QString>

namespace sonivera {

class ErrorLog;
class Prompter;

// What became of one line of an import file.
enum class LineOutcome { Added, Existing, Rejected };

// An import's lines counted by what became of them.
struct LineCounts {
  int lines = 0;     // record lines met
  int added = 0;     // tests stored
  int existing = 0;  // lines whose test is stored already (1401)
  int rejected = 0;  // every other line not stored
  void Count(LineOutcome outcome) {
    (outcome == LineOutcome::Added      ? added
     : outcome == LineOutcome::Existing ? existing
                                        : rejected)++;
  }
};

// Names the place of each refused line of an import file. The messages keep
// their own texts; the log and the command line get the file, the line and
// the patient number after them. While it lives the prompter knows the place.
class LineRefusals {
 public:
  LineRefusals(Prompter& prompter, const ErrorLog& log, const QString& path);
  ~LineRefusals();
  LineRefusals(const LineRefusals&) = delete;
  LineRefusals& operator=(const LineRefusals&) = delete;

  // The line about to be read (counted from 1) and, once known, its patient.
  void StartLine(qsizetype line_number);
  void SetPatient(const QString& pat_no);
  // " (file veldata.csv, line 7, Pat No: 12)"
  QString Place() const;
  // Logs the refusal's text with the place after it.
  void Log(const QString& text) const;

 private:
  void Publish();
  Prompter& prompter_;
  const ErrorLog& log_;
  QString file_name_;
  qsizetype line_ = 0;
  QString pat_no_;
};

}  // namespace sonivera
