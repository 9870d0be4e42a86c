#pragma once

#include <QString>

namespace quibrel {

// The diagnostic log beside the executable: emptied when the window starts, one line
// "hh:mm:ss text" per entry.
class ZirkLog {
 public:
  explicit ZirkLog(QString path) : path_(std::move(path)) {}

  // Creates the file empty, or empties it.
  void Reset() const;
  void WriteToLog(const QString& text) const;

  const QString& path() const { return path_; }

 private:
  QString path_;
};

}  // namespace quibrel
