// A stand-in for the companion program of the PC audiometer. Installed as
// Bridger.exe in a program folder, it does what the companion does as far as
// Sonivera can see: it takes one argument (a command letter and the port
// character), logs it and the prev.tmp it was given to bridger.log, and
// leaves the reply files that bridger-scenario.txt in the same folder asks
// for. Without a scenario file it answers a test or a fetch with a test of
// plausible thresholds dated today.
//
// bridger-scenario.txt, one "key=value" a line ("#" starts a comment):
//   reply=data|error|csv|none|status   what to leave (default data)
//   type=N                  test type code of a data reply (default 1)
//   date=d/m/yyyy           test date of a data reply (default today)
//   left=v,v,...            eleven current thresholds, 125 Hz to 8 kHz
//   right=v,v,...           (a negative value is written as 65536 + v)
//   previous_left=...       previous thresholds in vel730.tmp; default the
//   previous_right=...      values read from prev.tmp
//   vel730=no               a test's data reply without vel730.tmp
//   truncate=N              cut veldata.tmp (fetch) or vel730.tmp (test) to N bytes
//   code=N  subcode=N       the codes of an error reply
//   length=N                length of an error reply (default 4)
//   status=N                first byte of a reply=status
//   csv=FILE                file of the folder copied to veldata.csv (reply=csv)
//   late=SECONDS            the reply files appear that long after the exit
//   hang=yes                never end (until killed)
//   crash=yes               end abnormally before leaving any file
//
// Usage: bridger-standin ARG     (run as <folder>/Bridger.exe)
//        bridger-standin --install FOLDER   copies itself there as Bridger.exe

#include <unistd.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTextStream>
#include <QThread>
#include <cstdio>
#include <cstdlib>

namespace {

QMap<QString, QString> ReadScenario(const QString& path) {
  QMap<QString, QString> scenario;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return scenario;
  for (const QByteArray& raw : file.readAll().split('\n')) {
    const QString line = QString::fromUtf8(raw).trimmed();
    if (line.isEmpty() || line.startsWith(u'#')) continue;
    const auto at = line.indexOf(u'=');
    if (at > 0) scenario.insert(line.left(at).trimmed().toLower(), line.mid(at + 1).trimmed());
  }
  return scenario;
}

QList<int> Values(const QString& text, const QList<int>& fallback) {
  if (text.isEmpty()) return fallback;
  QList<int> values;
  for (const QString& item : text.split(u',', Qt::SkipEmptyParts)) values << item.trimmed().toInt();
  while (values.size() < 11) values << -20;
  return values.mid(0, 11);
}

void AppendWord(QByteArray& bytes, int value) {
  const int word = value < 0 ? 65536 + value : value;
  bytes += char(word & 0xFF);
  bytes += char((word >> 8) & 0xFF);
}

void AppendEar(QByteArray& bytes, const QList<int>& values) {
  for (int v : values) AppendWord(bytes, v);
}

// The thresholds of one line of prev.tmp ("v,v,...,").
QList<int> PreviousLine(const QStringList& lines, int index) {
  if (index >= lines.size()) return {};
  return Values(lines[index], {});
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

int Install(const QString& folder) {
  const QString target = QDir(folder).filePath(QStringLiteral("Bridger.exe"));
  QFile::remove(target);
  if (!QDir().mkpath(folder) || !QFile::copy(QCoreApplication::applicationFilePath(), target)) {
    std::fprintf(stderr, "cannot install into %s\n", qPrintable(folder));
    return 1;
  }
  QFile(target).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                               QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                               QFileDevice::ExeGroup | QFileDevice::ReadOther |
                               QFileDevice::ExeOther);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() == 3 && args[1] == QLatin1String("--install")) return Install(args[2]);
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: Bridger.exe COMMAND-AND-PORT\n");
    return 2;
  }
  const QString argument = args[1];
  const QDir folder(QCoreApplication::applicationDirPath());
  const auto scenario = ReadScenario(folder.filePath(QStringLiteral("bridger-scenario.txt")));

  // The log: the argument, then each line of prev.tmp as given.
  QStringList log{QStringLiteral("argument: [%1]").arg(argument)};
  QStringList previous_lines;
  QFile prev(folder.filePath(QStringLiteral("prev.tmp")));
  if (argument.startsWith(u'S') && prev.open(QIODevice::ReadOnly)) {
    auto lines = prev.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (const QByteArray& line : lines) {
      previous_lines << QString::fromUtf8(line).remove(u'\r');
      log << QStringLiteral("prev.tmp: ") + previous_lines.last();
    }
  }
  if (argument.startsWith(u'X')) {
    QFile list(folder.filePath(QStringLiteral("veldata.csv")));
    if (list.open(QIODevice::ReadOnly)) {
      const auto lines = list.readAll().split('\n');
      log << QStringLiteral("veldata.csv: %1 lines, header %2")
                 .arg(lines.size() - (lines.last().isEmpty() ? 1 : 0))
                 .arg(QString::fromUtf8(lines.first()).trimmed());
    }
  }
  QFile log_file(folder.filePath(QStringLiteral("bridger.log")));
  if (log_file.open(QIODevice::WriteOnly | QIODevice::Append)) {
    log_file.write((log.join(QStringLiteral("\n")) + u'\n').toUtf8());
    log_file.close();
  }

  if (scenario.value(QStringLiteral("crash")) == QLatin1String("yes")) std::abort();
  if (scenario.value(QStringLiteral("hang")) == QLatin1String("yes")) {
    for (;;) QThread::sleep(1);
  }
  const bool test = argument.startsWith(u'S');
  const bool fetch = argument.startsWith(u'0');
  if (!test && !fetch) return 0;

  // The replies, built before any is written.
  const QString reply = scenario.value(QStringLiteral("reply"), QStringLiteral("data"));
  QMap<QString, QByteArray> files;  // name -> bytes
  QString csv_source;
  if (reply == QLatin1String("data")) {
    const QList<int> kDefaultLeft{15, 10, 10, 15, 15, 20, 20, 25, 35, 30, 25};
    const QList<int> kDefaultRight{10, 10, 5, 10, 10, 15, 15, 20, 30, 25, 20};
    const auto left = Values(scenario.value(QStringLiteral("left")), kDefaultLeft);
    const auto right = Values(scenario.value(QStringLiteral("right")), kDefaultRight);
    const int type = scenario.value(QStringLiteral("type"), QStringLiteral("1")).toInt();
    const QByteArray date = scenario
                                .value(QStringLiteral("date"),
                                       QDate::currentDate().toString(QStringLiteral("d/M/yyyy")))
                                .toLatin1();
    QByteArray data(1, char(150));
    data += char(0);        // byte 2: not read
    AppendWord(data, 1);    // bytes 3-4: the record number
    data += char(type);     // byte 5
    data += date.left(60);  // from byte 6
    data.append(65 - data.size(), '\0');
    AppendEar(data, left);
    AppendEar(data, right);
    QByteArray vel730;
    AppendEar(vel730, left);
    AppendEar(vel730, right);
    auto from_prev = [&](int line) {
      auto values = PreviousLine(previous_lines, line);
      while (values.size() < 11) values << -20;
      return values;
    };
    AppendEar(vel730, Values(scenario.value(QStringLiteral("previous_left")), from_prev(0)));
    AppendEar(vel730, Values(scenario.value(QStringLiteral("previous_right")), from_prev(1)));
    vel730 += char(type);
    AppendWord(vel730, 1);
    vel730 += date;
    if (scenario.contains(QStringLiteral("truncate"))) {
      const int size = scenario.value(QStringLiteral("truncate")).toInt();
      (test ? vel730 : data).truncate(size);
    }
    files.insert(QStringLiteral("veldata.tmp"), data);
    if (test && scenario.value(QStringLiteral("vel730")) != QLatin1String("no")) {
      files.insert(QStringLiteral("vel730.tmp"), vel730);
    }
  } else if (reply == QLatin1String("error")) {
    QByteArray data(1, char(151));
    data += char(0);
    data += char(scenario.value(QStringLiteral("code")).toInt());
    data += char(scenario.value(QStringLiteral("subcode")).toInt());
    data.resize(scenario.value(QStringLiteral("length"), QStringLiteral("4")).toInt(), '\0');
    files.insert(QStringLiteral("veldata.tmp"), data);
  } else if (reply == QLatin1String("csv")) {
    files.insert(QStringLiteral("veldata.tmp"), QByteArray(1, char(152)));
    csv_source = scenario.value(QStringLiteral("csv"));
  } else if (reply == QLatin1String("status")) {
    files.insert(QStringLiteral("veldata.tmp"),
                 QByteArray(1, char(scenario.value(QStringLiteral("status")).toInt())));
  }

  const double late = scenario.value(QStringLiteral("late"), QStringLiteral("0")).toDouble();
  if (late > 0) {
    // The program sees the companion end at once; the files follow later.
    const pid_t child = fork();
    if (child != 0) return child < 0 ? 1 : 0;
    QThread::msleep(static_cast<unsigned long>(late * 1000));
  }
  if (!csv_source.isEmpty()) {
    QFile::remove(folder.filePath(QStringLiteral("veldata.csv")));
    QFile::copy(folder.filePath(csv_source), folder.filePath(QStringLiteral("veldata.csv")));
  }
  // vel730.tmp first: the program reads it only after veldata.tmp.
  for (const QString& name : {QStringLiteral("vel730.tmp"), QStringLiteral("veldata.tmp")}) {
    if (files.contains(name) && !WriteFile(folder.filePath(name), files.value(name))) return 1;
  }
  return 0;
}
