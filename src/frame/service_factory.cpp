// The service factory list: each node links itself in as it is constructed.
#include "frame/service_factory.h"

namespace dwx {

namespace {
// Constant-initialised, so it is null before any static constructor runs.
ServiceFactory* list_head = nullptr;
}  // namespace

static_assert(sizeof(ListedFactory) == sizeof(ServiceFactory), "linking adds no field");

ListedFactory::ListedFactory(const GUID& class_guid) : ServiceFactory(list_head, class_guid) {
  list_head = this;
}

ServiceFactory* service_list_head() { return list_head; }

}  // namespace dwx
