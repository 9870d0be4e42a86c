#include "link/upload_troubleshooting.h"

#include "core/status_sink.h"
#include "i18n/lang_text.h"

namespace quibrel {

QStringList TroubleShootingLines(TroubleShootingFor exchange) {
  return {
      LangText("Misc", "ScalesNotFound", "Scales not found..."),
      QString(),
      LangText("Text", "TroubleShooting1", "Possible reasons:"),
      LangText("Text", "TroubleShooting2",
               exchange == TroubleShootingFor::kUpload ? "1. The scales is switched off"
                                                       : "1. The scales is swithed off"),
      LangText("Text", "TroubleShooting3", "2. Bad connection cable"),
      LangText("Text", "TroubleShooting4", "3. For connection via COM-port:"),
      LangText("Text", "TroubleShooting5",
               "- COM-port mode is not in \"Computer\" in the scales settings"),
      LangText("Text", "TroubleShooting6", "- COM-port is switched off"),
      LangText("Text", "TroubleShooting7", "4. For connection via Ethernet:"),
      LangText("Text", "TroubleShooting8",
               "- scales ethernet settings is not compatible with PC network settings"),
      LangText("Text", "TroubleShooting9", "- data exchange is blocked by the firewall"),
  };
}

void ShowTroubleShooting(StatusSink& status, QStringList& MessageList,
                         TroubleShootingFor exchange) {
  MessageList.append(TroubleShootingLines(exchange));
  status.ShowMessageWindow(100, 50, kFailureColour, Qt::black, Qt::AlignLeft, true, MessageList);
  status.ProcessEvents();
  status.HideMessageWindow();
}

}  // namespace quibrel
