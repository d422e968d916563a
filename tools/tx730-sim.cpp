// tx730-sim: a TX730 audiometer on a pseudo-terminal, for tests and the
// demonstration. It holds a list of stored tests, answers the data request
// ("ECHO,OFF", "EXPORT,BATCH,MODE3,<filter>") with Series 3 lines or Series 1
// blocks, takes an export ("DATABASE,ERASE", records, "IMPORT,COMPLETE")
// into its store, can push its tests unasked (Series 4/5), and can be told to
// misbehave. Every byte in both directions can be written to a transcript.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <QByteArray>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <deque>
#include <vector>

namespace {

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

// The audiometer's record: its fields in the order it keeps and sends them.
struct Field {
  const char* name;
  bool text;  // sent in double quotes
};
const std::vector<Field>& Layout() {
  static const std::vector<Field> layout = [] {
    std::vector<Field> f = {{"IMPORT", false},     {"MODE3", false},     {"Test Type", true},
                            {"Patient No", false}, {"Surname", true},    {"Forename", true},
                            {"Position", true},    {"Department", true}, {"Company", true},
                            {"Sex", true}};
    static const char* const kAddress[] = {"Address 1", "Address 2", "Address 3",
                                           "Address 4", "Address 5", "Address 6"};
    for (const char* a : kAddress) f.push_back({a, true});
    for (const Field& x : std::vector<Field>{{"Test Date", false},
                                             {"Test Time", false},
                                             {"Examiner", true},
                                             {"Date of Birth", false},
                                             {"Previous Test", false},
                                             {"Category", true},
                                             {"Calibrated", false}}) {
      f.push_back(x);
    }
    static std::vector<QByteArray> names;
    for (const char* ear : {"Current Left", "Current Right", "Previous Left", "Previous Right"}) {
      for (const char* hz : {"500", "1k", "1k5", "2k", "3k", "4k", "6k", "8k"}) {
        names.push_back(QByteArray(ear) + ' ' + hz);
      }
    }
    for (const QByteArray& n : names) f.push_back({n.constData(), false});
    f.push_back({"Serial No", true});
    return f;
  }();
  return layout;
}

int FieldIndex(const char* name) {
  for (size_t i = 0; i < Layout().size(); ++i) {
    if (qstrcmp(Layout()[i].name, name) == 0) return int(i);
  }
  return -1;
}

using Test = QStringList;  // one value per Layout() field, unquoted

// Splits a record line: values separated by commas, a value in double quotes
// may hold commas.
Test SplitRecord(const QString& line) {
  Test values;
  QString value;
  bool quoted = false;
  for (qsizetype i = 0; i < line.size(); ++i) {
    const QChar c = line.at(i);
    if (c == u'"') {
      quoted = !quoted;
    } else if (c == u',' && !quoted) {
      values << value;
      value.clear();
    } else {
      value += c;
    }
  }
  if (!value.isEmpty()) values << value;
  while (values.size() < qsizetype(Layout().size())) values << QString();
  values.resize(qsizetype(Layout().size()));
  return values;
}

QString Series3Line(const Test& test) {
  QString line;
  for (size_t i = 0; i < Layout().size(); ++i) {
    QString value = test.value(qsizetype(i));
    if (Layout()[i].text) {
      // The category is read up to its closing quote: never send it empty.
      if (value.isEmpty() && qstrcmp(Layout()[i].name, "Category") == 0) value = "-";
      value = u'"' + value + u'"';
    }
    line += value + u',';
  }
  return line + QStringLiteral("\r\n");
}

QString Series1Block(const Test& test) {
  auto v = [&](const char* name) { return test.value(FieldIndex(name)); };
  auto row = [&](const char* ear) {
    QStringList values;
    for (const char* hz : {"500", "1k", "1k5", "2k", "3k", "4k", "6k", "8k"}) {
      const QString value = v((QByteArray(ear) + ' ' + hz).constData());
      values << (value.isEmpty() ? QStringLiteral("*") : value);
    }
    return values.join(u',');
  };
  QStringList lines;
  for (const char* name : {"Patient No", "Surname",    "Forename",  "Sex",       "Date of Birth",
                           "Position",   "Department", "Company",   "Address 1", "Address 2",
                           "Address 3",  "Address 4",  "Address 5", "Address 6", "Test Date",
                           "Test Time",  "Examiner",   "Test Type", "Serial No", "Calibrated"}) {
    lines << v(name);
  }
  lines << row("Current Left") << row("Current Right") << v("Previous Test") << row("Previous Left")
        << row("Previous Right");
  return QStringLiteral("<\r\n") + lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n") +
         v("Category") + QStringLiteral(">\r\n");
}

bool Matches(const Test& test, const QString& key, const QString& text) {
  auto starts = [&](const char* name) {
    return test.value(FieldIndex(name)).startsWith(text, Qt::CaseInsensitive);
  };
  const QString k = key.toUpper();
  if (k.isEmpty()) return true;
  if (k == "PATNUM")
    return test.value(FieldIndex("Patient No")).compare(text, Qt::CaseInsensitive) == 0;
  if (k == "SURNAME") return starts("Surname");
  if (k == "FORENAME") return starts("Forename");
  if (k == "POSN") return starts("Position");
  if (k == "DEPT") return starts("Department");
  if (k == "COMPANY") return starts("Company");
  if (k == "BEFORE" || k == "AFTER") {
    const QDate limit = QDate::fromString(text, "dd/MM/yyyy");
    const QDate tested = QDate::fromString(test.value(FieldIndex("Test Date")), "dd/MM/yyyy");
    if (!limit.isValid() || !tested.isValid()) return false;
    return k == "BEFORE" ? tested <= limit : tested >= limit;
  }
  // A filter it does not know (a Series 1 request sends "Error") asks for all.
  return true;
}

QByteArray Escaped(const QByteArray& bytes) {
  // Printable text as it is; line ends, other control bytes and '%' as %XX.
  QByteArray printable;
  for (char c = ' '; c < 0x7f; ++c) {
    if (c != '%') printable += c;
  }
  return bytes.toPercentEncoding(printable);
}

struct Options {
  QString series = "S3";
  QString device;  // an existing terminal to use; else a new pseudo-terminal
  QString link;    // a symbolic link to create to the device
  QString store;   // the stored tests, one Series 3 line each
  QString transcript;
  double late = 0;       // seconds before a reply starts
  int split = 0;         // write replies this many bytes at a time
  bool silent = false;   // never reply
  bool garbage = false;  // noise before each reply record
  double push = -1;      // push every test unasked after this many seconds
  int baud = 0;          // pace output at this line speed
  bool echo = false;     // echo command lines until ECHO,OFF
};

class Simulator {
 public:
  explicit Simulator(Options options) : o_(std::move(options)) {}

  bool Open();
  int Run();

 private:
  void LoadStore();
  void SaveStore();
  void Handle(const QString& line);
  void Reply(const QByteArray& bytes, double delay);
  void Log(const char* direction, const QByteArray& bytes);
  void Flush();

  Options o_;
  int fd_ = -1;
  int slave_fd_ = -1;
  QString device_;
  std::vector<Test> tests_;
  std::vector<Test> incoming_;
  bool echo_ = false;
  QByteArray input_;
  QElapsedTimer clock_;
  struct Pending {
    qint64 at_ms;
    QByteArray bytes;
  };
  std::deque<Pending> out_;
  FILE* transcript_ = nullptr;
};

bool Simulator::Open() {
  if (!o_.device.isEmpty()) {
    fd_ = ::open(o_.device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    device_ = o_.device;
  } else {
    fd_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (fd_ >= 0 && (grantpt(fd_) != 0 || unlockpt(fd_) != 0)) fd_ = -1;
    if (fd_ >= 0) {
      device_ = QString::fromLocal8Bit(ptsname(fd_));
      // Holding the other end open keeps the pair alive while the program
      // closes and reopens its side.
      slave_fd_ = ::open(ptsname(fd_), O_RDWR | O_NOCTTY);
      fcntl(fd_, F_SETFL, O_NONBLOCK);
    }
  }
  if (fd_ < 0) {
    std::perror("tx730-sim: cannot open the terminal");
    return false;
  }
  for (const int fd : {fd_, slave_fd_}) {
    termios tio{};
    if (fd >= 0 && tcgetattr(fd, &tio) == 0) {
      cfmakeraw(&tio);
      tcsetattr(fd, TCSANOW, &tio);
    }
  }
  if (!o_.link.isEmpty()) {
    ::unlink(o_.link.toLocal8Bit().constData());
    if (::symlink(device_.toLocal8Bit().constData(), o_.link.toLocal8Bit().constData()) != 0) {
      std::perror("tx730-sim: cannot create the link");
      return false;
    }
  }
  if (!o_.transcript.isEmpty()) {
    transcript_ = std::fopen(o_.transcript.toLocal8Bit().constData(), "w");
  }
  echo_ = o_.echo;
  LoadStore();
  std::printf("DEVICE %s\n", device_.toLocal8Bit().constData());
  std::fflush(stdout);
  return true;
}

void Simulator::LoadStore() {
  QFile file(o_.store);
  if (o_.store.isEmpty() || !file.open(QIODevice::ReadOnly)) return;
  for (const QByteArray& raw : file.readAll().split('\n')) {
    const QString line = QString::fromLatin1(raw).trimmed();
    if (line.isEmpty() || line.startsWith(u'#')) continue;
    tests_.push_back(SplitRecord(line));
  }
}

void Simulator::SaveStore() {
  if (o_.store.isEmpty()) return;
  QFile file(o_.store);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
  for (const Test& test : tests_) {
    file.write(Series3Line(test).trimmed().toLatin1() + '\n');
  }
}

void Simulator::Log(const char* direction, const QByteArray& bytes) {
  if (!transcript_ || bytes.isEmpty()) return;
  std::fprintf(transcript_, "%s %s\n", direction, Escaped(bytes).constData());
  std::fflush(transcript_);
}

void Simulator::Reply(const QByteArray& bytes, double delay) {
  qint64 at = clock_.elapsed() + qint64(delay * 1000);
  if (!out_.empty()) at = std::max(at, out_.back().at_ms);
  const int piece = o_.split > 0 ? o_.split : int(bytes.size());
  for (qsizetype i = 0; i < bytes.size(); i += piece) {
    out_.push_back({at, bytes.mid(i, piece)});
    // Split pieces arrive as separate reads.
    if (o_.split > 0) at += 30;
  }
}

void Simulator::Handle(const QString& line) {
  if (echo_ && line != QLatin1String("ECHO,OFF")) Reply(line.toLatin1() + "\r\n", 0);
  if (line == QLatin1String("ECHO,OFF")) {
    echo_ = false;
  } else if (line == QLatin1String("DATABASE,ERASE")) {
    tests_.clear();
    SaveStore();
  } else if (line == QLatin1String("IMPORT,COMPLETE")) {
    for (Test& test : incoming_) tests_.push_back(std::move(test));
    incoming_.clear();
    SaveStore();
  } else if (line.startsWith(QLatin1String("IMPORT,"))) {
    incoming_.push_back(SplitRecord(line));
  } else if (line.startsWith(QLatin1String("EXPORT,BATCH,MODE3,"))) {
    if (o_.silent) return;
    const QStringList filter = line.mid(19).split(u',');
    QByteArray reply;
    for (const Test& test : tests_) {
      if (!Matches(test, filter.value(0), filter.value(1))) continue;
      if (o_.garbage) {
        QByteArray noise;
        for (int i = 0; i < 12; ++i) noise += char(0x21 + QRandomGenerator::global()->bounded(90));
        noise.replace('>', '?');
        noise.replace('<', '?');
        reply += noise + "\r\n";
      }
      reply +=
          (o_.series == QLatin1String("S1") ? Series1Block(test) : Series3Line(test)).toLatin1();
    }
    Reply(reply, o_.late);
  }
}

void Simulator::Flush() {
  const qint64 now = clock_.elapsed();
  while (!out_.empty() && out_.front().at_ms <= now) {
    QByteArray bytes = out_.front().bytes;
    if (o_.baud > 0) {
      // Ten bits a character: hold back what the line could not carry yet.
      const qsizetype room = std::max<qsizetype>(1, o_.baud / 10 / 50);
      if (bytes.size() > room) {
        out_.front().bytes = bytes.mid(room);
        out_.front().at_ms = now + 20;
        bytes.truncate(room);
      } else {
        out_.pop_front();
      }
    } else {
      out_.pop_front();
    }
    qsizetype done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd_, bytes.constData() + done, size_t(bytes.size() - done));
      if (n < 0) {
        if (errno == EAGAIN) {
          usleep(2000);
          continue;
        }
        return;
      }
      done += n;
    }
    Log("TX", bytes);
    if (o_.baud > 0) break;
  }
}

int Simulator::Run() {
  clock_.start();
  bool pushed = false;
  while (!g_stop) {
    if (!pushed && o_.push >= 0 && clock_.elapsed() >= qint64(o_.push * 1000)) {
      pushed = true;
      QByteArray all;
      for (const Test& test : tests_) all += Series3Line(test).toLatin1();
      Reply(all, 0);
    }
    pollfd p{fd_, POLLIN, 0};
    const int timeout = out_.empty() ? 50 : 5;
    if (::poll(&p, 1, timeout) > 0 && (p.revents & POLLIN)) {
      char buffer[4096];
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n > 0) {
        const QByteArray bytes(buffer, n);
        Log("RX", bytes);
        input_ += bytes;
        qsizetype end;
        while ((end = input_.indexOf("\r\n")) >= 0) {
          const QString line = QString::fromLatin1(input_.left(end));
          input_.remove(0, end + 2);
          if (!line.isEmpty()) Handle(line);
        }
      }
    }
    Flush();
  }
  if (!o_.link.isEmpty()) ::unlink(o_.link.toLocal8Bit().constData());
  if (transcript_) std::fclose(transcript_);
  return 0;
}

void Usage() {
  std::fputs(
      "usage: tx730-sim [--series S1|S3] [--device PATH] [--link PATH] [--store FILE]\n"
      "                 [--transcript FILE] [--late SECONDS] [--split BYTES] [--silent]\n"
      "                 [--garbage] [--push SECONDS] [--baud N] [--echo]\n"
      "Without --device a pseudo-terminal pair is made; the line \"DEVICE <path>\" on\n"
      "stdout names the end to open (and --link makes a symbolic link to it).\n"
      "The store holds one Series 3 record line per test; an export replaces or\n"
      "extends it. --push sends every stored test unasked (Series 4/5).\n",
      stderr);
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    auto next = [&]() { return i + 1 < argc ? QString::fromLocal8Bit(argv[++i]) : QString(); };
    if (arg == "--series") {
      o.series = next().toUpper();
    } else if (arg == "--device") {
      o.device = next();
    } else if (arg == "--link") {
      o.link = next();
    } else if (arg == "--store") {
      o.store = next();
    } else if (arg == "--transcript") {
      o.transcript = next();
    } else if (arg == "--late") {
      o.late = next().toDouble();
    } else if (arg == "--split") {
      o.split = next().toInt();
    } else if (arg == "--silent") {
      o.silent = true;
    } else if (arg == "--garbage") {
      o.garbage = true;
    } else if (arg == "--push") {
      o.push = next().toDouble();
    } else if (arg == "--baud") {
      o.baud = next().toInt();
    } else if (arg == "--echo") {
      o.echo = true;
    } else {
      Usage();
      return 2;
    }
  }
  signal(SIGINT, OnSignal);
  signal(SIGTERM, OnSignal);
  signal(SIGHUP, OnSignal);
  Simulator simulator(o);
  if (!simulator.Open()) return 1;
  return simulator.Run();
}
