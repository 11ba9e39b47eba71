// Fuzzes the configuration blob reader with whatever a stored blob may hold.
//
// The input is the blob. The component's three integer variables are read
// from it beside a variable that keeps every value handed to it, and the
// outcome is compared with a walk of the blob written here from its format:
// each complete record reaches the first variable of its name with exactly
// its own bytes, and nothing after the first record that runs past the end.
// Then what was read is written, and the written blob must read back to the
// same values and write the same bytes again.
#include <cstring>
#include <vector>

#include "frame/config.h"
#include "fuzz_check.h"

namespace {

uint32_t le32(const uint8_t* bytes) {
  return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
         uint32_t{bytes[3]} << 24;
}

struct Record {
  const char* name;  // within the blob, cut at its first NUL
  size_t name_length;
  size_t value_at;  // offset of the value in the blob
  size_t value_size;

  bool named(const char* other) const {
    return name_length == strlen(other) && memcmp(name, other, name_length) == 0;
  }
};

// The complete records of a blob in order, by its format alone, into
// `records`; returns where the last one ends. Counted in size_t, not in the
// reader's 32 bits, so that a wrapped sum cannot hide here too.
size_t reference_records(const uint8_t* blob, size_t size, std::vector<Record>& records) {
  records.clear();
  size_t at = 0;
  while (size - at > 4) {
    const size_t name_length = le32(blob + at);
    if (name_length > size - at - 4) break;
    const char* name = reinterpret_cast<const char*>(blob + at + 4);
    const void* nul = memchr(name, 0, name_length);
    const size_t value_field = at + 4 + name_length;
    if (size - value_field < 4) break;
    const size_t value_size = le32(blob + value_field);
    if (value_size > size - value_field - 4) break;
    records.push_back(Record{name, nul ? size_t(static_cast<const char*>(nul) - name) : name_length,
                             value_field + 4, value_size});
    at = value_field + 4 + value_size;
  }
  return at;
}

// A variable of any size that notes where each value it is handed lies in
// the blob being read, and writes back the last one (or nothing before any).
class RawVar final : public dwx::ConfigVar {
 public:
  RawVar(dwx::ConfigList& list, const char* name) : ConfigVar(list, name) {}

  bool write_value(dwx::ConfigWriter& writer) const override {
    if (!held_) return false;
    writer.write(last_.data(), static_cast<uint32_t>(last_.size()));
    return true;
  }
  void read_value(const uint8_t* data, uint32_t size) override {
    FUZZ_CHECK(data >= blob_ && size <= blob_size_ && data - blob_ <= ptrdiff_t(blob_size_ - size));
    deliveries_.push_back(Record{nullptr, 0, size_t(data - blob_), size});
    last_.assign(data, data + size);
    held_ = true;
  }

  void forget() {
    last_.clear();
    held_ = false;
  }
  // The blob the next read is given, so that deliveries are told by offset.
  void expect_blob(const uint8_t* blob, size_t size) {
    blob_ = blob;
    blob_size_ = size;
    deliveries_.clear();
  }
  const std::vector<Record>& deliveries() const { return deliveries_; }
  const std::vector<uint8_t>& last() const { return last_; }
  bool held() const { return held_; }

 private:
  const uint8_t* blob_ = nullptr;
  size_t blob_size_ = 0;
  std::vector<Record> deliveries_;
  std::vector<uint8_t> last_;
  bool held_ = false;
};

class CollectingWriter final : public dwx::ConfigWriter {
 public:
  explicit CollectingWriter(std::vector<uint8_t>& bytes) : bytes_(bytes) { bytes_.clear(); }
  bool write(const void* bytes, uint32_t count) override {
    const auto* first = static_cast<const uint8_t*>(bytes);
    bytes_.insert(bytes_.end(), first, first + count);
    return true;
  }

 private:
  std::vector<uint8_t>& bytes_;
};

// The component's variables in its order of construction, and the raw one
// newest, at the head. Its name is a prefix of the others', so a reader that
// matched prefixes would hand it their records. Made once and reset for each
// input: the runs are many, and the heap is slow under the sanitizer.
struct Settings {
  dwx::ConfigList list;
  dwx::ConfigInt id{list, "mixer_id"};
  dwx::ConfigInt control{list, "mixer_control"};
  dwx::ConfigInt mute{list, "mixer_mute_level"};
  RawVar raw{list, "mixer"};
  int32_t seed = 0;

  // Values no blob is likely to hold, so that a record setting one shows.
  void reset(int32_t seed_value) {
    seed = seed_value;
    id.set(seed + 1);
    control.set(seed + 2);
    mute.set(seed + 3);
    raw.forget();
  }
  void read(const uint8_t* blob, size_t size) {
    raw.expect_blob(blob, size);
    list.read(blob, static_cast<uint32_t>(size));
  }
  void write(std::vector<uint8_t>& bytes) const {
    CollectingWriter writer(bytes);
    list.write(writer);
  }
};

std::vector<Record> records;  // reused from run to run

// What reading the blob must leave: the values of the last complete record
// of 4 bytes for each integer, and every record of the raw variable.
void check_read(const Settings& after, const uint8_t* blob, size_t size) {
  int32_t id = after.seed + 1, control = after.seed + 2, mute = after.seed + 3;
  size_t raw = 0;
  reference_records(blob, size, records);
  for (const Record& record : records) {
    const int32_t value = record.value_size == 4 ? int32_t(le32(blob + record.value_at)) : 0;
    if (record.named("mixer_id") && record.value_size == 4) id = value;
    if (record.named("mixer_control") && record.value_size == 4) control = value;
    if (record.named("mixer_mute_level") && record.value_size == 4) mute = value;
    if (record.named("mixer")) {
      FUZZ_CHECK(raw < after.raw.deliveries().size());
      FUZZ_CHECK(after.raw.deliveries()[raw].value_at == record.value_at);
      FUZZ_CHECK(after.raw.deliveries()[raw].value_size == record.value_size);
      ++raw;
    }
  }
  FUZZ_CHECK(after.id.value() == id);
  FUZZ_CHECK(after.control.value() == control);
  FUZZ_CHECK(after.mute.value() == mute);
  FUZZ_CHECK(after.raw.deliveries().size() == raw);
}

// A written blob is exactly one record per variable that has a value, head
// first, each named in full and carrying the variable's value.
void check_written(const Settings& settings, const std::vector<uint8_t>& blob) {
  FUZZ_CHECK(reference_records(blob.data(), blob.size(), records) == blob.size());
  const size_t raw_records = settings.raw.held() ? 1 : 0;
  FUZZ_CHECK(records.size() == raw_records + 3);
  if (raw_records != 0) {
    FUZZ_CHECK(records[0].named("mixer"));
    FUZZ_CHECK(std::vector<uint8_t>(blob.begin() + records[0].value_at,
                                    blob.begin() + records[0].value_at + records[0].value_size) ==
               settings.raw.last());
  }
  const char* names[] = {"mixer_mute_level", "mixer_control", "mixer_id"};
  const int32_t values[] = {settings.mute.value(), settings.control.value(), settings.id.value()};
  for (size_t i = 0; i < 3; ++i) {
    const Record& record = records[raw_records + i];
    FUZZ_CHECK(record.named(names[i]) && record.value_size == 4);
    FUZZ_CHECK(int32_t(le32(blob.data() + record.value_at)) == values[i]);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Settings settings, again;
  static std::vector<uint8_t> written, rewritten;
  if (size > 0xFFFFFFFFu) return 0;
  const std::unique_ptr<uint8_t[]> blob = fuzz::exact_copy(data, size);

  settings.reset(0x5A000000);
  settings.read(blob.get(), size);
  check_read(settings, blob.get(), size);

  settings.write(written);
  check_written(settings, written);

  // Read into variables that start elsewhere: every value comes from the blob.
  again.reset(0x3C000000);
  const std::unique_ptr<uint8_t[]> copy = fuzz::exact_copy(written.data(), written.size());
  again.read(copy.get(), written.size());
  FUZZ_CHECK(again.id.value() == settings.id.value());
  FUZZ_CHECK(again.control.value() == settings.control.value());
  FUZZ_CHECK(again.mute.value() == settings.mute.value());
  FUZZ_CHECK(again.raw.held() == settings.raw.held() && again.raw.last() == settings.raw.last());
  again.write(rewritten);
  FUZZ_CHECK(rewritten == written);
  return 0;
}
