#include "support/TestApp.h"

namespace sonivera::test {

bool TestApp::Init(int lcid, const QString& password) {
  app = std::make_unique<Application>(ProgramFolder(folder.Path()), prompter);
  app->SetUserLocale(lcid);
  app->DatabasePassword() = password;
  return app->Initialise();
}

}  // namespace sonivera::test
