#include "scalefiles/byte_reader.h"

#include "i18n/lang_text.h"

namespace quibrel {

ScaleFileTruncated::ScaleFileTruncated(const QString& file, qsizetype record_start,
                                       qsizetype offset)
    : QuibrelError(LangText("Text", "FileTruncated",
                            "The file %1 is damaged: it ends at byte %2, inside the record that "
                            "begins at byte %3. Nothing of it was stored.")
                       .arg(file)
                       .arg(offset)
                       .arg(record_start)),
      record_start_(record_start),
      offset_(offset) {}

}  // namespace quibrel
