#include "vision/VisionScript.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>

namespace sonivera::vision {

namespace {

// The number after "name:" when `event` has that prefix.
std::optional<int> Argument(const QString& event, QLatin1String prefix) {
  if (!event.startsWith(prefix)) return std::nullopt;
  bool ok = false;
  const int value = event.mid(prefix.size()).toInt(&ok);
  if (!ok) return -1;
  return value;
}

QString NotShown(const QString& event, int step) {
  return QStringLiteral("\"%1\" is not a control of step %2").arg(event).arg(step);
}

}  // namespace

std::optional<QString> ApplyEvent(VisionEntry& entry, const QString& event) {
  const int step = entry.Step();
  bool shown = true;
  if (event == QLatin1String("next")) {
    entry.Next();
  } else if (event == QLatin1String("prev")) {
    entry.Previous();
  } else if (event == QLatin1String("pass")) {
    shown = entry.AcuityPass();
  } else if (event == QLatin1String("fail")) {
    shown = entry.AcuityFail();
  } else if (event == QLatin1String("pass2")) {
    shown = entry.DepthPass();
  } else if (event == QLatin1String("fail2")) {
    shown = entry.DepthFail();
  } else if (event == QLatin1String("clearAcuity")) {
    shown = entry.ClearAcuity();
  } else if (event == QLatin1String("clearDepth")) {
    shown = entry.ClearDepth();
  } else if (event.startsWith(QLatin1String("binoc:"))) {
    static const QStringList kOptions{QStringLiteral("Four"), QStringLiteral("Two"),
                                      QStringLiteral("Three")};
    const int option = kOptions.indexOf(event.mid(6)) + 1;
    if (option == 0) return QStringLiteral("unknown binocular answer \"%1\"").arg(event.mid(6));
    shown = entry.ChooseBinocular(option);
  } else if (event.startsWith(QLatin1String("periph:"))) {
    int lamp = -1;
    for (int i = 0; i < kLamps; ++i) {
      if (event.mid(7) == LampName(i)) lamp = i;
    }
    if (lamp < 0) return QStringLiteral("unknown lamp \"%1\"").arg(event.mid(7));
    shown = entry.ClickLamp(lamp);
  } else {
    struct Boxes {
      QLatin1String prefix;
      int count;
      bool (VisionEntry::*click)(int);
    };
    static const Boxes kBoxes[] = {
        {QLatin1String("colour:"), kColourCircles, &VisionEntry::ClickColour},
        {QLatin1String("vertical:"), kVerticalBoxes, &VisionEntry::ClickVertical},
        {QLatin1String("lateral:"), kLateralBoxes, &VisionEntry::ClickLateral},
        {QLatin1String("distance:"), kTestDistances, &VisionEntry::ChooseTestDistance}};
    for (const Boxes& boxes : kBoxes) {
      const std::optional<int> k = Argument(event, boxes.prefix);
      if (!k) continue;
      if (*k < 1 || *k > boxes.count) {
        return QStringLiteral("\"%1\": the number must be 1 to %2").arg(event).arg(boxes.count);
      }
      if (!(entry.*boxes.click)(*k)) return NotShown(event, step);
      return std::nullopt;
    }
    return QStringLiteral("unknown event \"%1\"").arg(event);
  }
  if (!shown) return NotShown(event, step);
  return std::nullopt;
}

QJsonObject DescribeEntry(VisionEntry& entry) {
  const CodedResults results = entry.ResultsForSave();
  QJsonObject columns;
  for (const ResultColumn& column : ResultColumns()) {
    const int value = *ColumnValue(results, column.name);
    if (column.boolean) {
      columns.insert(column.name, value != 0);
    } else {
      columns.insert(column.name, value);
    }
  }
  QJsonObject output;
  output.insert(QStringLiteral("step"), entry.Step());
  output.insert(QStringLiteral("eyeFrame"), entry.EyeFrame());
  output.insert(QStringLiteral("missCount"), entry.MissCount());
  output.insert(QStringLiteral("depthRun"), entry.DepthRun());
  output.insert(QStringLiteral("depthTarget"), entry.DepthTarget());
  output.insert(QStringLiteral("depthMiss"), entry.DepthMissCount());
  output.insert(QStringLiteral("totals"), QJsonObject{{QStringLiteral("right"), entry.TotalRight()},
                                                      {QStringLiteral("left"), entry.TotalLeft()},
                                                      {QStringLiteral("both"), entry.TotalBoth()}});
  output.insert(QStringLiteral("results"), columns);
  return output;
}

QJsonObject RunStepsLine(const QByteArray& line) {
  auto error = [](const QString& text) { return QJsonObject{{QStringLiteral("error"), text}}; };
  QJsonParseError parse_error;
  const QJsonDocument document = QJsonDocument::fromJson(line, &parse_error);
  if (parse_error.error != QJsonParseError::NoError) {
    return error(QStringLiteral("not JSON: ") + parse_error.errorString());
  }
  if (!document.isObject()) return error(QStringLiteral("not a JSON object"));
  const QJsonObject input = document.object();
  for (auto it = input.begin(); it != input.end(); ++it) {
    if (it.key() != QLatin1String("events") && it.key() != QLatin1String("stored")) {
      return error(QStringLiteral("unknown field \"%1\"").arg(it.key()));
    }
  }
  const QJsonValue events = input.value(QLatin1String("events"));
  if (!events.isArray()) return error(QStringLiteral("events must be an array of texts"));

  VisionEntry entry;
  const QJsonValue stored = input.value(QLatin1String("stored"));
  if (stored.isUndefined()) {
    entry.BeginNewTest();
  } else {
    if (!stored.isObject()) return error(QStringLiteral("stored must be an object"));
    CodedResults row;
    const QJsonObject columns = stored.toObject();
    for (auto it = columns.begin(); it != columns.end(); ++it) {
      const QJsonValue value = it.value();
      int number = -1;
      if (value.isBool()) {
        number = value.toBool() ? 1 : 0;
      } else if (value.isDouble() && std::floor(value.toDouble()) == value.toDouble() &&
                 std::abs(value.toDouble()) < 1e6) {
        number = static_cast<int>(value.toDouble());
      }
      if (!SetColumnValue(row, it.key(), number)) {
        return error(
            QStringLiteral("stored \"%1\": not a results column or out of range").arg(it.key()));
      }
    }
    entry.BeginEdit(row);
  }
  const QJsonArray list = events.toArray();
  for (int i = 0; i < list.size(); ++i) {
    if (!list.at(i).isString()) return error(QStringLiteral("event %1 is not a text").arg(i + 1));
    if (const auto problem = ApplyEvent(entry, list.at(i).toString())) {
      return error(QStringLiteral("event %1: %2").arg(i + 1).arg(*problem));
    }
  }
  return DescribeEntry(entry);
}

}  // namespace sonivera::vision
