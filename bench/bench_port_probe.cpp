// How long the configuration window takes to fill its port list: every COM
// port is mapped to its device and tried once.
//
//   bench_port_probe [FOLDER] [ROUNDS]   (default: a folder without comports.txt, 20)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "base/ProgramFolder.h"
#include "config/PortList.h"

using namespace sonivera;

int main(int argc, char** argv) {
  QCoreApplication qt_app(argc, argv);
  QTemporaryDir scratch;
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : scratch.path();
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
  const ProgramFolder program(folder);
  QStringList items;
  QElapsedTimer timer;
  timer.start();
  for (int i = 0; i < rounds; ++i) items = ProbePortList(program);
  const double per_fill = static_cast<double>(timer.nsecsElapsed()) / 1e6 / rounds;
  int available = 0;
  for (const QString& item : items) available += item.endsWith(QLatin1String("(available)"));
  std::printf("port list: %lld items, %d available, %.2f ms per fill (%d rounds)\n",
              static_cast<long long>(items.size()), available, per_fill, rounds);
  return 0;
}
