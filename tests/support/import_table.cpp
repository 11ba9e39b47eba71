// Walks the PE import and export directories of a module mapped in memory.
#include "support/import_table.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace testing_support {

namespace {

const IMAGE_NT_HEADERS* nt_headers(HMODULE module) {
  const auto* base = reinterpret_cast<const uint8_t*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  return nt->Signature == IMAGE_NT_SIGNATURE ? nt : nullptr;
}

template <class T>
T* at_rva(HMODULE module, DWORD rva) {
  return reinterpret_cast<T*>(reinterpret_cast<uint8_t*>(module) + rva);
}

const IMAGE_IMPORT_DESCRIPTOR* first_import(HMODULE module) {
  const IMAGE_NT_HEADERS* nt = nt_headers(module);
  if (nt == nullptr) return nullptr;
  const IMAGE_DATA_DIRECTORY& directory =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (directory.VirtualAddress == 0) return nullptr;
  return at_rva<const IMAGE_IMPORT_DESCRIPTOR>(module, directory.VirtualAddress);
}

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

std::vector<std::string> imported_dlls(HMODULE module) {
  std::vector<std::string> names;
  for (const auto* entry = first_import(module); entry && entry->Name != 0; ++entry) {
    names.push_back(lower(at_rva<const char>(module, entry->Name)));
  }
  return names;
}

std::vector<std::string> exported_names(HMODULE module) {
  std::vector<std::string> names;
  const IMAGE_NT_HEADERS* nt = nt_headers(module);
  if (nt == nullptr) return names;
  const IMAGE_DATA_DIRECTORY& directory =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (directory.VirtualAddress == 0) return names;
  const auto* exports = at_rva<const IMAGE_EXPORT_DIRECTORY>(module, directory.VirtualAddress);
  const auto* name_rvas = at_rva<const DWORD>(module, exports->AddressOfNames);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    names.push_back(at_rva<const char>(module, name_rvas[i]));
  }
  return names;
}

ImportPatch::ImportPatch(HMODULE module, const char* dll, const char* function,
                         const void* replacement) {
  const std::string wanted_dll = lower(dll);
  for (const auto* entry = first_import(module); entry && entry->Name != 0; ++entry) {
    if (lower(at_rva<const char>(module, entry->Name)) != wanted_dll) continue;
    // The name table stays as linked; the address table beside it is the one
    // the loader filled and the calls go through.
    const DWORD names_rva =
        entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk;
    const auto* names = at_rva<const IMAGE_THUNK_DATA>(module, names_rva);
    auto* addresses = at_rva<IMAGE_THUNK_DATA>(module, entry->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* by_name = at_rva<const IMAGE_IMPORT_BY_NAME>(module, names->u1.AddressOfData);
      if (strcmp(reinterpret_cast<const char*>(by_name->Name), function) != 0) continue;
      slot_ = reinterpret_cast<void**>(&addresses->u1.Function);
      DWORD protection = 0;
      VirtualProtect(slot_, sizeof(void*), PAGE_READWRITE, &protection);
      original_ = *slot_;
      *slot_ = const_cast<void*>(replacement);
      VirtualProtect(slot_, sizeof(void*), protection, &protection);
      return;
    }
  }
}

ImportPatch::~ImportPatch() {
  if (slot_ == nullptr) return;
  // The module may have been unloaded while the patch lived: its table is
  // gone then, and so is anything to restore.
  HMODULE owner = nullptr;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(slot_), &owner)) {
    return;
  }
  DWORD protection = 0;
  VirtualProtect(slot_, sizeof(void*), PAGE_READWRITE, &protection);
  *slot_ = original_;
  VirtualProtect(slot_, sizeof(void*), protection, &protection);
}

}  // namespace testing_support
