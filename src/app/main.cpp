#include "app/quibrel_application.h"
#include "app/shell.h"
#include "core/program_folder.h"
#include "ui/main_window.h"
#include "workspace/workspace.h"

int main(int argc, char** argv) {
  quibrel::QuibrelApplication app(argc, argv);
  app.setApplicationName("Quibrel");
  quibrel::Workspace workspace(quibrel::ProgramFolder::Locate());
  quibrel::MainWindow window;
  quibrel::Shell shell(workspace, window);
  quibrel::CloseWindowOnTerminationSignals(&window, [&] { shell.SetUnattendedShutDown(true); });
  shell.StartUp();
  window.show();
  window.Centre();
  return app.exec();
}
