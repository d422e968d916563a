#pragma once

#include <QDate>
#include <QString>
#include <array>
#include <climits>
#include <cstdint>
#include <optional>

#include "categorise/AgeCorrection.h"

namespace sonivera {

// The thresholds the schemes read: rows 0 and 2 the left and right ear of the
// test being categorised, rows 1 and 3 the same ears of the test before it;
// columns 0 to 8 are 250 Hz to 8 kHz, 9 and 10 the two extra frequencies.
// A cell holds the empty text (no value) or the text of a threshold.
class AudiogramGrid {
 public:
  static constexpr int kRows = 4;
  static constexpr int kColumns = 12;

  AudiogramGrid() { ForgetNumbers(); }
  const QString& Cell(int row, int column) const { return cells_[row][column]; }
  void SetCell(int row, int column, const QString& text) {
    cells_[row][column] = text;
    numbers_[row][column] = kNotRead;
  }
  bool Empty(int row, int column) const { return cells_[row][column].isEmpty(); }
  void Clear() {
    for (auto& row : cells_) row.fill(QString(""));
    ForgetNumbers();
  }
  void ClearRow(int row) {
    cells_[row].fill(QString(""));
    numbers_[row].fill(kNotRead);
  }

  // A cell's whole number as CellToInteger read it, kept until the cell
  // changes: the schemes read the same cells in several sums. Nothing when
  // the cell has not been read (or did not read as a number).
  std::optional<std::int16_t> KnownNumber(int row, int column) const {
    const std::int32_t n = numbers_[row][column];
    return n == kNotRead ? std::nullopt : std::optional<std::int16_t>(std::int16_t(n));
  }
  void KeepNumber(int row, int column, std::int16_t value) const {
    numbers_[row][column] = value;
  }

 private:
  static constexpr std::int32_t kNotRead = INT32_MIN;
  void ForgetNumbers() {
    for (auto& row : numbers_) row.fill(kNotRead);
  }
  std::array<std::array<QString, kColumns>, kRows> cells_;
  mutable std::array<std::array<std::int32_t, kColumns>, kRows> numbers_;
};

// The grid columns of the threshold fields, in order.
inline constexpr const char* kGridFields[9] = {"250Hz", "500Hz", "1kHz", "1_5kHz", "2kHz",
                                               "3kHz",  "4kHz",  "6kHz", "8kHz"};

enum class Sex { None, Male, Female };

// What the main window's current-test view holds for the test being
// categorised: dates as "dd/mm/yyyy" texts (or the empty mask), the sex
// chosen and the patient on show.
struct CurrentTestView {
  QString DateofTest = QStringLiteral("__/__/____");
  QString TimeofTest = QStringLiteral("__:__:__");
  QString PreviousTest = QStringLiteral("__/__/____");
  QString DOB = QStringLiteral("__/__/____");
  Sex sex = Sex::None;
  QString PatNo;
};

inline const QString kEmptyDateMask = QStringLiteral("__/__/____");

// A stored date ('yyyy-MM-dd') as the current-test view shows it
// ("dd/mm/yyyy"); the empty mask when there is none.
QString StoredDateToView(const QString& stored);
// A stored time ('HH:mm:ss') as shown; the empty mask "__:__:__" for none.
QString StoredTimeToView(const QString& stored);

// The shared categorisation state of the run: what the schemes read and
// what they leave for recategorisation to store.
struct CategorisationState {
  AudiogramGrid grid;
  CurrentTestView view;
  QString CategorisationText;
  float Mp42Value = 0.0f;
  float PamValue = 0.0f;
  float IpaValue = 0.0f;
  // The main window's categorisation box (TextField item 10).
  QString CategorisationBox;
  bool RecategoriseStop = false;
  AgeCorrectionTables age_tables;
};

}  // namespace sonivera
