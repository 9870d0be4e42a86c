#pragma once

#include <QObject>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <vector>

namespace quibrel {

// The rows of one table held in memory with a current row, written through to the database on
// post and delete. It offers what the window and the file conversions need: navigation, field
// access, edit/append/post/cancel/delete, locate and look-up, bookmarks, one sort key, a per-row
// filter, a before-post hook that can reject, and notifications for grids.
//
// Visible rows are those the filter accepts, in sort order (table order when unsorted). Positions
// count visible rows from 0. Every statement binds its values; no text is pasted into SQL.
class RowSet : public QObject {
  Q_OBJECT

 public:
  enum class State { kInactive, kBrowse, kEdit, kInsert };
  using Bookmark = qint64;  // a row's serial; kNoBookmark when there is none
  static constexpr Bookmark kNoBookmark = -1;
  using Values = QVector<QVariant>;
  // The filter sees one row's values, indexed like fields().
  using RowFilter = std::function<bool(const Values&)>;
  // Runs before every post; returning false abandons the post (the hook decides whether the
  // pending changes are cancelled).
  using BeforePost = std::function<bool(RowSet&)>;

  // fields lists the columns the row set exposes, in order; the first must be the key "ID".
  // auto_key: the database assigns ID on insert.
  RowSet(QString table, QStringList fields, bool auto_key, QObject* parent = nullptr);

  // Reads every row of the table in ascending ID order. Throws QuibrelError.
  void Open(const QSqlDatabase& connection);
  void Close();
  // Reads the table again (after a rolled-back bulk change); keeps sort and filter.
  void Requery();
  bool IsActive() const { return state_ != State::kInactive; }

  const QString& table() const { return table_; }
  const QStringList& fields() const { return fields_; }
  int FieldIndex(const QString& name) const;  // -1 when the row set has no such field

  // Navigation over visible rows.
  int RecordCount() const { return static_cast<int>(visible_.size()); }
  bool IsEmpty() const { return visible_.empty(); }
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  int RecNo() const { return cursor_; }  // -1 when empty
  void First();
  void Last();
  void Next();
  void Prior();
  void MoveBy(int distance);
  void MoveTo(int position);

  // The current row's field (the edit buffer while editing); null when empty or out of rows.
  QVariant FieldByName(const QString& name) const;
  // Starts an edit of the current row when browsing.
  void SetFieldValue(const QString& name, const QVariant& value);
  // A visible row's value without moving (the current row shows its edit buffer).
  QVariant ValueAt(int position, int field) const;

  State state() const { return state_; }
  bool IsEditing() const { return state_ == State::kEdit || state_ == State::kInsert; }
  void Edit();
  // A new empty row after the last (Append) or before the current row (Insert), in insert state.
  void Append();
  void Insert();
  // Stores the pending row. Returns false when the before-post hook rejected it. Throws
  // QuibrelError when the database refuses the write; the row then stays pending.
  bool Post();
  void Cancel();
  // Deletes the current row from the database and the set.
  void Delete();
  // Deletes every row of the table (bulk replacement); filter and sort stay.
  void DeleteAll();

  // Moves to the first visible row whose field equals value; false (and no move) when none.
  bool Locate(const QString& field, const QVariant& value);
  // Field result_field of the first row whose key_field equals key_value; null when none.
  QVariant Lookup(const QString& key_field, const QVariant& key_value,
                  const QString& result_field) const;

  Bookmark GetBookmark() const;
  bool BookmarkValid(Bookmark bookmark) const;
  // Moves to the bookmarked row when it is visible; returns whether it moved.
  bool GotoBookmark(Bookmark bookmark);

  // One sort key; an empty field clears the sort (table order).
  void SetSort(const QString& field, Qt::SortOrder order);
  void ClearSort() { SetSort(QString(), Qt::AscendingOrder); }
  const QString& sort_field() const { return sort_field_; }
  Qt::SortOrder sort_order() const { return sort_order_; }

  void SetFilter(RowFilter filter);  // replaces the test; applies it when filtered
  void SetFiltered(bool filtered);
  bool Filtered() const { return filtered_; }
  // Applies the filter again (its inputs changed); keeps the current row when still visible.
  void Refilter();

  void SetBeforePost(BeforePost hook) { before_post_ = std::move(hook); }

  // Suspends notifications during bulk changes; the last Enable announces a reset.
  void DisableControls() { ++disabled_; }
  void EnableControls();
  bool ControlsDisabled() const { return disabled_ > 0; }

 signals:
  // Visible rows changed wholesale (open, requery, sort, filter, bulk change).
  void RowsReset();
  void RowChanged(int position);
  void RowInserted(int position);
  void RowRemoved(int position);
  // The current row moved or the set changed state.
  void AfterScroll();
  void StateChanged();

 private:
  struct Row {
    Bookmark serial;
    Values values;
    bool stored;  // false for the row being inserted until it is posted
  };

  void ReadRows();
  void Rebuild(Bookmark keep);  // recompute visible_ from filter and sort
  void SortVisible(int sort_index);
  // Takes the current row out of memory; its database row is gone or was never stored.
  void RemoveCurrentRow();
  bool Accepts(const Row& row) const;
  int PositionOf(Bookmark serial) const;
  void SetCursor(int position);
  void WriteRow(const Values& values, bool insert, QVariant* new_id);
  void SetState(State state);
  void NotifyReset();
  void NotifyScroll();

  QString table_;
  QStringList fields_;
  bool auto_key_;
  QSqlDatabase connection_;
  // Posts a pending edit before the cursor moves; false when the post was rejected.
  bool CheckBrowseMode();

  std::vector<Row> rows_;       // table order
  std::vector<int> visible_;    // indices into rows_
  Bookmark next_serial_ = 0;

  State state_ = State::kInactive;
  Values pending_;              // the edit buffer
  int cursor_ = -1;
  bool eof_ = true;
  bool bof_ = true;

  QString sort_field_;
  Qt::SortOrder sort_order_ = Qt::AscendingOrder;
  RowFilter filter_;
  bool filtered_ = false;
  BeforePost before_post_;
  int disabled_ = 0;
};

// Compares field values as the database would: numbers as numbers, other values as text without
// letter case; null sorts first.
int CompareFieldValues(const QVariant& a, const QVariant& b);
bool FieldValuesEqual(const QVariant& a, const QVariant& b);

}  // namespace quibrel
