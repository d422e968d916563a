#pragma once

#include <QString>

namespace sonivera::ui {

// A program built with Sonivera that stands in for a device during the
// demonstration: the path in the environment variable `env_var` when set (empty
// when that is not an executable), else `name` beside the program, in the
// build's tools folder, or in the installed tree's libexec/sonivera folder.
// Empty when none is found.
QString FindDemoProgram(const char* env_var, const QString& name);

}  // namespace sonivera::ui
