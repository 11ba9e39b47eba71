// The list of service factories the host walks, and the shape of the static services.
#pragma once

#include <windows.h>

#include "host/component_api.h"

namespace dwx {

// A node that links itself at the head of the list as it is constructed:
// the newest registration comes first.
class ListedFactory : public ServiceFactory {
 protected:
  explicit ListedFactory(const GUID& class_guid);
  ~ListedFactory() = default;
};

// The head of the list, newest factory first.
ServiceFactory* service_list_head();

// A service that lives as long as the library: it counts nothing and answers
// release() and add_ref() with 1.
template <class Interface>
class StaticService : public Interface {
 public:
  int32_t release() override { return 1; }
  int32_t add_ref() override { return 1; }
  void* query(const GUID*) override { return nullptr; }

 protected:
  ~StaticService() = default;
};

// A factory node and its static service in one object: create() hands out the
// embedded service.
template <class Service>
class StaticServiceFactory final : public ListedFactory {
 public:
  explicit StaticServiceFactory(const GUID& class_guid) : ListedFactory(class_guid) {}
  void* create() override {
    service_.add_ref();
    return &service_;
  }
  Service& service() { return service_; }

 private:
  Service service_;
};

}  // namespace dwx
