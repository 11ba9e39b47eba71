// What a host may hand over that it should not: blobs cut anywhere or made of
// noise, null out-pointers, null class GUIDs. The component refuses each and
// stays as it was.
#include <random>
#include <vector>

#include "component/component_fixture.h"
#include "standin_host/abi.h"
#include "standin_host/extension_window.h"
#include "standin_host/menu_items.h"
#include "support/blob.h"

namespace {

using standin::call_slot;
using testing_support::BlobBuilder;
namespace guids = standin::guids;

// Bytes that end where an inaccessible page begins, in read-only memory: a
// read past them or a write into them faults at once.
class GuardedBytes {
 public:
  explicit GuardedBytes(const std::vector<uint8_t>& bytes) {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const size_t page = system.dwPageSize;
    const size_t data_bytes = (bytes.size() / page + 1) * page;
    base_ = static_cast<uint8_t*>(
        VirtualAlloc(nullptr, data_bytes + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    data_ = base_ + data_bytes - bytes.size();
    if (!bytes.empty()) memcpy(data_, bytes.data(), bytes.size());
    DWORD previous;
    VirtualProtect(base_, data_bytes, PAGE_READONLY, &previous);
    VirtualProtect(base_ + data_bytes, page, PAGE_NOACCESS, &previous);
  }
  ~GuardedBytes() { VirtualFree(base_, 0, MEM_RELEASE); }
  GuardedBytes(const GuardedBytes&) = delete;
  GuardedBytes& operator=(const GuardedBytes&) = delete;
  const uint8_t* data() const { return data_; }

 private:
  uint8_t* base_;
  uint8_t* data_;
};

// Blobs that must leave every setting at its default: the default blob cut
// at every length, noise, and records whose lengths lie.
std::vector<std::vector<uint8_t>> blobs_that_change_nothing() {
  std::vector<std::vector<uint8_t>> blobs;
  const std::vector<uint8_t> defaults =
      BlobBuilder().record("mixer_mute_level", 0).record("mixer_control", 0).record("mixer_id", 0);
  for (size_t cut = 0; cut <= defaults.size(); ++cut) {
    blobs.emplace_back(defaults.begin(), defaults.begin() + cut);
  }
  std::mt19937 random(20261208);
  auto below = [&random](uint32_t bound) { return static_cast<uint32_t>(random() % bound); };
  const char* names[] = {"mixer_id", "mixer_control", "mixer_mute_level", "mixer", ""};
  const uint32_t odd_lengths[] = {0, 1, 3, 5, 8, 0x7FFFFFFF, 0xFFFFFFFC, 0xFFFFFFFF};
  for (int i = 0; i < 500; ++i) {
    std::vector<uint8_t> noise(below(160));
    for (uint8_t& byte : noise)
      byte = static_cast<uint8_t>(random());
    blobs.push_back(noise);

    // A known name whose value is any size but 4, or whose name length is
    // off: neither may set anything.
    BlobBuilder lying;
    for (uint32_t record = below(4); record > 0; --record) {
      const std::string name = names[below(5)];
      const uint32_t name_length =
          below(3) == 0 ? odd_lengths[below(8)] : static_cast<uint32_t>(name.size());
      uint32_t value_size = odd_lengths[below(8)];
      lying.u32(name_length).raw(name).u32(value_size).raw(std::string(below(9), '\x7F'));
    }
    blobs.push_back(lying);
  }
  return blobs;
}

TEST_F(ComponentTest, BlobsCutAnywhereOrMadeOfNoiseLeaveTheDefaultsAndTouchNothingAround) {
  const std::vector<uint8_t> defaults = component.write_config();
  for (const std::vector<uint8_t>& blob : blobs_that_change_nothing()) {
    GuardedBytes guarded(blob);
    component.read_config(guarded.data(), static_cast<unsigned>(blob.size()));
    ASSERT_EQ(defaults, component.write_config()) << "after a blob of " << blob.size() << " bytes";
  }
  EXPECT_TRUE(console().empty());
}

TEST_F(ComponentTest, NullPointersFromTheHostAreRefusedAndChangeNothing) {
  const std::vector<uint8_t> defaults = component.write_config();
  component.start();
  const GUID* no_guid = nullptr;

  // The client's own operations.
  component.read_config(nullptr, 73);
  EXPECT_EQ(defaults, component.write_config());
  call_slot<void>(component.client(), standin::client::write_config, nullptr);
  component.set_module_strings(nullptr, nullptr);
  standin::HostStringObject file_name;
  file_name.text = "untouched";
  void* version = component.create_service(guids::component_version);
  ASSERT_NE(nullptr, version);
  call_slot<void>(version, standin::version_service::get_file_name, &file_name);
  EXPECT_EQ("", file_name.text) << "no module name reads as an empty one";
  for (unsigned slot = standin::version_service::get_file_name;
       slot <= standin::version_service::get_about; ++slot) {
    call_slot<void>(version, slot, static_cast<standin::HostStringObject*>(nullptr));
  }

  // Every service's query with no class at all.
  for (const GUID* service_class :
       {&guids::component_version, &guids::init_quit, &guids::play_callback, &guids::menu_item,
        &guids::preferences_page, &guids::extension_window}) {
    for (unsigned nth = 0; void* service = component.create_service(*service_class, nth); ++nth) {
      EXPECT_EQ(nullptr, call_slot<void*>(service, standin::service::query, no_guid));
      call_slot<int>(service, standin::service::release);
    }
  }

  // Out-pointers the commands and the sliders fill.
  standin::MenuItems menu(component.create_service(guids::menu_item));
  standin::HostStringObject text;
  unsigned flags = 77;
  EXPECT_EQ(nullptr, menu.item_name(0, nullptr));
  EXPECT_FALSE(menu.item_guid(0, nullptr));
  EXPECT_FALSE(call_slot<bool>(menu.service(), standin::menu_item::get_display_ex, 0u, nullptr,
                               static_cast<standin::HostStringObject*>(nullptr), &flags,
                               &guids::menu_item));
  EXPECT_FALSE(call_slot<bool>(menu.service(), standin::menu_item::get_display_ex, 0u, nullptr,
                               &text, static_cast<unsigned*>(nullptr), &guids::menu_item));
  EXPECT_EQ(77u, flags);
  EXPECT_EQ("", text.text);
  for (unsigned nth = 0; nth < 2; ++nth) {
    standin::ExtensionWindowView slider(component.create_service(guids::extension_window, nth));
    ASSERT_TRUE(slider);
    using namespace standin::extension_window;
    EXPECT_EQ(nullptr, call_slot<const char*>(slider.object(), get_name, nullptr));
    EXPECT_EQ(nullptr, call_slot<const char*>(slider.object(), get_category, nullptr));
    EXPECT_FALSE(call_slot<bool>(slider.object(), get_short_name, nullptr));
    slider.release();
  }

  EXPECT_EQ(defaults, component.write_config());
  EXPECT_TRUE(console().empty());

  // No parent window: the system refuses a child without one, and the
  // component says so and hands back nothing.
  standin::init_common_controls();
  void* page = component.create_service(guids::preferences_page);
  EXPECT_EQ(nullptr, call_slot<HWND>(page, 3, static_cast<HWND>(nullptr)));
  for (unsigned nth = 0; nth < 2; ++nth) {
    standin::ExtensionWindowView slider(component.create_service(guids::extension_window, nth));
    host.clear_records();
    EXPECT_EQ(nullptr, slider.create_or_transfer(nullptr, nullptr));
    ASSERT_EQ(1u, console().size());
    // No source: the module strings above were null.
    EXPECT_EQ(0u, console()[0].find("3||Failed to create window - ")) << console()[0];
    slider.release();
  }
}

}  // namespace
