// The service factory list: each node links itself in as it is constructed.
#include "frame/service_factory.h"

namespace dwx {

namespace {
// Constant-initialised, so it is null before any static constructor runs.
ServiceFactory* list_head = nullptr;
}  // namespace

// 24 bytes on 32-bit.
static_assert(sizeof(ServiceFactory) == 2 * sizeof(void*) + sizeof(GUID),
              "the host reads {table, next, GUID}");

ServiceFactory::ServiceFactory(const GUID& class_guid) : next_(list_head), class_guid_(class_guid) {
  list_head = this;
}

ServiceFactory* service_list_head() { return list_head; }

}  // namespace dwx
