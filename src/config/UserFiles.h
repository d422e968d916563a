#pragma once

#include <QString>
#include <QStringList>

namespace sonivera {

class ErrorReporter;
class ProgramFolder;

// The most lines each user file may hold: more would stop the next start.
constexpr int kQuestionFileMaxLines = 51;
constexpr int kPatDetailsMaxLines = 501;

// The questionnaire box: the non-empty question texts among items 0 to 50.
QStringList QuestionnaireBoxLines(const QStringList& questions);

// The patient-details box: the first 501 lines of patdetails.txt, as the file
// holds them (a missing file gives an empty box).
QStringList PatDetailsBoxLines(const QString& path);

// A text box's contents as lines, and back. A final line break does not make
// an extra empty line.
QStringList BoxTextLines(const QString& text);
QString BoxText(const QStringList& lines);

// What the Edit buttons ask before a user file is unlocked.
struct BackupOffer {
  int question_message;
  int title_message;
  QString initial_name;  // "questions.bkp"
  QString procedure;     // the report tag's procedure
};
inline BackupOffer QuestionnaireBackupOffer() {
  return {1041, 1042, QStringLiteral("questions.bkp"),
          QStringLiteral("formconfig commandedit_click")};
}
inline BackupOffer PatDetailsBackupOffer() {
  return {1080, 1081, QStringLiteral("patdetails.bkp"),
          QStringLiteral("formconfig commandeditpatdetails_click")};
}

// Asks whether to back up the current text and, on Yes, writes it to the file
// chosen in a save dialog. False only when the backup could not be written
// (reported); declining or cancelling the dialog is not a failure.
// The save dialog starts in the program folder.
bool OfferTextBackup(const ProgramFolder& folder, ErrorReporter& reporter, const BackupOffer& offer,
                     const QStringList& lines);

}  // namespace sonivera
