// Loading the component, its client, its service list and its version record, as a host sees them.
#include <algorithm>
#include <string>

#include "component/component_fixture.h"
#include "standin_host/abi.h"
#include "support/blob.h"

namespace {

using standin::call_slot;
using standin::read_string_slot;
namespace guids = standin::guids;

TEST_F(ComponentTest, ClientVersionIs35WhateverElseHappened) {
  EXPECT_EQ(35u, component.version());
  component.start();
  component.reserved();
  EXPECT_EQ(35u, component.version());
  component.stop();
  EXPECT_EQ(35u, component.version());
}

// The extension-window factories, registered last, come before these.
TEST_F(ComponentTest, ServiceListIsReadNewestFirst) {
  // The panel's and then the toolbar's extension-window factory lead.
  const std::vector<GUID> expected = {guids::extension_window, guids::extension_window,
                                      guids::init_quit,        guids::component_version,
                                      guids::preferences_page, guids::menu_item,
                                      guids::play_callback};
  std::vector<GUID> seen;
  for (const standin::FactoryNode* node : component.service_list())
    seen.push_back(node->class_guid);
  ASSERT_EQ(expected.size(), seen.size());
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_TRUE(expected[i] == seen[i]) << "node " << i;
}

TEST_F(ComponentTest, StaticServicesAreOneObjectCountingNothing) {
  for (const standin::FactoryNode* node : component.service_list()) {
    if (node->class_guid == guids::extension_window) continue;  // counted, one per create()
    void* first = call_slot<void*>(node, 0);
    void* second = call_slot<void*>(node, 0);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, second);
    EXPECT_EQ(1, call_slot<int>(first, standin::service::add_ref));
    EXPECT_EQ(1, call_slot<int>(first, standin::service::release));
    EXPECT_EQ(1, call_slot<int>(first, standin::service::release));
    // They answer no query, not even for their own class; the menu item
    // alone answers for its own (its tests cover that).
    if (node->class_guid != guids::menu_item) {
      EXPECT_EQ(nullptr, call_slot<void*>(first, standin::service::query, &node->class_guid));
    }
    EXPECT_EQ(nullptr, call_slot<void*>(first, standin::service::query, &guids::console));
  }
}

TEST_F(ComponentTest, VersionRecordNamesTheComponent) {
  void* version = component.create_service(guids::component_version);
  ASSERT_NE(nullptr, version);
  using namespace standin::version_service;
  EXPECT_EQ("Volume control toolbar", read_string_slot(version, get_component_name));
  EXPECT_EQ("1.4", read_string_slot(version, get_component_version));
  const std::string about = read_string_slot(version, get_about);
  EXPECT_EQ(
      "Provides a Dockwell service for controlling the\n"
      "player internal or system mixer volume level.",
      about);
  EXPECT_EQ(1, std::count(about.begin(), about.end(), '\n'));
}

TEST_F(ComponentTest, FileNameIsTheModuleNameTheHostGave) {
  void* version = component.create_service(guids::component_version);
  ASSERT_NE(nullptr, version);
  using standin::version_service::get_file_name;
  EXPECT_EQ("", read_string_slot(version, get_file_name)) << "before the host gave one";

  component.set_module_strings("C:\\player\\components\\dwx_volume.dll", "dwx_volume");
  EXPECT_EQ("dwx_volume", read_string_slot(version, get_file_name));

  component.set_module_strings("first", "vol\xC3\xBCme");  // a later call replaces the copy
  EXPECT_EQ("vol\xC3\xBCme", read_string_slot(version, get_file_name));

  component.set_module_strings("first", "");
  EXPECT_EQ("", read_string_slot(version, get_file_name));
  component.set_module_strings(nullptr, nullptr);
  EXPECT_EQ("", read_string_slot(version, get_file_name));
}

TEST_F(ComponentTest, TheEntryOpensNothingAndAsksTheHostForNothing) {
  // load() has called the entry function; a second call hands back the same client.
  auto entry = reinterpret_cast<standin::EntryFunction>(
      reinterpret_cast<void*>(GetProcAddress(component.module(), standin::entry_name)));
  ASSERT_NE(nullptr, entry);
  void* client = entry(host.api(), component.module());
  EXPECT_EQ(client, entry(host.api(), component.module()));
  EXPECT_TRUE(host.lookups().empty());
  EXPECT_TRUE(host.console_lines().empty());
}

TEST_F(ComponentTest, AReloadedComponentStartsFromItsDefaults) {
  component.start();
  component.read_config(
      testing_support::BlobBuilder().record("mixer_id", 2).record("mixer_mute_level", 640));
  component.set_module_strings("first", "dwx_volume");
  component.unload();

  ASSERT_TRUE(component.load());
  const auto values = testing_support::blob_values(component.write_config());
  EXPECT_EQ(0, values.at("mixer_id"));
  EXPECT_EQ(0, values.at("mixer_mute_level"));
  void* version = component.create_service(guids::component_version);
  EXPECT_EQ("", read_string_slot(version, standin::version_service::get_file_name));
}

}  // namespace
