#pragma once

#include <QAbstractTableModel>

#include "questionnaire/Questionnaire.h"

namespace sonivera {

// The questionnaire page's grid: one row per question; the marker column
// shows ">" on the current question, then the response, the question text
// and the answer text.
class QuestionnaireModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { kMarker = 0, kResponse = 1, kQuestion = 2, kAnswer = 3, kColumnCount = 4 };

  explicit QuestionnaireModel(const Questionnaire& questionnaire, QObject* parent = nullptr)
      : QAbstractTableModel(parent), questionnaire_(questionnaire) {}

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  // updatequestionsdisplay: redraws every row from the questionnaire.
  void updatequestionsdisplay();

 private:
  const Questionnaire& questionnaire_;
};

}  // namespace sonivera
