#include "link/block_sender.h"

#include <QFile>
#include <algorithm>

#include "core/program_folder.h"
#include "core/quibrel_error.h"
#include "core/status_sink.h"
#include "i18n/lang_text.h"
#include "link/scale_link.h"
#include "scalefiles/scale_files.h"

namespace quibrel {

namespace {

[[noreturn]] void ThrowUnreadable(const QString& path, const QString& reason) {
  throw QuibrelError(
      LangText("Link", "FileUnreadable", "Cannot read the file %1: %2").arg(path, reason));
}

[[noreturn]] void ThrowWrongLine(bool want_serial) {
  throw QuibrelError(
      want_serial ? LangText("Link", "NotSerial", "The serial port of the scale is not open")
                  : LangText("Link", "NotTcp", "No network connection to the scale is open"));
}

void RequireTransport(const ScaleLink& link, bool serial) {
  if (link.transport() == nullptr || link.transport()->IsSerial() != serial) {
    ThrowWrongLine(serial);
  }
}

// Writes the block prepared in TransmitBuffer and reads its reply; on a serial line a reply too
// short to count is asked for again with the very same frame. Leaves the last reply in LocalBuf.
void SendBlock(ScaleLink& link, StatusSink& status, int num) {
  const bool serial = link.transport()->IsSerial();
  if (serial) {
    link.SendToCom(kCmdPutBlock, num);
  } else {
    link.Send(kCmdPutBlock, num);
  }
  status.ProcessEvents();
  link.ReadReply();
  if (!serial) return;
  for (int attempt = 2; attempt <= kSerialAttempts && IsNoReply(link.LocalBuf); ++attempt) {
    link.ResendLast();
    status.ProcessEvents();
    link.ReadReply();
  }
}

}  // namespace

const BlockSenderConfig& GoodsSender() {
  static const BlockSenderConfig config{kGoodsFileName, kFileGoods, ReplyRule::kGoods, false};
  return config;
}

const BlockSenderConfig& TicketSender() {
  static const BlockSenderConfig config{kTicketFileName, kFileTicket, ReplyRule::kNotExamined,
                                        false};
  return config;
}

const BlockSenderConfig& KeypadSender() {
  static const BlockSenderConfig config{kKeypadFileName, kFileKeypad, ReplyRule::kNotExamined,
                                        true};
  return config;
}

GoodsResult SendFileBlocks(ScaleLink& link, StatusSink& status, const QString& path,
                           const BlockSenderConfig& config) {
  if (link.transport() == nullptr) ThrowWrongLine(false);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) ThrowUnreadable(path, file.errorString());
  const qint64 size = file.size();
  const qint64 count = BlockCount(size);
  if (count > kMaxBlocks) {
    throw QuibrelError(
        LangText("Link", "FileTooLarge",
                 "The file %1 is too large for a scale: %2 blocks of 1024 bytes, at most 65535")
            .arg(path)
            .arg(count));
  }

  status.ShowProgress(static_cast<int>(count));
  char bytes[kBlockBytes];
  for (qint64 number = 1; number <= count; ++number) {
    // The count was taken from the size: a file that shrinks meanwhile must not send a short
    // block under a count the scale already trusts.
    const qint64 wanted = std::min<qint64>(kBlockBytes, size - (number - 1) * kBlockBytes);
    if (file.read(bytes, wanted) != wanted) ThrowUnreadable(path, file.errorString());
    const int num =
        link.PreparePutBlock(config.file_type, static_cast<std::uint16_t>(count),
                             static_cast<std::uint16_t>(number), bytes, static_cast<int>(wanted));
    SendBlock(link, status, num);
    if (config.rule == ReplyRule::kGoods) {
      if (IsNoReply(link.LocalBuf)) {
        status.HideProgress();
        return GoodsResult::kNoReply;
      }
      if (ReplyCode(link.LocalBuf) == kReplyRefused) {
        status.HideProgress();
        return GoodsResult::kRefused;
      }
    }
    status.SetProgress(static_cast<int>(number));
  }
  if (config.hide_progress_at_end) status.HideProgress();
  return GoodsResult::kSent;
}

GoodsResult SendExportFile(ScaleLink& link, StatusSink& status, const ProgramFolder& folder,
                           const BlockSenderConfig& config) {
  return SendFileBlocks(link, status, ScaleFileForReading(folder, config.file_name), config);
}

GoodsResult SendPLUFile(ScaleLink& link, StatusSink& status, const ProgramFolder& folder) {
  RequireTransport(link, false);
  return SendExportFile(link, status, folder, GoodsSender());
}

GoodsResult SendPLUFileToCom(ScaleLink& link, StatusSink& status, const ProgramFolder& folder) {
  RequireTransport(link, true);
  return SendExportFile(link, status, folder, GoodsSender());
}

void SendTextFile(ScaleLink& link, StatusSink& status, const ProgramFolder& folder) {
  RequireTransport(link, false);
  SendExportFile(link, status, folder, TicketSender());
}

void SendTextFileToCom(ScaleLink& link, StatusSink& status, const ProgramFolder& folder) {
  RequireTransport(link, true);
  SendExportFile(link, status, folder, TicketSender());
}

void SendKeypadFile(ScaleLink& link, StatusSink& status, const ProgramFolder& folder) {
  RequireTransport(link, false);
  SendExportFile(link, status, folder, KeypadSender());
}

void SendKeypadFileToCom(ScaleLink& link, StatusSink& status, const ProgramFolder& folder) {
  RequireTransport(link, true);
  SendExportFile(link, status, folder, KeypadSender());
}

}  // namespace quibrel
