#include <gtest/gtest.h>

#include "categorise/Arithmetic.h"
#include "categorise/SchemeRig.h"

namespace sonivera::test {
namespace {

// Ticks the French schemes named in `schemes`.
void Tick(SchemeRig& rig, const QString& schemes) {
  rig.checks.CheckMP42 = schemes.contains("MP42");
  rig.checks.CheckPAM = schemes.contains("PAM");
  rig.checks.CheckIPA = schemes.contains("IPA");
}

TEST(French, TextAndValues) {
  const struct {
    const char* schemes;  // of MP42, PAM and IPA
    int lcid;
    const char* left;  // 250 500 1k 1.5k 2k 3k 4k 6k 8k
    const char* right;
    const char* expected;
    float mp42, pam, ipa;  // an unticked scheme leaves its value at 0
  } cases[] = {
      // MP42: both ears exactly 35 takes the left; a better ear below 35 writes nothing.
      {"MP42", 2057, "0 35 35 0 35 0 35 0 0", "0 35 35 0 35 0 35 0 0", "MP42= 35.00  ", 35, 0, 0},
      {"MP42", 2057, "0 35 35 0 35 0 34 0 0", "0 80 80 0 80 0 80 0 0", "", 0, 0, 0},
      {"MP42", 2057, "0 80 80 0 80 0 80 0 0", "0 30 40 0 40 0 40 0 0", "MP42= 37.50  ", 37.5, 0, 0},
      {"MP42", 1036, "0 30 40 0 40 0 40 0 0", "0 80 80 0 80 0 80 0 0", "MP42= 37,50  ", 37.5, 0, 0},
      {"MP42", 5132, "0 101 100 0 100 0 100 0 0", "0 101 100 0 100 0 100 0 0", "MP42= 100,25  ",
       100.25, 0, 0},
      {"MP42", 1036, "0 30 40 0 40 0 40 0 0", "0 30 40 0 - 0 40 0 0", "MP42: données incomplètes  ",
       0, 0, 0},
      {"PAM", 1036, "0 0 0 0 20 0 35 0 0", "0 0 0 0 25 0 40 0 0",
       "PAM= 30  [PAM(D)= 32.5, PAM(G)= 27.5]  ", 0, 30, 0},
      {"PAM", 1036, "0 0 0 0 20 0 35 0 0", "0 0 0 0 20 0 34 0 0",  // the mean rounds half up
       "PAM= 27.3  [PAM(D)= 27, PAM(G)= 27.5]  ", 0, 27.25, 0},
      {"PAM", 1036, "0 0 0 0 -5 0 0 0 0", "0 0 0 0 0 0 1 0 0",
       "PAM=-1  [PAM(D)= .5, PAM(G)=-2.5]  ", 0, -1, 0},
      {"PAM", 1036, "0 0 0 0 20 0 35 0 0", "0 0 0 0 25 0 - 0 0", "PAM: données incomplètes  ", 0, 0,
       0},
      {"IPA", 1036, "20 20 20 20 20 20 20 20 20", "20 20 20 20 20 20 20 20 20",
       "IPA= 20  [IPA(D)= 20, IPA(G)= 20]  ", 0, 0, 20},
      {"IPA", 1036, "0 0 0 0 0 10 5 5 0", "0 0 0 0 0 7 0 0 0",
       "IPA= 4.5  [IPA(D)= 2.3, IPA(G)= 6.7]  ", 0, 0, 4.5},
      {"IPA", 1036, "0 0 0 0 0 10 5 5 0", "0 0 0 0 0 7 0 - 0", "IPA: données incomplètes  ", 0, 0,
       0},
      {"MP42 PAM", 1036, "0 - 20 0 20 0 35 0 0", "0 0 0 0 25 0 40 0 0",
       "MP42: données incomplètes  PAM= 30  [PAM(D)= 32.5, PAM(G)= 27.5]  ", 0, 30, 0},
      {"MP42 PAM IPA", 1036, "40 40 40 40 40 40 40 40 40", "50 50 50 50 50 50 50 50 50",
       "MP42= 40,00  PAM= 45  [PAM(D)= 50, PAM(G)= 40]  IPA= 45  [IPA(D)= 50, IPA(G)= 40]  ", 40,
       45, 45},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.schemes) + " " + c.left + " | " + c.right);
    SchemeRig rig;
    rig.lcid = c.lcid;
    Tick(rig, c.schemes);
    rig.SetRow(0, c.left);
    rig.SetRow(2, c.right);
    EXPECT_EQ(rig.Run(), QString::fromUtf8(c.expected));
    EXPECT_EQ((std::vector<float>{rig.state.Mp42Value, rig.state.PamValue, rig.state.IpaValue}),
              (std::vector<float>{c.mp42, c.pam, c.ipa}));
    EXPECT_TRUE(rig.prompter.Prompts().empty());
  }
}

TEST(French, Mp42MissingDataReplacesEarlierText) {
  SchemeRig rig;
  rig.checks.CheckHSE = rig.checks.CheckMP42 = true;
  rig.Flat(0, 10);
  rig.SetRow(2, "10 10 10 10 10 10 - 10 10");
  rig.View();
  // HSE wrote its text first; MP42 replaces it.
  EXPECT_EQ(rig.Run(), QString::fromUtf8("MP42: données incomplètes  "));
}

// A cell that is not a number is reported under the scheme's tag and the
// scheme goes on, the failed value counting 0.
TEST(French, TextInACellIsReportedAndTheSchemeGoesOn) {
  const std::tuple<QString, const char*, const char*> cases[] = {
      {"PAM", "0 0 0 0 2O 0 35 0 0", "PAM= 16.3  [PAM(D)= 32.5, PAM(G)= 0]  "},
      {"IPA", "0 0 0 0 0 x 5 5 0", "IPA= 15  [IPA(D)= 30, IPA(G)= 0]  "},
      {"MP42", "0 4O 40 0 40 0 40 0 0", ""}};
  for (const auto& [scheme, left, text] : cases) {
    const QString tag = " (" + scheme.toLower() + "categorise:954)";
    SchemeRig rig;
    rig.lcid = 1036;
    Tick(rig, scheme);
    rig.SetRow(0, left);
    rig.SetRow(2, "0 60 60 0 25 30 40 20 0");
    EXPECT_EQ(rig.Run(), QString::fromUtf8(text)) << left;
    EXPECT_EQ(Shown(rig.prompter),
              QStringList{"Error|An error has occurred: Type mismatch Error No: 13" + tag});
    EXPECT_TRUE(rig.folder.Read("err.log").contains(tag.toUtf8())) << left;
  }
}

TEST(French, NumberForms) {
  const struct {
    double value;
    const char* n;
    const char* places2;
  } cases[] = {{20, " 20", "20.00"},    {37.5, " 37.5", "37.50"},     {0.5, " .5", ".50"},
               {-2.5, "-2.5", "-2.50"}, {27.25, " 27.3", "27.25"},    {-27.25, "-27.3", "-27.25"},
               {0, " 0", ".00"},        {6.6666665f, " 6.7", "6.67"}, {100.125, " 100.1", "100.13"},
               {0.04, " 0", ".04"},     {1234.95, " 1235", "1234.95"}};
  for (const auto& c : cases) {
    EXPECT_EQ(NumberN(c.value), c.n) << c.value;
    EXPECT_EQ(FormatPlaces(c.value, 2, u'.'), c.places2) << c.value;
  }
  EXPECT_EQ(FormatPlaces(37.5, 2, u','), "37,50");
}

}  // namespace
}  // namespace sonivera::test
