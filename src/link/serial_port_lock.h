#pragma once

#include <mutex>

namespace quibrel {

// The one lock of the serial port layer. The discovery probe and every serial visit hold it for
// as long as they have a port open, so a visit never opens a port while a probe holds it.
std::mutex& SerialPortLock();

}  // namespace quibrel
