#pragma once

#include <QString>
#include <stdexcept>

namespace quibrel {

// An unexpected failure that ends the current operation. The window's default handler and the
// command line's main() show its text; nothing below them catches it.
class QuibrelError : public std::runtime_error {
 public:
  explicit QuibrelError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
  const QString& text() const { return text_; }

 private:
  QString text_;
};

}  // namespace quibrel
