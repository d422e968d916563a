#pragma once

#include <QString>

namespace sonivera {

// The scheme switches of the configuration window and the flags set beside
// the scheme list.
struct SchemeChecks {
  bool CheckHSE = false;
  bool CheckMP42 = false;
  bool CheckPAM = false;
  bool CheckIPA = false;
  bool CheckNIHL = false;
  bool CheckSTS = false;
  bool CheckIA = false;
  bool CheckBA = false;
  bool HseEnabled = false;
  bool StsEnabled = false;
  bool NihlEnabled = false;
  // Which frame of scheme boxes the configuration window shows.
  bool FrenchFrameVisible = false;
};

// The French locales, whose users get MP42, PAM and IPA instead of HSE.
bool IsFrenchLocale(int lcid);

// Sets the live scheme boxes from the stored scheme list for the user's locale.
void ApplySchemeList(const QString& scheme_list, int lcid, SchemeChecks& checks);

// The scheme list the configuration window stores for the ticked boxes.
QString BuildSchemeList(const SchemeChecks& checks);

}  // namespace sonivera
