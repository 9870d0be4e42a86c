#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "core/quibrel_error.h"

namespace quibrel {

// A scale file that ends where its layout needs more bytes. Imports treat it as a damaged file:
// nothing of it is stored.
class ScaleFileTruncated : public QuibrelError {
 public:
  ScaleFileTruncated(const QString& file, qsizetype record_start, qsizetype offset);
  qsizetype record_start() const { return record_start_; }
  qsizetype offset() const { return offset_; }

 private:
  qsizetype record_start_;
  qsizetype offset_;
};

// Little-endian reads from the bytes of one file. Every read checks the length against the bytes
// that are there, because lengths inside the file come from a scale or a card and may point
// anywhere.
class ByteReader {
 public:
  ByteReader(const QByteArray& bytes, QString file_name)
      : bytes_(bytes), file_name_(std::move(file_name)) {}

  bool AtEnd() const { return position_ >= bytes_.size(); }
  qsizetype position() const { return position_; }
  qsizetype remaining() const { return bytes_.size() - position_; }
  // Where the record being read began; named in the truncation error.
  void StartRecord() { record_start_ = position_; }

  uint8_t U8() {
    Need(1);
    return static_cast<uint8_t>(bytes_[position_++]);
  }
  uint16_t U16() { return static_cast<uint16_t>(Unsigned(2)); }
  uint32_t U32() { return static_cast<uint32_t>(Unsigned(4)); }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  uint64_t U48() { return Unsigned(6); }
  void Skip(qsizetype count) {
    Need(count);
    position_ += count;
  }
  QByteArray Bytes(qsizetype count) {
    Need(count);
    QByteArray result = bytes_.mid(position_, count);
    position_ += count;
    return result;
  }

 private:
  void Need(qsizetype count) const {
    if (count < 0 || count > remaining()) {
      throw ScaleFileTruncated(file_name_, record_start_, bytes_.size());
    }
  }
  uint64_t Unsigned(int size) {
    Need(size);
    uint64_t value = 0;
    for (int i = 0; i < size; ++i) {
      value |= static_cast<uint64_t>(static_cast<uint8_t>(bytes_[position_ + i])) << (8 * i);
    }
    position_ += size;
    return value;
  }

  const QByteArray& bytes_;
  QString file_name_;
  qsizetype position_ = 0;
  qsizetype record_start_ = 0;
};

// Little-endian writes into a growing byte array.
class ByteWriter {
 public:
  explicit ByteWriter(QByteArray& out) : out_(out) {}
  void U8(uint8_t value) { out_.append(static_cast<char>(value)); }
  void U16(uint16_t value) { Unsigned(value, 2); }
  void U32(uint32_t value) { Unsigned(value, 4); }
  void U48(uint64_t value) { Unsigned(value, 6); }
  void Fill(uint8_t value, int count) { out_.append(count, static_cast<char>(value)); }
  void Bytes(const QByteArray& bytes) { out_.append(bytes); }

 private:
  void Unsigned(uint64_t value, int size) {
    for (int i = 0; i < size; ++i) out_.append(static_cast<char>((value >> (8 * i)) & 0xFF));
  }
  QByteArray& out_;
};

}  // namespace quibrel
