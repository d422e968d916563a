#pragma once

#include <QString>
#include <QStringList>

#include "base/Settings.h"
#include "categorise/Schemes.h"
#include "config/ConfigContext.h"

namespace sonivera {

// The rules of one opening of the configuration window, apart from its
// widgets: what the boxes show, the Edit buttons, OK and Cancel, and the
// settings that take effect at once.
class ConfigSession {
 public:
  explicit ConfigSession(ConfigContext context);

  // The loaded questionnaire as the box shows it, and the patient-details file.
  QStringList QuestionnaireLines() const;
  QStringList PatDetailsLines() const;
  // The questions the program has loaded, when they are not read from the file.
  void SetLoadedQuestions(const QStringList& questions) { questions_ = questions; }

  bool QuestionnaireUnlocked() const { return questionnaire_unlocked_; }
  bool PatDetailsEdited() const { return patdetails_edited_; }

  // CommandEdit / CommandEditPatDetails: offer a backup of the box's current
  // text, then unlock the box. False when it stays locked (a failed backup).
  bool CommandEdit(const QStringList& box_lines);
  bool CommandEditPatDetails(const QStringList& box_lines);

  // Chart options, in force at once.
  void SetBand(bool ticked);
  void SetBandPrint(bool ticked);
  void SetPredictive(bool ticked);

  // A series option, in force at once. True when the series keeps the link open.
  bool SelectSeries(SeriesOption option);

  // ComboPorts chosen or left: the port number of its text. False (and the
  // message shown) for a text that is not a port; the setting then stays.
  bool ChoosePort(const QString& item_text);
  // Leaving ComboPorts also reopens the link for S4/S5.
  bool LeavePorts(const QString& item_text);

  void SetGap(int slider_position);

  // CommandOK. The box texts are those on show. False when the window must
  // stay open: a user file could not be written or is too long (reported),
  // and nothing of it was replaced.
  struct OkOutcome {
    bool close = false;
    bool patdetails_rewritten = false;
    bool questionnaire_rewritten = false;
    bool link_reopened = false;
  };
  OkOutcome CommandOK(const QStringList& questionnaire_box, const QStringList& patdetails_box);

  // CommandCanel: locks the boxes again and sets the scheme boxes back.
  void CommandCancel();

  // Reopens the serial link for the series in use; false when the program
  // has no port layer to reopen.
  bool ReopenSerialLink();

 private:
  // The question texts of questions.txt.
  QStringList ReadQuestions() const;
  QString QuestionFilePath() const;
  QString PatDetailsPath() const;
  bool RewriteUserFile(const QString& path, const QStringList& lines, int max_lines);

  ConfigContext context_;
  QStringList questions_;
  SchemeChecks checks_at_open_;
  bool questionnaire_unlocked_ = false;
  bool patdetails_edited_ = false;
};

}  // namespace sonivera
