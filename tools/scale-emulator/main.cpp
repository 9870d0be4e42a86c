// scale-emulator: behaves as a Zirk scale on the network and on a serial line, for trying
// Quibrel without a scale, for training and for the tests.
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "emulator_files.h"
#include "scale_emulator.h"

namespace {

constexpr const char* kUsage =
    "usage: scale-emulator [--dir DIR] [--listen ADDRESS] [--port N] [--family N]\n"
    "                      [--serial [DEVICE]] [--silent] [--short-replies] [--refuse-goods]\n"
    "                      [--close-after N] [--lie-length] [--delay MS] [--totals N]\n"
    "\n"
    "  --dir DIR          folder of the scale's files (default: a new temporary folder)\n"
    "  --listen ADDRESS   address for UDP and TCP (default 127.0.0.1)\n"
    "  --port N           UDP and TCP port (default 5001; 0 picks a free one)\n"
    "  --family N         family code in the discovery reply: 0 Zirk, 1 Vorn, 2 Nolt\n"
    "  --serial [DEVICE]  also answer on a serial line: DEVICE, or a new pty whose path is shown\n"
    "  --silent           answer discovery only, never an exchange request\n"
    "  --short-replies    answer exchange requests with 5 bytes (no reply for the PC)\n"
    "  --refuse-goods     refuse the goods file (reply code 0x43)\n"
    "  --close-after N    close the connection after answering N blocks (serial: go deaf\n"
    "                     until the next Hello)\n"
    "  --lie-length       block replies announce 16 file bytes more than they carry\n"
    "  --delay MS         delay every reply\n"
    "  --totals N         write a Totals.dat of N records (PLUs from products.dat if present)\n";

int Usage(const QString& problem) {
  std::fprintf(stderr, "scale-emulator: %s\n%s", qPrintable(problem), kUsage);
  return 2;
}

bool ReadNumber(const QStringList& args, int& i, int low, int high, int* out) {
  if (i + 1 >= args.size()) return false;
  bool ok = false;
  const int value = args[++i].toInt(&ok);
  if (!ok || value < low || value > high) return false;
  *out = value;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  using quibrel::emulator::Options;
  Options options;
  int totals = -1;
  const QStringList args = app.arguments();
  for (int i = 1; i < args.size(); ++i) {
    const QString& arg = args[i];
    int number = 0;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--dir" && i + 1 < args.size()) {
      options.dir = QDir(args[++i]).absolutePath();
    } else if (arg == "--listen" && i + 1 < args.size()) {
      if (!options.listen.setAddress(args[++i])) return Usage("not an address: " + args[i]);
    } else if (arg == "--port") {
      if (!ReadNumber(args, i, 0, 65535, &number)) return Usage("--port needs 0 to 65535");
      options.port = static_cast<quint16>(number);
    } else if (arg == "--family") {
      if (!ReadNumber(args, i, 0, 255, &number)) return Usage("--family needs 0 to 255");
      options.family = static_cast<std::uint8_t>(number);
    } else if (arg == "--serial") {
      options.serial = true;
      if (i + 1 < args.size() && !args[i + 1].startsWith("--")) options.serial_device = args[++i];
    } else if (arg == "--silent") {
      options.silent = true;
    } else if (arg == "--short-replies") {
      options.short_replies = true;
    } else if (arg == "--refuse-goods") {
      options.refuse_goods = true;
    } else if (arg == "--close-after") {
      if (!ReadNumber(args, i, 0, 65535, &number)) return Usage("--close-after needs a count");
      options.close_after = number;
    } else if (arg == "--lie-length") {
      options.lie_length = true;
    } else if (arg == "--delay") {
      if (!ReadNumber(args, i, 0, 600000, &number)) return Usage("--delay needs milliseconds");
      options.delay_ms = number;
    } else if (arg == "--totals") {
      if (!ReadNumber(args, i, 0, 1000000, &number)) return Usage("--totals needs a count");
      totals = number;
    } else {
      return Usage("unknown option " + arg);
    }
  }

  if (options.dir.isEmpty()) {
    QTemporaryDir made(QDir::tempPath() + "/scale-emulator-XXXXXX");
    if (!made.isValid()) return Usage("cannot make a temporary folder");
    made.setAutoRemove(false);  // the files stay for looking at after the emulator ends
    options.dir = made.path();
  }
  if (!QDir().mkpath(options.dir)) return Usage("cannot make the folder " + options.dir);

  if (totals >= 0) {
    QFile goods(quibrel::emulator::FindFile(options.dir, "products.dat"));
    const QByteArray goods_bytes = goods.open(QIODevice::ReadOnly) ? goods.readAll() : QByteArray();
    QFile out(quibrel::emulator::FindFile(options.dir, "Totals.dat"));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        out.write(quibrel::emulator::MakeTotals(totals, quibrel::emulator::GoodsPlus(goods_bytes),
                                                QDate::currentDate())) < 0) {
      std::fprintf(stderr, "scale-emulator: cannot write %s\n", qPrintable(out.fileName()));
      return 1;
    }
  }

  quibrel::emulator::ScaleEmulator emulator(options);
  if (!emulator.Start()) {
    std::fprintf(stderr, "scale-emulator: %s\n", qPrintable(emulator.error()));
    return 1;
  }
  if (options.serial) std::printf("Serial line: %s\n", qPrintable(emulator.serial_path()));
  std::printf("Ready on %s port %u, files in %s\n", qPrintable(options.listen.toString()),
              static_cast<unsigned>(emulator.port()), qPrintable(options.dir));
  std::fflush(stdout);
  return app.exec();
}
