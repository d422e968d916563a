#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

#include "register/AudiogramStore.h"
#include "register/EntryFields.h"

class QPagedPaintDevice;

namespace sonivera {
class ErrorReporter;
class ProgramFolder;
struct ChartOptions;
struct DetailLists;
namespace db {
class Connection;
}
namespace chart {
struct ChartFiles;
}
}  // namespace sonivera

namespace sonivera::report {

class Sheet;

// What one printed audiogram shows, read through the core: the patient and
// test particulars with the patient's latest address, the thresholds of the
// test (Text1) and of its previous test (Previous, empty for a first test),
// the answers and the notes.
struct AudiogramReportData {
  QString pat_no;
  TestKey key;
  EntryFields entries;
  QString baseline;  // the baseline's date or "First Audiogram"
};

// Reads one audiogram for printing; previous is the previous-test key (none
// for a first test). nullopt when the patient or the test does not exist.
// Engine failures come out as db::SqliteError.
std::optional<AudiogramReportData> LoadAudiogramReport(db::Connection& connection,
                                                        const QString& pat_no, const TestKey& key,
                                                        const std::optional<TestKey>& previous);

// What every audiogram page needs beside its data: the question texts, the
// print heading of the lists file, the chart options and files, and where
// chart failures are reported.
struct AudiogramReportSetup {
  QStringList questions;
  QString print_heading;
  const ChartOptions* chart_options = nullptr;
  const chart::ChartFiles* chart_files = nullptr;
  ErrorReporter* reporter = nullptr;
  QDate printed = QDate::currentDate();
};

// The setup of a program started on folder: the questions of its
// questions.txt, the print heading of its lists, its chart settings.
AudiogramReportSetup ReportSetupFor(const ProgramFolder& folder, const DetailLists& lists,
                                    const ChartOptions& chart_options,
                                    const chart::ChartFiles& chart_files, ErrorReporter& reporter);

// The answer column's text: "Yes", "No", the free text, or empty.
QString AnswerText(int code, const QString& text);

// Lays one audiogram out on the sheet's current page (A4 portrait).
void PaintAudiogramPage(Sheet& sheet, const AudiogramReportData& data,
                        const AudiogramReportSetup& setup);

// The report title, "Sonivera " and the patient number.
QString AudiogramReportTitle(const QString& pat_no);

}  // namespace sonivera::report
