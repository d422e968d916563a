#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace sonivera::cli {

// What a command gets: its own arguments and the global options.
struct CommandContext {
  QStringList args;
  QString folder;
  QString password;
  bool assume_yes = false;
};

// A command of sonivera-cli. Returns the exit code: 0 success, 1 failure
// (one line on stderr), 2 bad usage.
struct Command {
  QString name;
  QString synopsis;  // arguments after the name
  QString help;      // what --help prints under the synopsis
  std::function<int(const CommandContext&)> run;
};

std::vector<Command>& Commands();
const Command& CommandNamed(const QString& name);

// Each command file registers its commands with a static CommandRegistration object.
struct CommandRegistration {
  explicit CommandRegistration(Command command) { Commands().push_back(std::move(command)); }
};

// Prints a one-line failure to stderr and returns 1.
int Fail(const QString& message);
// Prints a usage error to stderr and returns 2.
int Usage(const Command& command, const QString& message);
// True for a file that can be read; otherwise prints "cannot read PATH".
bool ReadableInput(const QString& path);

}  // namespace sonivera::cli
