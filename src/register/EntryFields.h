#pragma once

#include <QDate>
#include <QString>
#include <QTime>
#include <array>
#include <optional>
#include <utility>

#include "base/DateText.h"

namespace sonivera {

class Prompter;

// The empty masks of the date and time boxes.
inline const QString kEmptyDateBox = QStringLiteral("__/__/____");
inline const QString kEmptyTimeBox = QStringLiteral("__:__:__");

// Items of the detail drop-down boxes (Details), in list order.
enum ComboItem {
  kComboStatus = 0,
  kComboLeavingReason = 1,
  kComboLocation = 2,
  kComboCompany = 3,
  kComboExaminer = 4,
  kComboDeptUnit = 5,
  kComboPositionRank = 6,
  kComboF1 = 7,
  kComboF2 = 8,
  kComboF3 = 9,
};

// Items of the masked date boxes (Dates).
enum DateBoxItem {
  kBoxDateofTest = 0,
  kBoxTimeofTest = 1,
  kBoxPreviousTest = 2,
  kBoxCalibrated = 3,
  kBoxRecallDate = 4,
  kBoxDateJoined = 5,
  kBoxDateLeft = 6,
};

constexpr int kThresholdBoxCount = 22;
constexpr int kAddressLineCount = 6;
constexpr int kAnswerCount = 50;
// The threshold boxes hold at most three characters.
constexpr int kThresholdBoxLimit = 3;

// The entry fields of the main window's details and results pages, holding
// their texts exactly as the boxes would: dates "dd/mm/yyyy" or the empty mask,
// thresholds as typed. The window, the imports and recategorise-all all fill
// and read this one value.
struct EntryFields {
  QString PatNo;
  QString Surname;
  QString Forenames;
  QString ServiceLength;
  QString Categorisation;  // TextField item 10
  QString SerialNo;
  QString TestType;  // Combo1
  QString Notes;
  // The detail drop-down boxes, by kCombo... item.
  std::array<QString, 10> Details;
  // The masked date and time boxes, by kBox... item.
  std::array<QString, 7> Dates{kEmptyDateBox, kEmptyTimeBox, kEmptyDateBox, kEmptyDateBox,
                               kEmptyDateBox, kEmptyDateBox, kEmptyDateBox};
  QString DOB = kEmptyDateBox;
  bool OptionMale = false;
  bool OptionFemale = false;
  std::array<QString, kAddressLineCount> Address;
  // Thresholds: 0-8 left 250 Hz to 8 kHz, 9-17 right, 18/19 left 125/750 Hz,
  // 20/21 right 125/750 Hz.
  std::array<QString, kThresholdBoxCount> Thresholds;
  // The "Prev." row: the thresholds of the next older test, same layout.
  std::array<QString, kThresholdBoxCount> Previous;
  // Questionnaire answers of the test: code 0 none, 1 yes, -1 no, 2 text.
  std::array<int, kAnswerCount> QuestionCodes{};
  std::array<QString, kAnswerCount> AnswerTexts;

  // Clears the test's own fields (dates back to their masks, thresholds,
  // answers, header texts) and keeps the patient's.
  void ClearTestFields();
  bool AllThresholdsEmpty() const;
  // "Male", "Female" or "Not specified".
  QString SexText() const;
  void SetSex(const QString& sex);
  bool operator==(const EntryFields&) const = default;
};

// The database field of each threshold box, and which ear it belongs to.
struct ThresholdBox {
  bool left;
  const char* field;  // e.g. "250Hz"
  int grid_row;       // 0 left, 2 right
  int grid_column;    // 0-8 the nine main frequencies, 9 = 125 Hz, 10 = 750 Hz
};
const ThresholdBox& ThresholdBoxAt(int item);
// The box item for an ear and field name, or -1.
int ThresholdBoxFor(bool left, const QString& field);

// The threshold entry rule, applied after each change of a box by the user.
struct ThresholdEntryResult {
  QString box_text;           // what the box holds afterwards
  bool grid_changed = false;  // the grid cell took grid_value; redraw that ear
  QString grid_value;
};
ThresholdEntryResult ApplyThresholdEntry(const QString& typed);

// "-10", a minus with one digit, or one to three digits (a threshold's
// shape; its range is checked apart).
bool IsThresholdNumber(QStringView text);
// The questions a save asks before it stores a patient without a birth date
// or without a sex (messages 1600 and 1602): true when the user chose to go
// back and fill one in.
bool WantsToFillParticulars(Prompter& ask, bool no_birth_date, bool no_sex);

// Masked-box texts.
bool IsEmptyBox(const QString& text);  // empty, blank or the bare mask
// A date box's date: nullopt when empty; an invalid QDate when the text is no
// date; otherwise the date.
std::optional<QDate> ParseDateBox(const QString& text);
std::optional<QTime> ParseTimeBox(const QString& text);
// A stored value ('yyyy-MM-dd' / 'HH:mm:ss' or null) shown in a box; the
// other way is base/DateText's StoredDateText and StoredTimeText.
QString DateBoxText(const QString& stored);
QString TimeBoxText(const QString& stored);

// Whole months between two dates, counting a month only once its day is reached.
int ServiceMonths(const QDate& from, const QDate& to);
// The service length as shown, e.g. "3 yrs 7 mths".
QString ServiceLengthTextFor(int months);

// A date box in stored form: no value when empty, false when it is no date.
bool StoredDateOf(const QString& box, QString& stored);

// Copies the boxes that an audiogram and a vision test header share (the five
// dates beside the test's own, test type, serial number, the details lists,
// categorisation, notes, service length text) into `h`. Returns the number of
// the message that refuses the first box holding no date, 0 when all are good.
template <typename Header>
int FillSharedHeader(const EntryFields& e, Header& h) {
  const std::pair<int, QString*> dates[] = {{kBoxPreviousTest, &h.PreviousTest},
                                            {kBoxCalibrated, &h.Calibrated},
                                            {kBoxRecallDate, &h.RecallDate},
                                            {kBoxDateJoined, &h.DateJoined},
                                            {kBoxDateLeft, &h.DateLeft}};
  const int messages[] = {1015, 1016, 1017, 1018, 1019};
  for (int i = 0; i < 5; ++i) {
    if (!StoredDateOf(e.Dates[dates[i].first], *dates[i].second)) return messages[i];
  }
  h.TestType = e.TestType;
  h.SerialNo = e.SerialNo;
  h.Examiner = e.Details[kComboExaminer];
  h.DeptUnit = e.Details[kComboDeptUnit];
  h.Company = e.Details[kComboCompany];
  h.PositionRank = e.Details[kComboPositionRank];
  h.Location = e.Details[kComboLocation];
  h.LeavingReason = e.Details[kComboLeavingReason];
  h.EmploymentStatus = e.Details[kComboStatus];
  h.F1 = e.Details[kComboF1];
  h.F2 = e.Details[kComboF2];
  h.F3 = e.Details[kComboF3];
  h.Categorisation = e.Categorisation;
  h.Notes = e.Notes;
  h.ServiceLengthText = e.ServiceLength;
  return 0;
}

}  // namespace sonivera
