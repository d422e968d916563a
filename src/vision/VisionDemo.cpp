#include "vision/VisionDemo.h"

#include <QDateTime>
#include <QStringList>
#include <random>

#include "db/Sqlite.h"
#include "vision/VisionEntry.h"
#include "vision/VisionQueries.h"

namespace sonivera::vision {

namespace {

// One screening as an operator enters it for a patient of the given
// abilities: runs of Pass and Fail on the acuity and depth slides, colour
// circles read, phoria positions and lamps seen.
CodedResults PlayScreening(std::mt19937& random) {
  std::uniform_real_distribution<double> chance(0.0, 1.0);
  auto pick = [&random](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  VisionEntry entry;
  entry.BeginNewTest();
  const int acuity = pick(7, 14);
  const int depth = pick(3, 9);
  for (int guard = 0; guard < 400; ++guard) {
    const int step = entry.Step();
    switch (KindOfStep(step)) {
      case StepKind::Binocular:
        entry.ChooseBinocular(chance(random) < 0.75 ? 3 : pick(1, 2));
        break;
      case StepKind::Acuity: {
        if (step == 10 && entry.TestDistanceOption() == 0) entry.ChooseTestDistance(pick(1, 5));
        const int eye = entry.EyeFrame();
        const int ability = std::clamp(acuity - (eye == 1 ? 0 : pick(0, 2)) - (step == 10), 1, 14);
        const bool seen = chance(random) < (entry.CurrentTarget(eye) < ability ? 0.94 : 0.1);
        seen ? entry.AcuityPass() : entry.AcuityFail();
        continue;  // the run moves on by itself
      }
      case StepKind::Depth: {
        const bool seen = chance(random) < (entry.DepthTarget() < depth ? 0.95 : 0.1);
        seen ? entry.DepthPass() : entry.DepthFail();
        continue;
      }
      case StepKind::Colour:
        for (int box = 1; box <= kColourCircles; ++box) {
          if (chance(random) < 0.9) entry.ClickColour(box);
        }
        break;
      case StepKind::Vertical:
        entry.ClickVertical(pick(4, 10));
        break;
      case StepKind::Lateral:
        entry.ClickLateral(pick(8, 22));
        break;
      case StepKind::Peripheral:
        for (int lamp = 0; lamp < kLamps; ++lamp) {
          if (chance(random) < 0.9) entry.ClickLamp(lamp);
        }
        return entry.ResultsForSave();
    }
    entry.Next();
  }
  return entry.ResultsForSave();
}

}  // namespace

int SeedDemoVisionTests(db::Connection& connection, std::uint32_t seed, int every) {
  std::mt19937 random(seed);
  const QStringList patients = VisionStore(connection).PatientNumbers();
  db::Transaction transaction(connection);
  VisionStore store(connection);
  int added = 0;
  for (int i = 0; i < patients.size(); i += std::max(1, every)) {
    const QString& pat_no = patients[i];
    const auto audiogram = store.LatestAudiogram(pat_no);
    if (!audiogram) continue;
    const auto found = store.ReadPatient(pat_no);
    if (!found) continue;
    const PatientRecord& patient = *found;
    const QDate tested = QDate::fromString(audiogram->first.date, QStringLiteral("yyyy-MM-dd"));
    const int tests = 1 + int(random() % 2);
    for (int t = 0; t < tests; ++t) {
      VisionRecord record;
      record.patient = patient;
      // Screened on the day of the latest audiogram, an earlier one a year before.
      record.key = {tested.addYears(-t).toString(QStringLiteral("yyyy-MM-dd")),
                    QStringLiteral("%1:%2:00")
                        .arg(13 + t, 2, 10, QChar('0'))
                        .arg(int(random() % 60), 2, 10, QChar('0'))};
      record.header = audiogram->second;
      record.header.Notes.clear();
      record.header.Categorisation.clear();
      record.results = PlayScreening(random);
      record.answers.Glasses = random() % 3 == 0;
      record.answers.GlassesType =
          record.answers.Glasses ? QStringLiteral("Bifocal") : QStringLiteral("Normal");
      record.answers.Refer = random() % 7 == 0;
      if (const auto address = store.LatestAddress(pat_no)) record.address = address->second;
      store.InsertTest(record);
      ++added;
    }
    store.RefreshMirror(pat_no);
  }
  transaction.Commit();
  return added;
}

}  // namespace sonivera::vision
