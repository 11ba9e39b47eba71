#include "component/component_fixture.h"

void ComponentTest::SetUp() {
  ASSERT_TRUE(component.load(library_path().c_str())) << component.error();
}

void ComponentTest::TearDown() { component.unload(); }

std::vector<std::string> ComponentTest::console() const {
  std::vector<std::string> lines;
  for (const standin::ConsoleLine& line : host.console_lines()) {
    lines.push_back(std::to_string(line.level) + "|" + line.source + "|" + line.text);
  }
  return lines;
}
