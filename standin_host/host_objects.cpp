// Operation tables of the host's objects, one free function per slot.
#include "standin_host/host_objects.h"

#include "standin_host/abi.h"
#include "standin_host/host.h"

namespace standin {

namespace {

// HostApi.
void* STANDIN_SLOT api_find_service(HostApiObject* self, const GUID* class_guid, unsigned index) {
  return self->host->find_service(class_guid, index);
}
void STANDIN_SLOT api_unused(HostApiObject*) {}
HWND STANDIN_SLOT api_main_window(HostApiObject* self) { return self->host->main_window(); }
const void* const host_api_table[] = {slot_entry(api_find_service), slot_entry(api_unused),
                                      slot_entry(api_main_window)};

// The three operations every counted service begins with.
int STANDIN_SLOT service_release(HostServiceObject* self) {
  return self->host->release_service_reference(self);
}
int STANDIN_SLOT service_add_ref(HostServiceObject* self) {
  return self->host->add_service_reference(self);
}
void* STANDIN_SLOT service_query(HostServiceObject*, const GUID*) { return nullptr; }

// Console: slot 3 output(level, text, source).
void STANDIN_SLOT console_output(HostServiceObject* self, int level, const char* text,
                                 const char* source) {
  self->host->console_output(level, text, source);
}
const void* const console_table[] = {slot_entry(service_release), slot_entry(service_add_ref),
                                     slot_entry(service_query), slot_entry(console_output)};

// Playback control: slots 3 to 13 are the player's own; the component never calls them.
void STANDIN_SLOT playback_other(HostServiceObject*) {}
void STANDIN_SLOT playback_set_volume(HostServiceObject* self, int hdb) {
  self->host->set_volume_from_component(hdb);
}
int STANDIN_SLOT playback_get_volume(HostServiceObject* self) {
  return self->host->volume_for_component();
}
const void* const playback_table[] = {
    slot_entry(service_release),    slot_entry(service_add_ref), slot_entry(service_query),
    slot_entry(playback_other),     slot_entry(playback_other),  slot_entry(playback_other),
    slot_entry(playback_other),     slot_entry(playback_other),  slot_entry(playback_other),
    slot_entry(playback_other),     slot_entry(playback_other),  slot_entry(playback_other),
    slot_entry(playback_other),     slot_entry(playback_other),  slot_entry(playback_set_volume),
    slot_entry(playback_get_volume)};
static_assert(sizeof(playback_table) / sizeof(playback_table[0]) == 16, "set 14, get 15");

// String object.
const char* STANDIN_SLOT string_get_text(HostStringObject* self) { return self->text.c_str(); }
size_t bounded(const char* text, unsigned max) {
  size_t n = 0;
  while (n < max && text[n] != '\0')
    ++n;
  return n;
}
void STANDIN_SLOT string_append(HostStringObject* self, const char* text, unsigned max) {
  if (text != nullptr) self->text.append(text, bounded(text, max));
}
void STANDIN_SLOT string_set(HostStringObject* self, const char* text, unsigned max) {
  self->text.assign(text != nullptr ? text : "", text != nullptr ? bounded(text, max) : 0);
}
void STANDIN_SLOT string_truncate(HostStringObject* self, unsigned length) {
  if (length < self->text.size()) self->text.resize(length);
}
unsigned STANDIN_SLOT string_length(HostStringObject* self) {
  return static_cast<unsigned>(self->text.size());
}
const void* const string_table[] = {slot_entry(string_get_text), slot_entry(string_append),
                                    slot_entry(string_set), slot_entry(string_truncate),
                                    slot_entry(string_length)};

// Configuration writer.
bool STANDIN_SLOT writer_write(WriterObject* self, const void* bytes, unsigned count) {
  const auto* first = static_cast<const uint8_t*>(bytes);
  self->bytes.insert(self->bytes.end(), first, first + count);
  ++self->writes;
  return true;
}
const void* const writer_table[] = {slot_entry(writer_write)};

// Extension host.
void STANDIN_SLOT extension_host_foreign(ExtensionHostObject* self) { ++self->foreign_calls; }
void STANDIN_SLOT extension_host_detach(ExtensionHostObject* self, HWND window) {
  self->detached.push_back(window);
}
#define FOREIGN slot_entry(extension_host_foreign)
const void* const extension_host_table[] = {
    FOREIGN, FOREIGN, FOREIGN, FOREIGN, FOREIGN,
    FOREIGN, FOREIGN, FOREIGN, FOREIGN, FOREIGN,
    FOREIGN, FOREIGN, FOREIGN, FOREIGN, FOREIGN,
    FOREIGN, FOREIGN, FOREIGN, FOREIGN, slot_entry(extension_host_detach)};
#undef FOREIGN
static_assert(sizeof(extension_host_table) / sizeof(extension_host_table[0]) == 20, "slot 19");

}  // namespace

HostApiObject make_host_api(Host* host) { return HostApiObject{host_api_table, host}; }
HostServiceObject make_console(Host* host) { return HostServiceObject{console_table, host}; }
HostServiceObject make_playback_control(Host* host) {
  return HostServiceObject{playback_table, host};
}

HostStringObject::HostStringObject() : table(string_table) {}
WriterObject::WriterObject() : table(writer_table) {}
ExtensionHostObject::ExtensionHostObject() : table(extension_host_table) {}

}  // namespace standin
