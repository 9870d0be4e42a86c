#include "link/serial_port_lock.h"

namespace quibrel {

std::mutex& SerialPortLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace quibrel
