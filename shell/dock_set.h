// Where the component's two sliders are: the toolbar strip, the side panel,
// a floating frame each, and which of them holds each slider.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "shell/dock.h"
#include "shell/component_session.h"
#include "shell/settings.h"

namespace shell {

class DockSet {
 public:
  explicit DockSet(ComponentSession& session) : session_(session) {}
  DockSet(const DockSet&) = delete;
  DockSet& operator=(const DockSet&) = delete;

  // Makes the strip and the side panel in `main_window`, and a floating
  // frame for each slider where `settings` last left it.
  bool create(HWND main_window, const ShellSettings& settings, int dpi);
  // Places each slider where `settings` say (docked when nothing was kept).
  void place_as(const ShellSettings& settings);
  // Writes where the sliders are into `settings`.
  void keep_in(ShellSettings* settings) const;

  // Puts the slider there; choosing where it is already changes nothing.
  // False when the component could not make its window: it is hidden then.
  bool place(SliderKind kind, Placement where);
  Placement placement(SliderKind kind) const { return placement_[index(kind)]; }
  Dock& dock(SliderKind kind, Placement where);
  // The component's window for that slider, or null while hidden.
  HWND extension_window(SliderKind kind);

  // Gives the strip the top of `area` and the side panel its right edge;
  // returns what is left.
  RECT layout(const RECT& area);
  // The main window's DPI, for the strip and the side panel.
  void set_dpi(int dpi);

  // Told after every change of placement.
  std::function<void(SliderKind, Placement)> placed;

 private:
  static int index(SliderKind kind) { return static_cast<int>(kind); }
  standin::ExtensionWindowView& object(SliderKind kind);
  void show_frames();

  ComponentSession& session_;
  int dpi_ = 96;
  std::unique_ptr<Dock> strip_, side_;
  std::unique_ptr<Dock> floating_[kinds];
  Placement placement_[kinds] = {Placement::hidden, Placement::hidden};
};

}  // namespace shell
