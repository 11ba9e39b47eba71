// Printing on the host console.
#include "diagnostics/console.h"

#include "frame/component_state.h"
#include "host/guids.h"
#include "host/host_api.h"

namespace dwx {

void console_output(NoticeLevel level, const char* text) {
  const char* source = module_name();
  HostApi* host = host_api();
  if (host == nullptr) return;
  auto* console = static_cast<HostConsole*>(host->find_service(&console_class, 0));
  if (console == nullptr) return;
  console->output(static_cast<int32_t>(level), text != nullptr ? text : "", source);
  console->release();
}

}  // namespace dwx
