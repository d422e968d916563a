#include "vision/VisionResults.h"

#include <functional>

namespace sonivera::vision {

namespace {

struct ColumnAccess {
  ResultColumn column;
  std::function<int*(CodedResults&)> number;  // number columns
  std::function<bool*(CodedResults&)> flag;   // yes/no columns
};

const std::vector<ColumnAccess>& Access() {
  static const std::vector<ColumnAccess> columns = [] {
    std::vector<ColumnAccess> list;
    auto number = [&list](const char* name, int maximum, std::function<int*(CodedResults&)> at) {
      list.push_back({{QLatin1String(name), false, maximum}, std::move(at), nullptr});
    };
    auto flag = [&list](const QString& name, std::function<bool*(CodedResults&)> at) {
      list.push_back({{name, true, 1}, nullptr, std::move(at)});
    };
    number("FarBinoc", 3, [](CodedResults& r) { return &r.working.binocular[0]; });
    const char* const eyes[3] = {"Both", "Right", "Left"};
    for (int eye = 0; eye < 3; ++eye) {
      const QByteArray name = QByteArray("Far") + eyes[eye];
      number(name.constData(), kAcuityTargets,
             [eye](CodedResults& r) { return &r.working.acuity[0][eye]; });
    }
    number("FarDepthTest", kDepthTargets, [](CodedResults& r) { return &r.working.depth; });
    for (int i = 0; i < kColourCircles; ++i) {
      flag(QStringLiteral("FarColour") + ColourCircle(i),
           [i](CodedResults& r) { return &r.working.colour[i]; });
    }
    number("FarVertical", kVerticalBoxes, [](CodedResults& r) { return &r.working.vertical[0]; });
    number("FarLateral", kLateralBoxes, [](CodedResults& r) { return &r.working.lateral[0]; });
    number("NearBinoc", 3, [](CodedResults& r) { return &r.working.binocular[1]; });
    for (int eye = 0; eye < 3; ++eye) {
      const QByteArray name = QByteArray("Near") + eyes[eye];
      number(name.constData(), kAcuityTargets,
             [eye](CodedResults& r) { return &r.working.acuity[1][eye]; });
    }
    number("NearVertical", kVerticalBoxes, [](CodedResults& r) { return &r.working.vertical[1]; });
    number("NearLateral", kLateralBoxes, [](CodedResults& r) { return &r.working.lateral[1]; });
    number("IntTestDistance", kTestDistances,
           [](CodedResults& r) { return &r.working.test_distance; });
    for (int eye = 0; eye < 3; ++eye) {
      const QByteArray name = QByteArray("Int") + eyes[eye];
      number(name.constData(), kAcuityTargets,
             [eye](CodedResults& r) { return &r.working.acuity[2][eye]; });
    }
    for (int lamp = 0; lamp < kLamps; ++lamp) {
      flag(LampColumn(lamp), [lamp](CodedResults& r) { return &r.lamps[lamp]; });
    }
    return list;
  }();
  return columns;
}

const ColumnAccess* Find(const QString& name) {
  for (const ColumnAccess& access : Access()) {
    if (access.column.name == name) return &access;
  }
  return nullptr;
}

}  // namespace

const std::vector<ResultColumn>& ResultColumns() {
  static const std::vector<ResultColumn> columns = [] {
    std::vector<ResultColumn> list;
    for (const ColumnAccess& access : Access()) list.push_back(access.column);
    return list;
  }();
  return columns;
}

std::optional<int> ColumnValue(const CodedResults& results, const QString& name) {
  const ColumnAccess* access = Find(name);
  if (!access) return std::nullopt;
  CodedResults row = results;
  if (access->flag) return *access->flag(row) ? 1 : 0;
  return *access->number(row);
}

bool SetColumnValue(CodedResults& results, const QString& name, int value) {
  const ColumnAccess* access = Find(name);
  if (!access || value < 0 || value > access->column.maximum) return false;
  if (access->flag) {
    *access->flag(results) = value != 0;
  } else {
    *access->number(results) = value;
  }
  return true;
}

int PeripheralTotal(bool temporal85, bool temporal70, bool temporal55, bool nasal45) {
  int total = temporal85 ? 85 : temporal70 ? 70 : temporal55 ? 55 : 0;
  if (nasal45) total += 45;
  return total;
}

}  // namespace sonivera::vision
