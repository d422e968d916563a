#include "questionnaire/QuestionnaireModel.h"

namespace sonivera {

int QuestionnaireModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kQuestionCount;
}

int QuestionnaireModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant QuestionnaireModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return QVariant();
  const int row = index.row();
  const Answers& answers = questionnaire_.Held();
  switch (index.column()) {
    case kMarker:
      return row + 1 == questionnaire_.Current() ? QStringLiteral(">") : QString();
    case kResponse:
      return ResponseText(answers.codes[row]);
    case kQuestion:
      return questionnaire_.QuestionText(row + 1);
    case kAnswer:
      return answers.codes[row] == kAnswerText ? answers.texts[row] : QString();
    default:
      return QVariant();
  }
}

QVariant QuestionnaireModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QVariant();
  if (orientation == Qt::Vertical) return section + 1;
  switch (section) {
    case kResponse:
      return QStringLiteral("Response");
    case kQuestion:
      return QStringLiteral("Question");
    case kAnswer:
      return QStringLiteral("Answer");
    default:
      return QString();
  }
}

void QuestionnaireModel::updatequestionsdisplay() {
  emit dataChanged(index(0, 0), index(kQuestionCount - 1, kColumnCount - 1));
}

}  // namespace sonivera
