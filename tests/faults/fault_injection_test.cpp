// One player session through the stand-in host and the real DLL, with a
// scripted mixer in place of winmm: run clean to learn every call the
// component makes through the imports the injector takes over
// (fault_injector.h), then again for each call site with its first call,
// its last call, or every call failing; with utf8api's wide text, then with
// ANSI text for the sites only that reaches. A site reached only once
// another call has failed is never learned, so never failed. Each run must
// not crash, must print the notice its failure calls for, must work again
// once the failure clears (the live slider still moves the volume, every
// slider hears the host's next report from its own thread, and a second
// session in the same load does everything), and must leave nothing behind.
// DWX_FAULTS_FULL=1 fails each call of each site in turn, and every call
// from each one on; DWX_FAULTS_ONLY=text runs only the rows whose label
// holds the text.
#include <windows.h>

#include <mmsystem.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "backend/volume_scale.h"
#include "player/player.h"
#include "support/blob.h"
#include "support/fault_injector.h"
#include "support/process_counters.h"
#include "support/scripted_mixer.h"
#include "utf8api_testing.h"

namespace {

using testing_support::FaultInjector;
using testing_support::FaultPlan;
using testing_support::Import;
using testing_support::InjectedFault;
using testing_support::ProcessCounters;
using testing_support::ScriptedMixer;

constexpr const char* class_names[] = {"C4553E95-BFE3-4016-A475-ACF3ED951813",
                                       "F14E14BB-32D3-4d44-9D0F-CDEAC87F371E",
                                       "8DEB9B7A-B049-4599-AE4B-258E9D58D5F3"};
constexpr int device_list = 1000, control_list = 1001;
constexpr unsigned volume_up = 0, volume_mute = 2;

// What each failure must print, first match by import and the start of what
// the call was: the trackbar's and the tooltip's failures, for one, leave a
// slider without them and say nothing. Heap failures are left out: where the
// heap fails, any text may come out short.
struct NoticeRule {
  Import import;
  const char* what;
  const char* notice;  // "level|text" up to the system's reason
};
constexpr NoticeRule notice_rules[] = {
    {Import::mixerOpen, "", "3|mixerOpen failed - "},
    {Import::mixerGetLineInfoA, "by id: speakers",
     "2|Failed to query mixer line info for master volume - "},
    {Import::mixerGetLineInfoA, "by id: source",
     "2|Failed to query mixer line info for source control - "},
    {Import::mixerGetLineInfoA, "speakers",
     "3|mixerGetLineInfo failed to enumerate master volume control - "},
    {Import::mixerGetLineInfoA, "source",
     "3|mixerGetLineInfo failed to enumerate source control - "},
    {Import::mixerGetLineControlsA, "", "3|mixerGetLineControls failed - "},
    {Import::mixerGetControlDetailsA, "", "2|mixerGetControlDetails failed in GetVolume - "},
    {Import::mixerSetControlDetails, "", "2|mixerSetControlDetails failed in SetVolume - "},
    {Import::mixerGetLineInfoW, "by id: speakers",
     "2|Failed to query mixer line info for master volume - "},
    {Import::mixerGetLineInfoW, "by id: source",
     "2|Failed to query mixer line info for source control - "},
    {Import::mixerGetDevCapsA, "", "2|Unable to query mixer info for ID "},
    {Import::mixerGetDevCapsW, "", "2|Unable to query mixer info for ID "},
    {Import::mixerGetID, "", "2|mixerGetID failed - "},
    {Import::uRegisterClass, "8DEB9B7A", "3|Failed to register mixer callback window class - "},
    {Import::uRegisterClass, "", "3|Failed to register window class - "},
    {Import::uCreateWindowEx, "uninteresting", "3|Failed to create mixer callback window - "},
    {Import::uCreateWindowEx, "Volume", "3|Failed to create window - "},
    // A window whose object cannot be attached to it is not created.
    {Import::uSetWindowLong, "user data of 8DEB9B7A",
     "3|Failed to create mixer callback window - "},
    {Import::uSetWindowLong, "user data of msctls_trackbar32", nullptr},
    {Import::uSetWindowLong, "user data of ", "3|Failed to create window - "},
};

// Null: the failure must print nothing.
const char* notice_for(const InjectedFault& fault) {
  for (const NoticeRule& rule : notice_rules) {
    if (rule.import == fault.site.import && fault.what.rfind(rule.what, 0) == 0) return rule.notice;
  }
  return nullptr;
}

// A crash ends the program: it says first which run it was.
std::string current_row = "the clean runs";
LONG WINAPI name_the_crash(EXCEPTION_POINTERS* exception) {
  fprintf(stderr, "crash 0x%08lx during %s\n",
          static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode),
          current_row.c_str());
  fflush(stderr);
  return EXCEPTION_CONTINUE_SEARCH;
}

// The player's side of one session: a user's hand on both sliders, the
// menu commands and the preferences page. A step that does not do what the
// user asked is noted as broken; with `strict` it also fails the test.
class Session {
 public:
  Session(player::Player& player, ScriptedMixer& mixer, bool strict)
      : player_(player), mixer_(mixer), strict_(strict) {}
  ~Session() { close(); }

  void run() {
    toolbar_ = player_.add_slider(standin::extension_window::type_toolbar, RECT{10, 10, 1036, 40});
    panel_ = player_.add_slider(standin::extension_window::type_panel, RECT{1100, 10, 1130, 480});
    check(toolbar_.trackbar != nullptr, "toolbar");
    check(panel_.trackbar != nullptr, "panel");
    drag_to(300, "drag");
    check(hears_host_thread(650), "host report from its thread");

    standin::MenuItems& menu = player_.commands();
    const int before = position();
    menu.perform(volume_up);
    check(position() == before + 15 && follows(), "volume up");
    menu.perform(volume_mute);
    menu.perform(volume_mute);
    check(position() == before + 15 && follows(), "mute and back");

    check(player_.open_page() != nullptr, "preferences page");
    choose(device_list, 1);
    check(stored("mixer_id") == 1, "mixer chosen");
    drag_to(600, "drag on the mixer");
    choose(control_list, 1);
    check(stored("mixer_id") == 1 && stored("mixer_control") == 1, "source line chosen");
    drag_to(400, "drag on the source line");
    choose(device_list, 0);
    check(stored("mixer_id") == 0, "back to the player's volume");
    drag_to(700, "drag after the mixer");
    player_.close_page();
  }

  // Once failures have stopped, a slider that exists still moves the volume
  // in use, and every slider hears the host's next report from a thread of
  // its own: one that failed to reach a slider must not leave it stale for
  // good. The thumb need not land on the level: a trackbar that could not
  // be subclassed pages towards the press instead.
  std::string live_slider() {
    if (toolbar_.trackbar == nullptr) return "no slider";
    const int was = position();
    drag(was < 500 ? 800 : 200);
    if (position() == was || !follows()) return "STUCK";
    // With a mixer chosen, the host's own volume moves no slider.
    if (stored("mixer_id") != 0) return "moves volume";
    return hears_host_thread(position() < 500 ? 900 : 100) ? "moves volume" : "STALE";
  }

  // The user closes everything; the classes still registered afterwards.
  std::vector<std::string> close() {
    if (!player_.component.loaded()) return {};
    player_.close_windows();
    toolbar_ = panel_ = player::Slider();
    // The mixer's window stays while a mixer is in use.
    const bool mixer = stored("mixer_id") != 0;
    std::vector<std::string> registered;
    for (const char* name : class_names) {
      WNDCLASSEXA description = {sizeof description};
      if (name == class_names[2] && mixer) continue;
      if (GetClassInfoExA(player_.module(), name, &description)) registered.push_back(name);
    }
    return registered;
  }

  const std::vector<std::string>& broken() const { return broken_; }

 private:
  void check(bool ok, const char* step) {
    if (ok) return;
    broken_.push_back(step);
    if (strict_) ADD_FAILURE() << "step failed: " << step;
  }

  int position() const { return toolbar_.trackbar ? player::trackbar_pos(toolbar_.trackbar) : -1; }
  int stored(const char* name) { return player_.stored()[name]; }

  // The volume in use holds what the toolbar shows, and the panel shows it too.
  bool follows() {
    const int level = position();
    if (level < 0) return false;
    if (panel_.trackbar && panel_.level() != level) return false;
    const int device = stored("mixer_id");
    if (device == 0) return player_.host.volume() == dwx::level_to_hdb(level);
    return mixer_.value_of(control_id()) == 65535u * static_cast<DWORD>(level) / 1000;
  }

  // The host reports a new volume on a thread of its own; the sliders, on
  // this thread, hear of it by a notification, and show the level.
  bool hears_host_thread(int level) {
    std::thread([this, level] { player_.host.change_volume(dwx::level_to_hdb(level)); }).join();
    player::pump();
    return position() == level && follows();
  }

  void drag_to(int level, const char* step) {
    if (toolbar_.trackbar == nullptr) return check(false, step);
    drag(level);
    check(abs(position() - level) <= 1 && follows(), step);
  }

  void drag(int level) {
    player::drag(toolbar_.trackbar, level);
    mixer_tells_of_change();
  }

  // A system mixer tells every handle open on it of a change, the
  // component's callback window among them.
  void mixer_tells_of_change() {
    if (stored("mixer_id") == 0 || mixer_.callback_window() == nullptr) return;
    SendMessageW(mixer_.callback_window(), MM_MIXM_CONTROL_CHANGE,
                 reinterpret_cast<WPARAM>(mixer_.handle_of(0)), control_id());
  }
  // The scripted device's speaker volume is control 100, its source line's 101.
  DWORD control_id() { return 100 + static_cast<DWORD>(stored("mixer_control")); }

  // Only entries the list has can be picked.
  void choose(int list, int index) {
    if (!player_.choose(list, index)) check(false, "entry to choose");
  }

  player::Player& player_;
  ScriptedMixer& mixer_;
  const bool strict_;
  player::Slider toolbar_, panel_;
  std::vector<std::string> broken_;
};

struct RunResult {
  std::vector<std::pair<testing_support::CallSite, unsigned>> sites;  // while it could fail
  std::vector<InjectedFault> faults;
  // "level|text", by the start (the queue of what came before it) and by the
  // session, with the failures made in each.
  std::vector<std::string> notices_at_start, notices;
  std::vector<InjectedFault> faults_at_start;
  std::vector<std::string> broken;  // steps that did not work while it lasted
  std::string live_slider;          // once it stopped
  std::vector<std::string> broken_after;
  std::vector<std::string> classes_left;
  size_t live_blocks = 0;
};

// Load, start, a session with the plan armed, then with nothing failing the
// live slider once more and a second whole session; stop and unload.
RunResult run_once(const FaultPlan* plan) {
  RunResult result;
  player::Player player;
  if (!player.load()) {
    ADD_FAILURE() << player.error();
    return result;
  }
  {
    // The mixer stands in for winmm below the injector, and both see the
    // unload: Wine's own mixer hands out a few hundred mixer handles in a
    // process's life, fewer than the runs open, and what the unload frees
    // counts.
    ScriptedMixer mixer(player.module());
    mixer.devices = {ScriptedMixer::device(L"Out: scripted"), ScriptedMixer::device(L"In")};
    mixer.devices[1].speakers.query_result = MIXERR_INVALLINE;  // as Wine's "In: default"
    mixer.record_calls = false;
    FaultInjector injector(player.module());
    EXPECT_TRUE(mixer.applied());
    EXPECT_TRUE(injector.applied());
    if (plan) injector.arm(*plan);
    // The player starts with a device that cannot be opened: the first
    // command, before the host is ready, opens it, falls back, and queues
    // the error that the start prints.
    player.component.read_config(testing_support::BlobBuilder().record("mixer_id", 2));
    player.commands().perform(volume_up);
    player.start();
    result.faults_at_start = injector.faults();
    result.notices_at_start = player.console(false);
    player.host.clear_records();
    {
      Session faulty(player, mixer, plan == nullptr);
      faulty.run();
      injector.disarm();
      result.sites = injector.sites();
      result.notices = player.console(false);
      player.host.clear_records();
      result.live_slider = faulty.live_slider();
      result.classes_left = faulty.close();
      result.broken = faulty.broken();
    }
    Session again(player, mixer, true);
    again.run();
    for (const std::string& name : again.close())
      result.classes_left.push_back(name);
    result.broken_after = again.broken();
    EXPECT_TRUE(player.host.console_lines().empty())
        << "a session with nothing failing reports nothing";
    player.close();
    EXPECT_TRUE(player.message_boxes.calls.empty());
    result.faults = injector.faults();
    result.faults.erase(
        result.faults.begin(),
        result.faults.begin() + static_cast<ptrdiff_t>(result.faults_at_start.size()));
    result.live_blocks = injector.live_blocks();
  }
  return result;
}

std::string joined(const std::vector<std::string>& parts, const char* separator = ", ") {
  std::string text;
  for (const std::string& part : parts)
    text += (text.empty() ? "" : separator) + part;
  return text;
}

// What the start prints when nothing fails: the queued error of the device
// that could not be opened.
const std::string queued_at_start =
    "3|mixerGetLineInfo failed to enumerate master volume control - ";

// The notices printed while `faults` were made must be those their failures
// call for, each at least once, and no others but `also`.
std::string check_notices(const std::vector<std::string>& lines,
                          const std::vector<InjectedFault>& faults, const std::string& also = "") {
  if (!faults.empty() && testing_support::is_heap(faults[0].site.import)) {
    return lines.empty() ? "none" : joined(lines);  // anything may come out short
  }
  std::vector<std::string> expected;
  for (const InjectedFault& fault : faults) {
    if (const char* notice = notice_for(fault)) expected.push_back(notice);
  }
  auto starts = [](const std::string& line, const std::string& notice) {
    return !notice.empty() && line.rfind(notice, 0) == 0;
  };
  for (const std::string& notice : expected) {
    bool seen = false;
    for (const std::string& line : lines)
      seen = seen || starts(line, notice);
    EXPECT_TRUE(seen) << "missing: " << notice;
  }
  for (const std::string& line : lines) {
    bool allowed = starts(line, also);
    for (const std::string& notice : expected)
      allowed = allowed || starts(line, notice);
    EXPECT_TRUE(allowed) << "unexpected notice: " << line;
  }
  if (faults.empty()) return "";
  return expected.empty() && lines.empty() ? "none (as it should)"
                                           : "\"" + joined(expected, "\", \"") + "\"";
}

std::vector<std::string> grown(const ProcessCounters& before, const ProcessCounters& after) {
  std::vector<std::string> grown;
  if (after.kernel_handles > before.kernel_handles) grown.push_back("handles");
  if (after.user_objects > before.user_objects) grown.push_back("windows");
  if (after.gdi_objects > before.gdi_objects) grown.push_back("GDI");
  if (after.committed_bytes > before.committed_bytes + 64 * 1024) grown.push_back("memory");
  return grown;
}

// Sites the short form fails: the first call, the last one, and every call
// from the first on; the long form every single call and every call from
// each one on.
std::vector<FaultPlan> plans_for(const testing_support::CallSite& site, unsigned calls, bool full) {
  std::vector<FaultPlan> plans = {{site, 1, 1}};
  if (calls > 1) {
    plans.push_back({site, calls, 1});
    plans.push_back({site, 1, 0});
  }
  if (!full) return plans;
  for (unsigned nth = 2; nth < calls; ++nth) {
    plans.push_back({site, nth, 1});
    plans.push_back({site, nth, 0});
  }
  plans.push_back({site, calls, 0});
  return plans;
}

std::string call_label(const FaultPlan& plan) {
  const std::string nth = std::to_string(plan.first);
  return plan.count == 0 ? "#" + nth + " on" : "#" + nth;
}

// One failing run, checked; its line of the table. `counters` are the
// process's when it starts, and when it ends; `reached` gains the sites the
// run reached.
std::string fail_and_check(const FaultPlan& plan, ProcessCounters& counters, int& runs,
                           std::set<testing_support::CallSite>& reached) {
  ProcessCounters before = counters;
  const RunResult run = run_once(&plan);
  for (const auto& [site, calls] : run.sites)
    reached.insert(site);
  ProcessCounters after = testing_support::read_process_counters();
  ++runs;
  // The system fills some caches the first time a path is taken (Wine's
  // trackbar, pressed while not subclassed, keeps a DC): a leak grows again
  // when the run is repeated, a cache does not.
  if (!grown(before, after).empty()) {
    before = after;
    run_once(&plan);
    after = testing_support::read_process_counters();
    ++runs;
  }
  counters = after;

  std::vector<InjectedFault> faults = run.faults_at_start;
  faults.insert(faults.end(), run.faults.begin(), run.faults.end());
  EXPECT_FALSE(faults.empty()) << "the planned call was made";
  const std::string at_start =
      check_notices(run.notices_at_start, run.faults_at_start, queued_at_start);
  const std::string later = check_notices(run.notices, run.faults);
  std::vector<std::string> leaks = grown(before, after);
  if (run.live_blocks != 0) leaks.push_back(std::to_string(run.live_blocks) + " heap blocks");
  const std::string leaked = leaks.empty() ? "none" : joined(leaks);
  EXPECT_EQ("none", leaked) << describe(before) << " -> " << describe(after);
  EXPECT_TRUE(run.broken_after.empty()) << joined(run.broken_after);
  EXPECT_TRUE(run.live_slider == "moves volume" || run.live_slider == "no slider")
      << run.live_slider;
  EXPECT_TRUE(run.classes_left.empty()) << joined(run.classes_left);

  std::vector<std::string> failed;
  for (const InjectedFault& fault : faults) {
    if (failed.size() == 3) {
      failed.push_back("... " + std::to_string(faults.size()) + " calls");
      break;
    }
    failed.push_back(fault.what);
  }
  char line[1024];
  snprintf(line, sizeof line, "%-24s %08x %-6s %-40s %-62s %-30s %-12s %s",
           testing_support::name_of(plan.site.import), plan.site.offset, call_label(plan).c_str(),
           joined(failed).c_str(),
           (at_start.empty() ? later
            : later.empty()  ? at_start
                             : at_start + " / " + later)
               .c_str(),
           run.broken.empty() ? "nothing" : joined(run.broken).c_str(),
           (run.live_slider + (run.broken_after.empty() ? ", works" : ", STUCK")).c_str(),
           leaked.c_str());
  return line;
}

// The session learned clean with utf8api's text form, then each site not
// swept before failing in turn.
void sweep(bool full, const char* only, std::set<testing_support::CallSite>& swept,
           std::set<testing_support::CallSite>& reached, int& runs) {
  // A second clean run must make the same calls, so that a call's number
  // means the same thing in every run; it also warms up what the first
  // windows of a process bring along.
  const RunResult learned = run_once(nullptr);
  EXPECT_EQ(std::vector<std::string>{queued_at_start}, learned.notices_at_start);
  EXPECT_TRUE(learned.notices.empty());
  EXPECT_EQ("moves volume", learned.live_slider);
  EXPECT_TRUE(learned.classes_left.empty());
  ASSERT_TRUE(learned.broken.empty() && learned.broken_after.empty())
      << "the session must work with nothing failing";
  const RunResult again = run_once(nullptr);
  ASSERT_EQ(learned.sites, again.sites) << "the session must make the same calls every time";
  EXPECT_EQ(0u, again.live_blocks);

  // Each run starts where the one before ended.
  ProcessCounters counters = testing_support::read_process_counters();
  for (const auto& [site, calls] : learned.sites) {
    if (!swept.insert(site).second) continue;
    for (const FaultPlan& plan : plans_for(site, calls, full)) {
      char offset[16];
      snprintf(offset, sizeof offset, "%08x", site.offset);
      current_row = std::string(testing_support::name_of(site.import)) + " " + offset + " " +
                    call_label(plan);
      if (only != nullptr && current_row.find(only) == std::string::npos) continue;
      SCOPED_TRACE(current_row);
      printf("%s\n", fail_and_check(plan, counters, runs, reached).c_str());
      fflush(stdout);
    }
  }
}

TEST(FaultInjection, EveryCallSiteFailsInTurn) {
  ASSERT_NE(nullptr, player::shared_container());
  SetUnhandledExceptionFilter(name_the_crash);
  const bool full = getenv("DWX_FAULTS_FULL") != nullptr;
  const char* only = getenv("DWX_FAULTS_ONLY");  // e.g. "uCreateWindowEx 00005d49 #2"
  const auto started = std::chrono::steady_clock::now();

  printf("%-24s %-8s %-6s %-40s %-62s %-30s %-12s %s\n", "import", "site", "call", "failed",
         "notice", "broken while failing", "afterwards", "leaks");
  std::set<testing_support::CallSite> swept, reached;
  int runs = 0;
  // The page lists names in the text form utf8api chooses: the ANSI form's
  // own sites come second.
  for (int unicode : {1, 0}) {
    SCOPED_TRACE(unicode ? "wide text" : "ANSI text");
    utf8api_set_unicode(unicode);
    sweep(full, only, swept, reached, runs);
  }
  utf8api_set_unicode(-1);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  printf("%u call sites, %d failing runs, %.1f s\n", static_cast<unsigned>(swept.size()), runs,
         seconds);
  // Reached only once another call had failed: never learned, so never failed.
  std::string unswept;
  for (const testing_support::CallSite& site : reached) {
    if (swept.count(site) != 0) continue;
    char offset[16];
    snprintf(offset, sizeof offset, " %08x", site.offset);
    unswept += (unswept.empty() ? "" : ", ") +
               (testing_support::name_of(site.import) + std::string(offset));
  }
  printf("sites reached only after a failure, never failed: %s\n",
         unswept.empty() ? "none" : unswept.c_str());
}

}  // namespace
