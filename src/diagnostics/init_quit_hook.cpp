// The host's start-up and shut-down signals, as far as notices are concerned.
#include "diagnostics/init_quit_hook.h"

#include "diagnostics/notice_log.h"

namespace dwx {

void InitQuitHook::on_init() { notice_log.flush(); }
void InitQuitHook::on_second() {}
void InitQuitHook::on_quit() { notice_log.discard(); }

}  // namespace dwx
