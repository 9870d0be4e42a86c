#include "ui/translate_interface.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVariant>

#include "core/version.h"
#include "i18n/lang_text.h"

namespace quibrel {

const std::vector<CaptionEntry>& CaptionTable() {
  static const std::vector<CaptionEntry> table = {
      {"BaseSheet", 0, "Main", "Products", "Products"},
      {"KeysSheet", 0, "Main", "Keys", "Keys"},
      {"TotalsSheet", 0, "Main", "Totals", "Totals"},
      {"SettingsSheet", 0, "Main", "Settings", "Settings"},
      {"AddProductButton", 0, "Products", "New", "New"},
      {"DeleteProductButton", 0, "Products", "Delete", "Delete"},
      {"CopyProductButton", 0, "Products", "Copy", "Copy"},
      {"ProductsToWordButton", 0, "Products", "Export", "Export"},
      {"TransmitProductsButton", 0, "Products", "Upload", "Upload"},
      {"ReceiveProductsButton", 0, "Products", "Download", "Download"},
      {"ProductsToCardButton", 0, "Products", "Save", "Save"},
      {"ProductsFromCardButton", 0, "Products", "Load", "Load"},
      {"ProductsGrid", 1, "Products", "PLU", "PLU"},
      {"ProductsGrid", 2, "Products", "Name1", "Name (line 1)"},
      {"ProductsGrid", 3, "Products", "Name2", "Name (line 2)"},
      {"ProductsGrid", 4, "Products", "Type", "Type"},
      {"ProductsGrid", 5, "Products", "Price", "Price"},
      {"ProductsGrid", 6, "Products", "ShelfLife", "Shelf life"},
      {"FindLabel1", 0, "Products", "Find", "Find"},
      {"FindLabel2", 0, "Products", "In", "in"},
      {"SizeLabel", 0, "Products", "LabelSize", "Label size"},
      {"BarcodeLabel", 0, "Products", "BarcodeType", "Barcode type"},
      {"PrefixLabel", 0, "Products", "BarcodePrefix", "Barcode prefix"},
      {"InfoLabel", 0, "Ticket", "Info", "Information"},
      {"AutoFillKeypadButton", 0, "Keys", "Auto", "Autofill"},
      {"ClearKeypadButton", 0, "Keys", "Clear", "Clear"},
      {"TransmitKeypadButton", 0, "Keys", "Upload", "Upload"},
      {"ReceiveKeypadButton", 0, "Keys", "Download", "Download"},
      {"KeypadToCardButton", 0, "Keys", "Save", "Save"},
      {"KeypadFromCardButton", 0, "Keys", "Load", "Load"},
      {"KeyProductsGrid", 1, "Keys", "PLU", "PLU"},
      {"KeyProductsGrid", 2, "Keys", "Name1", "Name (line 1)"},
      {"KeyProductsGrid", 3, "Keys", "Name2", "Name (line 2)"},
      {"KeyProductsGrid", 4, "Keys", "Type", "Type"},
      {"KeyProductsGrid", 5, "Keys", "Price", "Price"},
      {"KeyProductsGrid", 6, "Keys", "ShelfLife", "Shelf life"},
      {"DownloadTotalsButton", 0, "Totals", "Download", "Download"},
      {"LoadTotalsButton", 0, "Totals", "Load", "Read"},
      {"ExportTotalsButton", 0, "Totals", "Export", "Export"},
      {"DeleteTotalsButton", 0, "Totals", "Delete", "Delete"},
      {"TotalsGrid", 1, "Totals", "Scales", "Scales"},
      {"TotalsGrid", 2, "Totals", "PLU", "PLU"},
      {"TotalsGrid", 3, "Totals", "Name", "Name"},
      {"TotalsGrid", 4, "Totals", "Type", "Type"},
      {"TotalsGrid", 5, "Totals", "DayWeight", "Day qty."},
      {"TotalsGrid", 6, "Totals", "DayNum", "Day transactions"},
      {"TotalsGrid", 7, "Totals", "MonthWeight", "Month qty."},
      {"TotalsGrid", 8, "Totals", "MonthNum", "Month transactions"},
      {"TotalsGrid", 9, "Totals", "Last", "Last transaction"},
      {"TotalsGrid", 10, "Totals", "Read", "Read at"},
      {"TotalsRangeLabel", 0, "Totals", "Range", "Period"},
      {"TotalsFindLabel1", 0, "Totals", "Find", "Find"},
      {"TotalsFindLabel2", 0, "Totals", "In", "in"},
      {"ScalesGroup", 0, "Settings", "Scales", "Scales settings"},
      {"RefreshScalesButton", 0, "Settings", "Refresh", "Refresh"},
      {"DeleteScalesButton", 0, "Settings", "Delete", "Delete"},
      {"ScalesGrid", 1, "Settings", "Num", "#"},
      {"ScalesGrid", 2, "Settings", "Name", "Name"},
      {"ScalesGrid", 3, "Settings", "Connection", "Connection"},
      {"ScalesGrid", 4, "Settings", "State", "State"},
      {"ScalesGrid", 5, "Settings", "Keypad", "Keypad"},
      {"ManagerGroup", 0, "Settings", "Manager", "Bases manager"},
      {"OpenBaseButton", 0, "Settings", "Open", "Open"},
      {"CreateBaseButton", 0, "Settings", "Create", "Create"},
      {"DeleteBaseButton", 0, "Settings", "Delete", "Delete"},
      {"CopyBaseButton", 0, "Settings", "Copy", "Copy"},
      {"BaseLabel", 0, "Settings", "ConnectedBase", "Current database"},
      {"BaseListLabel", 0, "Settings", "List", "Previously used database"},
      {"MiscGroup", 0, "Settings", "Misc", "Miscellaneous settings"},
      {"LangLabel", 0, "Settings", "Language", "Language"},
      {"OpenDialog", 0, "Misc", "OpenDialog", "Open database"},
      {"SaveDialog", 0, "Misc", "SaveDialog", "Create new database"},
  };
  return table;
}

const std::vector<QString>& BarcodeLayouts() {
  static const std::vector<QString> layouts = {
      QString(),        QStringLiteral("PPTTTTCCCCCCK"), QStringLiteral("PPTTTTTCCCCCK"),
      QStringLiteral("PPTTTTTTCCCCK"), QStringLiteral("PPTTTTTWWWWWK"),
      QStringLiteral("PPTTTTTTWWWWK"),
  };
  return layouts;
}

namespace {

// A page of a tab widget is captioned by its tab, not by a text of its own.
QTabWidget* PageControlOf(QWidget* widget) {
  QWidget* stack = widget->parentWidget();
  if (qobject_cast<QStackedWidget*>(stack) == nullptr) return nullptr;
  auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget());
  return tabs != nullptr && tabs->indexOf(widget) >= 0 ? tabs : nullptr;
}

void SetCaption(QWidget* widget, const QString& text) {
  if (QTabWidget* tabs = PageControlOf(widget)) {
    tabs->setTabText(tabs->indexOf(widget), text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(text);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(text);
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(text);
  } else if (widget->isWindow()) {
    widget->setWindowTitle(text);
  }
}

void SetColumnTitle(QWidget& window, const char* grid_name, int column, const QString& text) {
  auto* grid = window.findChild<QAbstractItemView*>(grid_name);
  if (grid == nullptr || grid->model() == nullptr) return;
  grid->model()->setHeaderData(column - 1, Qt::Horizontal, text, Qt::DisplayRole);
}

// Goods files compare with and store these words by position: weighed first, counted second.
void SetTypePickList(QWidget& window, const char* grid_name, const char* section) {
  QWidget* grid = window.findChild<QWidget*>(grid_name);
  if (grid == nullptr) return;
  grid->setProperty("typePickList", QStringList{LangText(section, "Weight", "weight"),
                                                LangText(section, "Count", "count")});
}

void FillBarcodeCombo(QWidget& window) {
  auto* combo = window.findChild<QComboBox*>("BarcodeCombo");
  if (combo == nullptr) return;
  const int current = combo->currentIndex();
  const bool blocked = combo->blockSignals(true);
  combo->clear();
  for (const QString& layout : BarcodeLayouts()) combo->addItem(layout);
  combo->setItemText(0, LangText("Products", "BarcodeNo", "No"));
  // The barcode type is loaded into the list later; until then it keeps the one it showed.
  combo->setCurrentIndex(current < 0 ? 0 : current);
  combo->blockSignals(blocked);
}

}  // namespace

void TranslateInterface(QWidget& window, const QString& database) {
  for (const CaptionEntry& entry : CaptionTable()) {
    const QString text = LangText(entry.section, entry.key, entry.default_text);
    if (entry.column > 0) {
      SetColumnTitle(window, entry.object_name, entry.column, text);
    } else if (QWidget* widget = window.findChild<QWidget*>(entry.object_name)) {
      SetCaption(widget, text);
    }
  }
  window.setWindowTitle(LangText("Misc", "CaptionZirk", "Quibrel") + " (v" + GetFullVersion() +
                        ") - [" + database + "]");
  SetTypePickList(window, "ProductsGrid", "Products");
  SetTypePickList(window, "KeyProductsGrid", "Keys");
  FillBarcodeCombo(window);
}

}  // namespace quibrel
