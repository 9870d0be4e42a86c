#include "cli/cli_status_sink.h"

#include <QCoreApplication>

namespace quibrel {

void CliStatusSink::ShowMessageWindow(int, int, const QColor&, const QColor&, Qt::Alignment, bool,
                                      QStringList& sList) {
  for (const QString& line : sList) {
    const QByteArray bytes = line.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), out_);
    std::fputc('\n', out_);
  }
  std::fflush(out_);
  sList.clear();
}

void CliStatusSink::ProcessEvents() {
  // Queued signals (the discovery thread's, socket notifications) still need their turn.
  if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}

}  // namespace quibrel
