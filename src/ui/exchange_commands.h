#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

#include "link/scale_link.h"
#include "link/tcp_transport.h"
#include "link/upload_troubleshooting.h"

class QAbstractButton;
class QTimer;
class QWidget;

namespace quibrel {

class ComUnit;
class MainWindow;
class StatusSink;
class TScalesForm;
class TScalesThread;
class Workspace;

// The window's exchanges with the scales. Each command holds the search, lets the operator
// choose scales, runs its transfer on a TCP client of its own and puts everything back however
// it ends. While one runs, every exchange button is disabled and the window cannot be closed, so
// a second exchange (or a shut-down under the running one) cannot start; the window keeps
// repainting and answering otherwise.
//
// The exchange buttons start disabled; Timer1 enables them once the search has finished its
// first cycle, and then stops for good.
class ExchangeCommands : public QObject {
  Q_OBJECT

 public:
  ExchangeCommands(Workspace& workspace, TScalesThread& scales_thread, TScalesForm& scales_form,
                   StatusSink& status, QObject* parent = nullptr);
  ~ExchangeCommands() override;

  // Connects the upload buttons of the goods and keypad pages, guards the window's closing and
  // starts Timer1.
  void Attach(MainWindow& window);
  // An exchange button: disabled until the first search cycle has ended and while any exchange
  // runs.
  void AddExchangeButton(QAbstractButton* button);

  void SaveToScales();
  void TransmitProductsButtonClick() { SaveToScales(); }
  void TransmitKeypadButtonClick() { SaveToScales(); }
  void Timer1Timer();

  QTimer* Timer1() const { return timer1_; }
  bool Busy() const { return busy_; }
  // The request and reply buffers of the scale link, for the whole run.
  ScaleLink& link() { return link_; }

  // An error the command does not turn into a status message (making a file) is shown in an
  // error box; tests record the text instead.
  void SetErrorBox(std::function<void(const QString&)> box) { error_box_ = std::move(box); }
  // The port module of the serial visits (the program's shared one by default).
  void SetComUnit(ComUnit& com) { com_ = &com; }
  // The TCP port of the scales (5001); tests aim at an emulator.
  void SetScalePort(quint16 port) { scale_port_ = port; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class Running;

  void SetButtonsEnabled(bool enabled);
  void ShowError(const QString& text);

  Workspace& workspace_;
  TScalesThread& scales_thread_;
  TScalesForm& scales_form_;
  StatusSink& status_;
  ComUnit* com_;
  quint16 scale_port_ = kScalePort;
  ScaleLink link_;
  // Exists only for the length of one command.
  std::unique_ptr<TcpTransport> TCP;
  QTimer* timer1_;
  QList<QPointer<QAbstractButton>> buttons_;
  QPointer<QWidget> window_;
  bool buttons_enabled_ = false;
  bool busy_ = false;
  bool close_pending_ = false;  // the window was asked to close during an exchange
  std::function<void(const QString&)> error_box_;
};

}  // namespace quibrel
