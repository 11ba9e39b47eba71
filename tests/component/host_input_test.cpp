// What a host may hand over that it should not: null out-pointers, null
// class GUIDs, no parent window. The component refuses each and stays as it
// was. Blobs cut anywhere or made of noise are the pure tests' and the
// fuzzer's.
#include <vector>

#include "component/component_fixture.h"
#include "standin_host/abi.h"
#include "standin_host/extension_window.h"
#include "standin_host/menu_items.h"

namespace {

using standin::call_slot;
namespace guids = standin::guids;

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
