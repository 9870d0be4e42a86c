#pragma once

#include <QString>
#include <cstdint>

#include "link/frame.h"

namespace quibrel {

class ProgramFolder;
class ScaleLink;
class StatusSink;

// What the goods file's sending ended with. Only the goods file reports it; the others always
// run to their last block.
enum class GoodsResult {
  kSent = 0,     // every block went and no reply asked to stop
  kRefused = 1,  // a reply held 0x43: the rest of the file was not sent
  kNoReply = 2,  // a block got no reply (after every serial attempt): the rest was not sent
};

// How replies to the blocks of one file are judged.
enum class ReplyRule {
  kGoods,        // no reply or 0x43 stops the file
  kNotExamined,  // replies only pace the sending
};

// One file's way to the scale. The upload sends three files with the same steps; they differ
// only in these settings.
struct BlockSenderConfig {
  QString file_name;  // in the export folder
  std::uint8_t file_type = 0;
  ReplyRule rule = ReplyRule::kNotExamined;
  bool hide_progress_at_end = false;  // the bar is left standing after the goods and ticket files
};

const BlockSenderConfig& GoodsSender();
const BlockSenderConfig& TicketSender();
const BlockSenderConfig& KeypadSender();

// A serial line loses bytes; a block without a reply is written this many times in all.
inline constexpr int kSerialAttempts = 4;
// A block count is a 16-bit number in the frame.
inline constexpr qint64 kMaxBlocks = 65535;

// Blocks of a file of that size: full blocks of 1024 bytes and one for the rest.
inline qint64 BlockCount(qint64 file_size) { return (file_size + kBlockBytes - 1) / kBlockBytes; }

// Sends the file at path in PutBlock frames over the link's transport: Send and one reply read
// per block on TCP; SendToCom and up to four single reads (the same frame written again after each
// short one) on a serial line. The progress bar counts the blocks; pending events run after each
// frame is written. No pause between blocks: each reply paces the next.
//
// Throws QuibrelError before sending anything when the file cannot be opened or has more than
// 65535 blocks, and while sending when it cannot be read to its end or the transport fails (the
// scale closed the connection). The result is kSent for every file that is not judged by kGoods.
GoodsResult SendFileBlocks(ScaleLink& link, StatusSink& status, const QString& path,
                           const BlockSenderConfig& config);

// Sends the file of the export folder that config names (in whatever letter case it exists).
GoodsResult SendExportFile(ScaleLink& link, StatusSink& status, const ProgramFolder& folder,
                           const BlockSenderConfig& config);

// The named entry points of the visits, over TCP (Send) or the open serial port (SendToCom). Each
// refuses a transport of the other kind, so a visit cannot write to the wrong line.
GoodsResult SendPLUFile(ScaleLink& link, StatusSink& status, const ProgramFolder& folder);
GoodsResult SendPLUFileToCom(ScaleLink& link, StatusSink& status, const ProgramFolder& folder);
void SendTextFile(ScaleLink& link, StatusSink& status, const ProgramFolder& folder);
void SendTextFileToCom(ScaleLink& link, StatusSink& status, const ProgramFolder& folder);
void SendKeypadFile(ScaleLink& link, StatusSink& status, const ProgramFolder& folder);
void SendKeypadFileToCom(ScaleLink& link, StatusSink& status, const ProgramFolder& folder);

}  // namespace quibrel
