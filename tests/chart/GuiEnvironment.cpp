#include <gtest/gtest.h>

#include <QGuiApplication>
#include <memory>

namespace {

// Text on a chart needs the fonts of a GUI application; offscreen unless the
// run asks for another platform.
class GuiEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    if (QGuiApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[11] = "test_chart";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};

const auto* const kEnvironment = testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace
