#pragma once

#include <QString>
#include <QStringList>

#include "discovery/scales_thread.h"

namespace quibrel {

class ComUnit;
class Workspace;

// The start-up survey of COM1..COM9: every port that opens with the scales' settings is added to
// workspace.COMList and logged as "Found physical COM" and its number. The list is not refreshed
// while the program runs. Reads the [Serial] device names of terminal.ini into the shared port
// module first.
void SurveySerialPorts(Workspace& workspace);
// The same over a given port module, whose device map is used as it is (tests).
void SurveySerialPorts(Workspace& workspace, ComUnit& com);

// The Discover probe on a port module: opens the port under the serial port lock, writes the
// request, reads once and closes.
SerialProbe ComUnitProbe(ComUnit& com);

// terminal.ini [Discovery] Addresses: comma-separated IPv4 addresses asked by unicast. Entries
// that are not an IPv4 address are left out and, when asked for, reported in rejected.
QStringList ParseListedAddresses(const QString& text, QStringList* rejected = nullptr);

// What the window and the command line search with: the surveyed ports over the shared port
// module and the listed addresses of the workspace's terminal.ini.
ScalesSearchOptions SearchOptionsFor(Workspace& workspace, QStringList* rejected = nullptr);

}  // namespace quibrel
