// The binary interface as a host sees it, written from the pinned description
// on its own, apart from the component's headers, so that a mistake on one
// side is not mirrored on the other.
#pragma once

#include <windows.h>

#include <cstdint>

namespace standin {

// Every interface operation: the object in ECX, arguments pushed right to
// left, popped by the callee.
#define STANDIN_SLOT __attribute__((thiscall))

// Calls operation `slot` (counted from 0) of an interface object.
template <class R, class... Args>
R call_slot(const void* object, unsigned slot, Args... args) {
  using Operation = R(STANDIN_SLOT*)(const void*, Args...);
  const void* const* table = *static_cast<const void* const* const*>(object);
  return reinterpret_cast<Operation>(const_cast<void*>(table[slot]))(object, args...);
}

// An operation table entry made from a free function taking the object first.
template <class F>
const void* slot_entry(F* function) {
  return reinterpret_cast<const void*>(function);
}

using EntryFunction = void*(__cdecl*)(void* host_api, HINSTANCE module_instance);
constexpr const char* entry_name = "plinvox_get_interface";

// Slots of the objects the component supplies.
namespace client {
constexpr unsigned get_version = 0, get_service_list = 1, write_config = 2, read_config = 3,
                   reserved = 4, set_module_strings = 5, set_services_ready = 6;
}
namespace service {
constexpr unsigned release = 0, add_ref = 1, query = 2;
}
namespace version_service {
constexpr unsigned get_file_name = 3, get_component_name = 4, get_component_version = 5,
                   get_about = 6;
}
namespace init_quit {
constexpr unsigned on_init = 3, on_second = 4, on_quit = 5;
}
namespace play_callback {
constexpr unsigned get_flags = 3, on_volume_change = 12;
constexpr unsigned volume_change_flag = 256;
}  // namespace play_callback

// The ServiceFactory node as laid out in memory.
struct FactoryNode {
  const void* const* table;  // one slot: 0 create()
  FactoryNode* next;
  GUID class_guid;
};
static_assert(sizeof(FactoryNode) == 2 * sizeof(void*) + 16,
              "{table, next, GUID}: 24 bytes on 32-bit");

namespace guids {
constexpr GUID play_callback = {
    0xCF91D5CB, 0x743B, 0x401A, {0xA8, 0xCC, 0xE1, 0x49, 0xF8, 0x94, 0x4C, 0xCB}};
constexpr GUID menu_item = {
    0x1C0802F7, 0xCF24, 0x49EF, {0xB9, 0x14, 0x8B, 0x98, 0x66, 0xF1, 0x97, 0x79}};
constexpr GUID preferences_page = {
    0x7255E8D0, 0x3FCF, 0x4781, {0xB9, 0x3B, 0xD0, 0x6C, 0xB8, 0x8D, 0xFA, 0xFA}};
constexpr GUID component_version = {
    0x10BB3EBD, 0xDDF7, 0x4975, {0xA3, 0xCC, 0x23, 0x08, 0x48, 0x29, 0x45, 0x3E}};
constexpr GUID init_quit = {
    0x113773C4, 0xB387, 0x4B48, {0x8B, 0xDF, 0xAB, 0x58, 0xBC, 0x6C, 0xE5, 0x38}};
constexpr GUID extension_window = {
    0xDF6396C3, 0x7A28, 0x470B, {0xAD, 0x84, 0xA1, 0x5A, 0xBC, 0x1D, 0x00, 0x07}};
constexpr GUID console = {
    0x056B51C7, 0xE78C, 0x4A4E, {0xB8, 0x4E, 0x6B, 0xFF, 0x3F, 0x8A, 0xB8, 0xF2}};
constexpr GUID playback_control = {
    0x66E4FD37, 0x5839, 0x4233, {0xA2, 0xD3, 0x78, 0x7E, 0x86, 0xA6, 0x90, 0x11}};
}  // namespace guids

}  // namespace standin
