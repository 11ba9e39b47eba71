// The list of service factories the host walks, and the shape of the static services.
#pragma once

#include <windows.h>

#include "host/host_api.h"

namespace dwx {

// One node of the list the host reads through the ComponentClient. Its layout
// is the host's: {operation table, next, class GUID}, 24 bytes.
class ServiceFactory {
 public:
  // A service object with one reference for the caller, or null.
  virtual void* create() = 0;

  ServiceFactory* next() const { return next_; }
  const GUID& class_guid() const { return class_guid_; }

 protected:
  // Links the node at the head of the list: the newest registration comes first.
  explicit ServiceFactory(const GUID& class_guid);
  ~ServiceFactory() = default;

 private:
  ServiceFactory* next_;
  GUID class_guid_;
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
class StaticServiceFactory final : public ServiceFactory {
 public:
  explicit StaticServiceFactory(const GUID& class_guid) : ServiceFactory(class_guid) {}
  void* create() override {
    service_.add_ref();
    return &service_;
  }
  Service& service() { return service_; }

 private:
  Service service_;
};

}  // namespace dwx
