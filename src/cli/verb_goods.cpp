#include <optional>

#include "cli/cli_verb.h"
#include "db/goods_base.h"
#include "db/goods_rules.h"
#include "db/money_format.h"
#include "workspace/language.h"
#include "workspace/workspace.h"

namespace quibrel {
namespace {

// The goods verbs speak the operator's language and locale, as the window does.
void PrepareGoodsWork(Workspace& workspace) {
  workspace.language().Select(workspace.IniFileRef());
  FillFormatSettings();
  workspace.flRefresh = true;
}

QString FieldText(const QVariant& value) {
  return (!value.isValid() || value.isNull()) ? QString() : value.toString();
}

int RunGoodsList(CliContext& context) {
  CliArguments(context.arguments).ExpectEnd();
  PrepareGoodsWork(context.workspace);
  RowSet& goods = context.workspace.base().Goods();
  QVector<int> fields;
  for (const GoodsColumn& column : GoodsColumns()) fields << goods.FieldIndex(column.field);
  for (int position = 0; position < goods.RecordCount(); ++position) {
    QStringList line;
    for (int field : fields) line << FieldText(goods.ValueAt(position, field));
    PrintLine(line.join('\t'));
  }
  return 0;
}

// The typed value of one option through the field's input rule; none when refused (the
// message is then on stderr).
std::optional<QVariant> OptionValue(CliArguments& arguments, const char* option,
                                    const char* field, bool* given) {
  *given = arguments.HasOption(option);
  const QString text = arguments.Option(option);
  QVariant value;
  if (const std::optional<QString> refusal = ConvertGoodsInput(field, text, &value)) {
    PrintError(*refusal);
    return std::nullopt;
  }
  return value;
}

int RunGoodsAdd(CliContext& context) {
  CliArguments arguments(context.arguments);
  struct Input {
    const char* option;
    const char* field;
    bool given = false;
    QVariant value;
  };
  Input inputs[] = {{"plu", "PLU", false, {}},         {"name1", "ZirkName1", false, {}},
                    {"name2", "ZirkName2", false, {}},  {"type", "Type", false, {}},
                    {"price", "Price", false, {}},      {"shelf-life", "ZirkDuringDate", false, {}}};
  bool refused = false;
  for (Input& input : inputs) {
    const std::optional<QVariant> value =
        OptionValue(arguments, input.option, input.field, &input.given);
    if (!value) refused = true;
    if (value) input.value = *value;
  }
  arguments.ExpectEnd();
  if (refused) return 1;

  Workspace& workspace = context.workspace;
  PrepareGoodsWork(workspace);
  GoodsBase& base = workspace.base();
  RowSet& goods = base.Goods();

  // The defaults of a new item in the window.
  if (!inputs[0].given) {
    qint64 largest = 0;
    const int plu = goods.FieldIndex("PLU");
    for (int position = 0; position < goods.RecordCount(); ++position) {
      largest = std::max(largest, goods.ValueAt(position, plu).toLongLong());
    }
    if (largest >= GoodsColumns()[0].maximum) {
      PrintError(QStringLiteral("No PLU is left above %1").arg(largest));
      return 1;
    }
    inputs[0].value = static_cast<int>(largest + 1);
  }
  if (!inputs[3].given) inputs[3].value = WeightWord();
  if (!inputs[4].given) inputs[4].value = "0" + FormatSettings().decimal_separator + "00";
  if (!inputs[5].given) inputs[5].value = 0;

  QString refusal;
  goods.SetBeforePost(MakeGoodsBeforePost(
      base, [] { return true; }, [] { return WeightWord(); },
      [&refusal](const QString& text) { refusal = text; }));
  goods.Append();
  if (!inputs[1].given) inputs[1].value = QStringLiteral("");
  if (!inputs[2].given) inputs[2].value = QStringLiteral("");
  for (const Input& input : inputs) goods.SetFieldValue(input.field, input.value);
  if (!goods.Post()) {
    PrintError(refusal);
    return 1;
  }
  PrintLine(QStringLiteral("goods: PLU %1 stored").arg(FieldText(goods.FieldByName("PLU"))));
  return 0;
}

int RunGoodsDelete(CliContext& context) {
  CliArguments arguments(context.arguments);
  if (!arguments.HasOption("plu")) throw CliUsageError{"--plu is required"};
  bool given = false;
  const std::optional<QVariant> plu = OptionValue(arguments, "plu", "PLU", &given);
  arguments.ExpectEnd();
  if (!plu) return 1;
  if (plu->isNull()) throw CliUsageError{"--plu needs a number"};
  PrepareGoodsWork(context.workspace);
  RowSet& goods = context.workspace.base().Goods();
  if (!goods.Locate("PLU", *plu)) {
    PrintError(QStringLiteral("No goods item has PLU %1").arg(plu->toLongLong()));
    return 1;
  }
  goods.Delete();
  PrintLine(QStringLiteral("goods: PLU %1 deleted").arg(plu->toLongLong()));
  return 0;
}

int RunGoods(CliContext& context) {
  if (context.arguments.isEmpty()) throw CliUsageError{"say list, add or delete"};
  const QString action = context.arguments.takeFirst();
  if (action == "list") return RunGoodsList(context);
  if (action == "add") return RunGoodsAdd(context);
  if (action == "delete") return RunGoodsDelete(context);
  throw CliUsageError{"unknown goods action '" + action + "'"};
}

const CliVerbRegistration kGoods(
    "goods",
    {"goods list | add [--plu N] [--name1 T] [--name2 T] [--type T] [--price T] "
     "[--shelf-life D] | delete --plu N",
     "list, add (checked as the window checks) or delete goods items", true, RunGoods});

}  // namespace
}  // namespace quibrel
