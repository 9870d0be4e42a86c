#pragma once

#include <QString>
#include <vector>

class QWidget;

namespace quibrel {

// One fixed caption of the main window. column 0: the control's own caption (page tab, button,
// label, group title or dialog title); column n > 0: the title of grid column n, counted from 1.
struct CaptionEntry {
  const char* object_name;
  int column;
  const char* section;
  const char* key;
  const char* default_text;
};

// Every fixed caption, in the order they are set. A control that does not exist is skipped, so a
// control only needs its objectName to be translated.
const std::vector<CaptionEntry>& CaptionTable();

// The barcode layouts of the barcode type list, index = barcode type; entry 0 (no barcode) is
// shown as [Products] BarcodeNo.
const std::vector<QString>& BarcodeLayouts();

// Sets every caption of the table from the active language file, the two type pick lists (the
// dynamic property "typePickList" of ProductsGrid and KeyProductsGrid: exactly the weight word and
// the count word), BarcodeCombo, and the window caption "<CaptionZirk> (v<version>) - [<database>]".
// The language step has already opened LangFile and set the scale character set.
void TranslateInterface(QWidget& window, const QString& database);

}  // namespace quibrel
