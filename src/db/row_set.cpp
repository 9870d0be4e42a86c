#include "db/row_set.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>

#include "core/quibrel_error.h"

namespace quibrel {

namespace {

bool IsNumber(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
      return true;
    default:
      return false;
  }
}

bool IsNullValue(const QVariant& value) { return !value.isValid() || value.isNull(); }

QString DatabaseErrorText(const QString& table, const QSqlError& error) {
  return QStringLiteral("The table %1 could not be written: %2").arg(table, error.text());
}

}  // namespace

int CompareFieldValues(const QVariant& a, const QVariant& b) {
  const bool a_null = IsNullValue(a);
  const bool b_null = IsNullValue(b);
  if (a_null || b_null) return (a_null ? 0 : 1) - (b_null ? 0 : 1);
  if (IsNumber(a) && IsNumber(b)) {
    if (a.typeId() == QMetaType::Double || b.typeId() == QMetaType::Double) {
      const double x = a.toDouble(), y = b.toDouble();
      return x < y ? -1 : (x > y ? 1 : 0);
    }
    const qlonglong x = a.toLongLong(), y = b.toLongLong();
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  if (IsNumber(a) != IsNumber(b)) {
    // A number compared with typed text: as numbers when the text is one.
    bool ok = false;
    const double other = (IsNumber(a) ? b : a).toString().toDouble(&ok);
    if (ok) {
      const double x = IsNumber(a) ? a.toDouble() : other;
      const double y = IsNumber(a) ? other : b.toDouble();
      return x < y ? -1 : (x > y ? 1 : 0);
    }
  }
  return a.toString().compare(b.toString(), Qt::CaseInsensitive);
}

bool FieldValuesEqual(const QVariant& a, const QVariant& b) {
  if (IsNullValue(a) || IsNullValue(b)) return IsNullValue(a) && IsNullValue(b);
  if (IsNumber(a) || IsNumber(b)) return CompareFieldValues(a, b) == 0;
  return a.toString() == b.toString();
}

RowSet::RowSet(QString table, QStringList fields, bool auto_key, QObject* parent)
    : QObject(parent), table_(std::move(table)), fields_(std::move(fields)), auto_key_(auto_key) {}

int RowSet::FieldIndex(const QString& name) const {
  for (int i = 0; i < fields_.size(); ++i) {
    if (fields_[i].compare(name, Qt::CaseInsensitive) == 0) return i;
  }
  return -1;
}

void RowSet::Open(const QSqlDatabase& connection) {
  connection_ = connection;
  ReadRows();
  state_ = State::kBrowse;
  Rebuild(kNoBookmark);
  NotifyReset();
}

void RowSet::Close() {
  rows_.clear();
  visible_.clear();
  pending_.clear();
  cursor_ = -1;
  eof_ = bof_ = true;
  state_ = State::kInactive;
  connection_ = QSqlDatabase();
  NotifyReset();
}

void RowSet::Requery() {
  if (state_ == State::kInactive) return;
  const Bookmark keep = GetBookmark();
  ReadRows();
  state_ = State::kBrowse;
  pending_.clear();
  Rebuild(keep);
  NotifyReset();
}

void RowSet::ReadRows() {
  rows_.clear();
  QSqlQuery query(connection_);
  query.setForwardOnly(true);
  if (!query.exec(QStringLiteral("SELECT \"%1\" FROM \"%2\" ORDER BY ID")
                      .arg(fields_.join(QStringLiteral("\", \"")), table_))) {
    throw QuibrelError(QStringLiteral("The table %1 could not be read: %2")
                           .arg(table_, query.lastError().text()));
  }
  const int count = static_cast<int>(fields_.size());
  while (query.next()) {
    Values values(count);
    for (int i = 0; i < count; ++i) values[i] = query.value(i);
    rows_.push_back(Row{next_serial_++, std::move(values), true});
  }
}

bool RowSet::Accepts(const Row& row) const {
  return !filtered_ || !filter_ || !row.stored || filter_(row.values);
}

void RowSet::Rebuild(Bookmark keep) {
  visible_.clear();
  visible_.reserve(rows_.size());
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (Accepts(rows_[i])) visible_.push_back(static_cast<int>(i));
  }
  const int sort_index = FieldIndex(sort_field_);
  if (sort_index >= 0) SortVisible(sort_index);
  const int position = PositionOf(keep);
  cursor_ = visible_.empty() ? -1 : (position >= 0 ? position : 0);
  eof_ = bof_ = visible_.empty();
}

namespace {

// A field value prepared once for sorting, so that comparisons do no conversions. It orders as
// CompareFieldValues does: null first, numbers by value, text without letter case.
struct SortKey {
  int kind;  // 0 null, 1 number, 2 text
  double number;
  QString text;

  static SortKey Of(const QVariant& value) {
    if (IsNullValue(value)) return {0, 0, QString()};
    if (IsNumber(value)) return {1, value.toDouble(), QString()};
    return {2, 0, value.toString().toCaseFolded()};
  }
  int Compare(const SortKey& other) const {
    if (kind != other.kind) {
      // Mixed numbers and text keep the full comparison (numeric text), which is rare.
      return kind == 0 || other.kind == 0 ? (kind == 0 ? -1 : 1) : 2;
    }
    if (kind == 1) return number < other.number ? -1 : (number > other.number ? 1 : 0);
    if (kind == 2) return text.compare(other.text);
    return 0;
  }
};

}  // namespace

void RowSet::SortVisible(int sort_index) {
  const bool descending = sort_order_ == Qt::DescendingOrder;
  std::vector<SortKey> keys(rows_.size());
  for (int index : visible_) keys[index] = SortKey::Of(rows_[index].values[sort_index]);
  std::stable_sort(visible_.begin(), visible_.end(), [&](int x, int y) {
    int c = keys[x].Compare(keys[y]);
    if (c == 2) c = CompareFieldValues(rows_[x].values[sort_index], rows_[y].values[sort_index]);
    return descending ? c > 0 : c < 0;
  });
}

int RowSet::PositionOf(Bookmark serial) const {
  if (serial == kNoBookmark) return -1;
  for (size_t i = 0; i < visible_.size(); ++i) {
    if (rows_[visible_[i]].serial == serial) return static_cast<int>(i);
  }
  return -1;
}

bool RowSet::CheckBrowseMode() {
  if (!IsEditing()) return true;
  return Post();
}

void RowSet::SetCursor(int position) {
  if (visible_.empty()) {
    cursor_ = -1;
    return;
  }
  const int clamped = std::clamp(position, 0, RecordCount() - 1);
  const bool moved = clamped != cursor_;
  cursor_ = clamped;
  if (moved) NotifyScroll();
}

void RowSet::First() {
  if (!CheckBrowseMode()) return;
  SetCursor(0);
  bof_ = true;
  eof_ = visible_.empty();
}

void RowSet::Last() {
  if (!CheckBrowseMode()) return;
  SetCursor(RecordCount() - 1);
  eof_ = true;
  bof_ = visible_.empty();
}

void RowSet::Next() {
  if (!CheckBrowseMode()) return;
  if (cursor_ + 1 < RecordCount()) {
    SetCursor(cursor_ + 1);
    eof_ = false;
  } else {
    eof_ = true;
  }
  bof_ = visible_.empty();
}

void RowSet::Prior() {
  if (!CheckBrowseMode()) return;
  if (cursor_ > 0) {
    SetCursor(cursor_ - 1);
    bof_ = false;
  } else {
    bof_ = true;
  }
  eof_ = visible_.empty();
}

void RowSet::MoveBy(int distance) {
  if (!CheckBrowseMode() || visible_.empty()) return;
  const int target = cursor_ + distance;
  SetCursor(target);
  eof_ = target >= RecordCount();
  bof_ = target < 0;
}

void RowSet::MoveTo(int position) {
  if (!CheckBrowseMode() || visible_.empty()) return;
  SetCursor(position);
  eof_ = bof_ = false;
}

QVariant RowSet::FieldByName(const QString& name) const {
  const int field = FieldIndex(name);
  if (field < 0) throw QuibrelError(QStringLiteral("%1 has no field %2").arg(table_, name));
  if (cursor_ < 0) return QVariant();
  return ValueAt(cursor_, field);
}

QVariant RowSet::ValueAt(int position, int field) const {
  if (position < 0 || position >= RecordCount() || field < 0 || field >= fields_.size()) {
    return QVariant();
  }
  if (position == cursor_ && IsEditing()) return pending_[field];
  return rows_[visible_[position]].values[field];
}

void RowSet::SetFieldValue(const QString& name, const QVariant& value) {
  const int field = FieldIndex(name);
  if (field < 0) throw QuibrelError(QStringLiteral("%1 has no field %2").arg(table_, name));
  if (!IsEditing()) Edit();
  if (!IsEditing()) return;
  pending_[field] = value;
  if (!ControlsDisabled()) emit RowChanged(cursor_);
}

void RowSet::SetState(State state) {
  if (state_ == state) return;
  state_ = state;
  if (!ControlsDisabled()) emit StateChanged();
}

void RowSet::Edit() {
  if (state_ != State::kBrowse || cursor_ < 0) return;
  pending_ = rows_[visible_[cursor_]].values;
  SetState(State::kEdit);
}

void RowSet::Append() {
  if (!CheckBrowseMode() || state_ == State::kInactive) return;
  rows_.push_back(Row{next_serial_++, Values(fields_.size()), false});
  visible_.push_back(static_cast<int>(rows_.size() - 1));
  pending_ = Values(fields_.size());
  cursor_ = RecordCount() - 1;
  eof_ = bof_ = false;
  if (!ControlsDisabled()) emit RowInserted(cursor_);
  SetState(State::kInsert);
  NotifyScroll();
}

void RowSet::Insert() {
  if (!CheckBrowseMode() || state_ == State::kInactive) return;
  const int position = std::max(cursor_, 0);
  rows_.push_back(Row{next_serial_++, Values(fields_.size()), false});
  visible_.insert(visible_.begin() + position, static_cast<int>(rows_.size() - 1));
  pending_ = Values(fields_.size());
  cursor_ = position;
  eof_ = bof_ = false;
  if (!ControlsDisabled()) emit RowInserted(cursor_);
  SetState(State::kInsert);
  NotifyScroll();
}

bool RowSet::Post() {
  if (!IsEditing()) return true;
  if (before_post_ && !before_post_(*this)) return false;
  if (!IsEditing()) return false;  // the hook cancelled
  const bool insert = state_ == State::kInsert;
  QVariant new_id;
  WriteRow(pending_, insert, &new_id);
  Row& row = rows_[visible_[cursor_]];
  row.values = pending_;
  if (insert) {
    if (auto_key_) row.values[0] = new_id;
    row.stored = true;
  }
  pending_.clear();
  SetState(State::kBrowse);
  if (!ControlsDisabled()) emit RowChanged(cursor_);
  return true;
}

void RowSet::WriteRow(const Values& values, bool insert, QVariant* new_id) {
  QSqlQuery query(connection_);
  QStringList columns;
  const int first = (insert && auto_key_) ? 1 : (insert ? 0 : 1);
  for (int i = first; i < fields_.size(); ++i) columns << '"' + fields_[i] + '"';
  if (insert) {
    QStringList marks;
    for (int i = first; i < fields_.size(); ++i) marks << QStringLiteral("?");
    query.prepare(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                      .arg(table_, columns.join(", "), marks.join(", ")));
    for (int i = first; i < fields_.size(); ++i) query.addBindValue(values[i]);
  } else {
    QStringList assignments;
    for (const QString& column : columns) assignments << column + QStringLiteral(" = ?");
    query.prepare(QStringLiteral("UPDATE \"%1\" SET %2 WHERE ID = ?")
                      .arg(table_, assignments.join(", ")));
    for (int i = first; i < fields_.size(); ++i) query.addBindValue(values[i]);
    query.addBindValue(values[0]);
  }
  if (!query.exec()) throw QuibrelError(DatabaseErrorText(table_, query.lastError()));
  if (insert && new_id != nullptr) *new_id = auto_key_ ? query.lastInsertId() : values[0];
}

void RowSet::Cancel() {
  if (!IsEditing()) return;
  const bool insert = state_ == State::kInsert;
  pending_.clear();
  if (insert) {
    RemoveCurrentRow();
    SetState(State::kBrowse);
    NotifyScroll();
    return;
  }
  SetState(State::kBrowse);
  if (!ControlsDisabled()) emit RowChanged(cursor_);
}

void RowSet::Delete() {
  if (cursor_ < 0) return;
  if (state_ == State::kInsert) {
    Cancel();
    return;
  }
  const int removed_row = visible_[cursor_];
  QSqlQuery query(connection_);
  query.prepare(QStringLiteral("DELETE FROM \"%1\" WHERE ID = ?").arg(table_));
  query.addBindValue(rows_[removed_row].values[0]);
  if (!query.exec()) throw QuibrelError(DatabaseErrorText(table_, query.lastError()));
  pending_.clear();
  RemoveCurrentRow();
  SetState(State::kBrowse);
  NotifyScroll();
}

void RowSet::RemoveCurrentRow() {
  const int removed_row = visible_[cursor_];
  const int position = cursor_;
  rows_.erase(rows_.begin() + removed_row);
  visible_.erase(visible_.begin() + position);
  for (int& index : visible_) {
    if (index > removed_row) --index;
  }
  if (!ControlsDisabled()) emit RowRemoved(position);
  cursor_ = visible_.empty() ? -1 : std::min(position, RecordCount() - 1);
  eof_ = bof_ = visible_.empty();
}

void RowSet::DeleteAll() {
  Cancel();
  QSqlQuery query(connection_);
  if (!query.exec(QStringLiteral("DELETE FROM \"%1\"").arg(table_))) {
    throw QuibrelError(DatabaseErrorText(table_, query.lastError()));
  }
  rows_.clear();
  Rebuild(kNoBookmark);
  NotifyReset();
}

bool RowSet::Locate(const QString& field, const QVariant& value) {
  const int index = FieldIndex(field);
  if (index < 0) return false;
  for (int position = 0; position < RecordCount(); ++position) {
    if (FieldValuesEqual(rows_[visible_[position]].values[index], value)) {
      if (!CheckBrowseMode()) return false;
      SetCursor(position);
      eof_ = bof_ = false;
      return true;
    }
  }
  return false;
}

QVariant RowSet::Lookup(const QString& key_field, const QVariant& key_value,
                        const QString& result_field) const {
  const int key = FieldIndex(key_field);
  const int result = FieldIndex(result_field);
  if (key < 0 || result < 0) return QVariant();
  for (int index : visible_) {
    if (FieldValuesEqual(rows_[index].values[key], key_value)) return rows_[index].values[result];
  }
  return QVariant();
}

RowSet::Bookmark RowSet::GetBookmark() const {
  if (cursor_ < 0 || cursor_ >= RecordCount()) return kNoBookmark;
  return rows_[visible_[cursor_]].serial;
}

bool RowSet::BookmarkValid(Bookmark bookmark) const { return PositionOf(bookmark) >= 0; }

bool RowSet::GotoBookmark(Bookmark bookmark) {
  const int position = PositionOf(bookmark);
  if (position < 0 || !CheckBrowseMode()) return false;
  SetCursor(position);
  eof_ = bof_ = false;
  return true;
}

void RowSet::SetSort(const QString& field, Qt::SortOrder order) {
  if (!CheckBrowseMode()) return;
  sort_field_ = field;
  sort_order_ = order;
  Rebuild(GetBookmark());
  NotifyReset();
}

void RowSet::SetFilter(RowFilter filter) {
  filter_ = std::move(filter);
  if (filtered_) Refilter();
}

void RowSet::SetFiltered(bool filtered) {
  if (filtered_ == filtered) return;
  filtered_ = filtered;
  Refilter();
}

void RowSet::Refilter() {
  if (state_ == State::kInactive || !CheckBrowseMode()) return;
  Rebuild(GetBookmark());
  NotifyReset();
}

void RowSet::EnableControls() {
  if (disabled_ == 0) return;
  if (--disabled_ == 0) NotifyReset();
}

void RowSet::NotifyReset() {
  if (ControlsDisabled()) return;
  emit RowsReset();
  emit AfterScroll();
}

void RowSet::NotifyScroll() {
  if (!ControlsDisabled()) emit AfterScroll();
}

}  // namespace quibrel
