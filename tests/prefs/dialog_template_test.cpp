// Dialog template 101 as windres compiled it into the DLL, read field by field.
#include <cstdint>
#include <string>
#include <vector>

#include "component/component_fixture.h"

namespace {

// Reads a DLGTEMPLATEEX: little-endian words, texts in UTF-16, items on
// 4-byte boundaries.
class TemplateReader {
 public:
  TemplateReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  uint16_t word() {
    uint16_t value = 0;
    if (at_ + 2 <= size_) value = static_cast<uint16_t>(data_[at_] | data_[at_ + 1] << 8);
    at_ += 2;
    return value;
  }
  uint32_t dword() {
    const uint32_t low = word();
    return low | static_cast<uint32_t>(word()) << 16;
  }
  int16_t coordinate() { return static_cast<int16_t>(word()); }
  std::wstring text() {
    std::wstring value;
    for (uint16_t unit = word(); unit != 0 && at_ <= size_; unit = word())
      value.push_back(static_cast<wchar_t>(unit));
    return value;
  }
  // A text, or an ordinal written as "#n".
  std::wstring text_or_ordinal() {
    if (at_ + 2 <= size_ && data_[at_] == 0xFF && data_[at_ + 1] == 0xFF) {
      word();
      return L"#" + std::to_wstring(word());
    }
    return text();
  }
  uint8_t byte() { return at_ < size_ ? data_[at_++] : (at_++, 0); }
  void align() { at_ = (at_ + 3) & ~static_cast<size_t>(3); }
  size_t position() const { return at_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

struct ItemTemplate {
  uint32_t help_id, ex_style, style;
  int16_t x, y, cx, cy;
  int32_t id;
  std::wstring window_class, text;
  uint16_t creation_data;
};

ItemTemplate read_item(TemplateReader& in) {
  in.align();
  ItemTemplate item;
  item.help_id = in.dword();
  item.ex_style = in.dword();
  item.style = in.dword();
  item.x = in.coordinate();
  item.y = in.coordinate();
  item.cx = in.coordinate();
  item.cy = in.coordinate();
  item.id = static_cast<int32_t>(in.dword());
  item.window_class = in.text_or_ordinal();
  item.text = in.text_or_ordinal();
  item.creation_data = in.word();
  return item;
}

TEST_F(ComponentTest, DialogTemplate101IsTheExtendedTemplateOfThePage) {
  HRSRC found = FindResourceExW(component.module(), MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(101),
                                MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  ASSERT_NE(nullptr, found) << "dialog 101 in language 1033, error " << GetLastError();
  const DWORD size = SizeofResource(component.module(), found);
  const auto* data =
      static_cast<const uint8_t*>(LockResource(LoadResource(component.module(), found)));
  ASSERT_NE(nullptr, data);
  TemplateReader in(data, size);

  EXPECT_EQ(1, in.word()) << "dlgVer";
  EXPECT_EQ(0xFFFF, in.word()) << "signature";
  EXPECT_EQ(0u, in.dword()) << "helpID";
  EXPECT_EQ(0u, in.dword()) << "exStyle";
  EXPECT_EQ(0x40000040u, in.dword()) << "WS_CHILD | DS_SETFONT";
  ASSERT_EQ(5, in.word()) << "items";
  EXPECT_EQ(0, in.coordinate());
  EXPECT_EQ(0, in.coordinate());
  EXPECT_EQ(257, in.coordinate());
  EXPECT_EQ(92, in.coordinate());
  EXPECT_EQ(L"", in.text_or_ordinal()) << "menu";
  EXPECT_EQ(L"", in.text_or_ordinal()) << "window class";
  EXPECT_EQ(L"", in.text()) << "title";
  EXPECT_EQ(8, in.word()) << "point size";
  EXPECT_EQ(0, in.word()) << "weight";
  EXPECT_EQ(0, in.byte()) << "italic";
  EXPECT_EQ(0, in.byte()) << "character set";
  EXPECT_EQ(L"Tahoma", in.text());

  const ItemTemplate expected[] = {
      {0, 0, 0x50020002, 7, 9, 71, 8, -1, L"#130", L"Control which device:", 0},
      {0, 0, 0x50210003, 82, 7, 126, 130, 1000, L"#133", L"", 0},
      {0, 0, 0x40020002, 7, 24, 71, 8, 1002, L"#130", L"Use which control:", 0},
      {0, 0, 0x40210003, 82, 22, 126, 130, 1001, L"#133", L"", 0},
      {0, 0, 0x40020000, 7, 24, 213, 8, 1003, L"#130",
       L"See: DSP Manager / Volume control, changes will NOT be instant.", 0},
  };
  for (const ItemTemplate& want : expected) {
    SCOPED_TRACE(want.id);
    const ItemTemplate got = read_item(in);
    EXPECT_EQ(want.help_id, got.help_id);
    EXPECT_EQ(want.ex_style, got.ex_style);
    EXPECT_EQ(want.style, got.style);
    EXPECT_EQ(want.x, got.x);
    EXPECT_EQ(want.y, got.y);
    EXPECT_EQ(want.cx, got.cx);
    EXPECT_EQ(want.cy, got.cy);
    EXPECT_EQ(want.id, got.id);
    EXPECT_EQ(want.window_class, got.window_class) << "0x0082 static, 0x0085 combo box";
    EXPECT_EQ(want.text, got.text);
    EXPECT_EQ(want.creation_data, got.creation_data);
  }
  EXPECT_LE(in.position(), size) << "the items fit in the resource";
}

// Two resource scripts go into the DLL; the version information must have
// survived the merge too.
TEST_F(ComponentTest, TheVersionResourceSitsBesideTheDialog) {
  EXPECT_NE(nullptr, FindResourceW(component.module(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16)));
  EXPECT_NE(nullptr, FindResourceW(component.module(), MAKEINTRESOURCEW(101), MAKEINTRESOURCEW(5)));
}

}  // namespace
