// init, passwd, backup and check: the program's start-up and the database's
// maintenance from the command line.
#include "base/AppError.h"
#include "base/Messages.h"
#include "cli/Session.h"
#include "config/Maintenance.h"
#include "config/Password.h"

namespace sonivera::cli {

namespace {
const Command kInit{
    "init", "",
    "Starts the program on its folder and ends it again: creates the folder's default\n"
    "files and the database when they are missing, and upgrades an older database.",
    [](const CommandContext& context) {
      if (!context.args.isEmpty()) return Usage(CommandNamed("init"), "takes no arguments");
      Session session = StartSession(context);
      if (!session.app) return 1;
      EndSession(session);
      return 0;
    }};

const Command kPasswd{
    "passwd", "--new PW",
    "Changes the database password from --password to PW. An empty PW removes the\n"
    "password and leaves the file unencrypted.",
    [](const CommandContext& context) {
      const Command& self = CommandNamed("passwd");
      if (context.args.size() != 2 || context.args[0] != QLatin1String("--new")) {
        return Usage(self, "expects --new PW");
      }
      Session session = StartSession(context);
      if (!session.app) return 1;
      const QString fresh = context.args[1];
      ConfigContext config = session.app->ForConfig();
      const bool changed = ChangePassword(config, config.database_password, fresh, fresh);
      EndSession(session);
      return changed ? 0 : 1;
    }};

const Command kBackup{
    "backup", "FILE",
    "Copies the database, while it is open, to FILE. The copy opens with the same password.",
    [](const CommandContext& context) {
      const Command& self = CommandNamed("backup");
      if (context.args.size() != 1) return Usage(self, "expects the name of the copy");
      Session session = StartSession(context);
      if (!session.app) return 1;
      session.prompter->SetFileAnswer(context.args[0]);
      const bool made = MakeBackup(session.app->ForConfig());
      EndSession(session);
      return made ? 0 : 1;
    }};

const Command kCheck{
    "check", "", "Checks the database's integrity and relations; prints \"ok\" or what is wrong.",
    [](const CommandContext& context) {
      Session session = StartSession(context);
      if (!session.app) return 1;
      const QString result = session.app->Db().CheckIntegrity();
      std::printf("%s\n", result.toLocal8Bit().constData());
      EndSession(session);
      return result == QLatin1String("ok") ? 0 : 1;
    }};

const CommandRegistration kRegisterInit(kInit);
const CommandRegistration kRegisterPasswd(kPasswd);
const CommandRegistration kRegisterBackup(kBackup);
const CommandRegistration kRegisterCheck(kCheck);
}  // namespace

}  // namespace sonivera::cli
