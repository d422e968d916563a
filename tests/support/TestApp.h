#pragma once

#include <memory>

#include "app/Application.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

namespace sonivera::test {

// A started program on a temporary folder: settings read, a new database
// created (or the folder's database opened), everything answered by a
// ScriptedPrompter. Locale en-GB unless changed before Init().
// A port layer that counts how often the serial link was (re)opened.
struct CountingSerialLink : SerialLinkOpener {
  void OpenSerialLink() override { ++opened; }
  int opened = 0;
};

struct TestApp {
  TempFolder folder;
  ScriptedPrompter prompter;
  std::unique_ptr<Application> app;

  // Initialises the program on the folder; false when start-up failed.
  bool Init(int lcid = 2057, const QString& password = QString());
  Application& operator*() { return *app; }
  Application* operator->() { return app.get(); }
};

}  // namespace sonivera::test
