#pragma once

#include <QSqlDatabase>
#include <QString>
#include <memory>

#include "db/row_set.h"
#include "db/totals_table.h"

namespace quibrel {

// One goods base file: the connection and its six row sets, opened in the order goods, ticket
// lines, keypads, keys, scales, totals. Opening never creates a file or a table.
class GoodsBase {
 public:
  GoodsBase();
  ~GoodsBase();
  GoodsBase(const GoodsBase&) = delete;
  GoodsBase& operator=(const GoodsBase&) = delete;

  // Throws QuibrelError naming the file and what is wrong; the file is then left untouched.
  void Open(const QString& path);
  void Close();
  bool IsOpen() const { return connection_.isOpen(); }
  const QString& path() const { return path_; }
  QSqlDatabase& connection() { return connection_; }

  RowSet& Goods() { return goods_; }
  RowSet& TicketLines() { return ticket_lines_; }
  RowSet& KeyPads() { return keypads_; }
  RowSet& Keys() { return keys_; }
  RowSet& Scales() { return scales_; }
  TotalsTable& Totals() { return totals_; }

  // How many goods other than the row id carry this PLU.
  int DuplicatePluCount(qint64 plu, qint64 id);

  // Bulk work in one transaction. Without Commit the destructor rolls back and reads the named
  // row sets again, so memory and file stay as they were.
  class Transaction {
   public:
    Transaction(GoodsBase& base, std::initializer_list<RowSet*> row_sets);
    ~Transaction();
    void Commit();

   private:
    GoodsBase& base_;
    std::vector<RowSet*> row_sets_;
    bool done_ = false;
  };

  // The columns each table must have, in row-set order.
  static const QStringList& GoodsFields();

 private:
  void CheckIsSqliteFile(const QString& path) const;
  void CheckTables() const;
  void CheckNotLocked() const;

  QString connection_name_;
  QSqlDatabase connection_;
  QString path_;
  RowSet goods_;
  RowSet ticket_lines_;
  RowSet keypads_;
  RowSet keys_;
  RowSet scales_;
  TotalsTable totals_;
};

}  // namespace quibrel
