#include "ui/FormVisionSearch.h"

#include "base/Messages.h"

namespace sonivera::ui {

namespace {
const QString kVision = QStringLiteral(" - Vision");
}

FormVisionFind::FormVisionFind(Finder find, QWidget* parent) : FormFind(std::move(find), parent) {
  setObjectName(QStringLiteral("FormVisionFind"));
  setWindowTitle(Msg(753) + kVision);
}

FormVisionSort::FormVisionSort(SortField current, QWidget* parent) : FormSort(current, parent) {
  setObjectName(QStringLiteral("FormVisionSort"));
  setWindowTitle(Msg(3136) + kVision);
}

FormVisionFilter::FormVisionFilter(int lcid, const FilterCriteria& shown, Actions actions,
                                   QWidget* parent)
    : FormFilter(lcid, shown, std::move(actions), parent) {
  setObjectName(QStringLiteral("FormVisionFilter"));
  setWindowTitle(Msg(729) + kVision);
}

}  // namespace sonivera::ui
