// Placing the component's sliders.
#include "shell/dock_set.h"

#include "shell/screen.h"

namespace shell {

namespace {

// Sizes at 96 DPI.
constexpr int strip_height = 30, side_width = 56, toolbar_length = 220;
constexpr SIZE frame_size[kinds] = {{260, 70}, {90, 280}};
constexpr POINT frame_position[kinds] = {{860, 60}, {860, 160}};

bool empty_rect(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

}  // namespace

bool DockSet::create(HWND main_window, const ShellSettings& settings, int dpi) {
  dpi_ = dpi;
  strip_ = std::make_unique<Dock>(Dock::Direction::across, toolbar_length, dpi);
  side_ = std::make_unique<Dock>(Dock::Direction::down, 0, dpi);
  const RECT none = {};
  bool made = strip_->create(main_window, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, L"", none) &&
              side_->create(main_window, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, L"", none);
  for (SliderKind kind : {SliderKind::toolbar, SliderKind::panel}) {
    const int i = index(kind);
    RECT rect = settings.sliders[i].frame;
    if (empty_rect(rect)) {
      rect = RECT{frame_position[i].x, frame_position[i].y,
                  frame_position[i].x + scaled(frame_size[i].cx, dpi),
                  frame_position[i].y + scaled(frame_size[i].cy, dpi)};
    }
    floating_[i] = std::make_unique<Dock>(
        kind == SliderKind::toolbar ? Dock::Direction::across : Dock::Direction::down,
        toolbar_length, dpi);
    made = made &&
           floating_[i]->create(
               main_window, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN,
               WS_EX_TOOLWINDOW,
               kind == SliderKind::toolbar ? L"Volume control" : L"Volume control (vertical)",
               fit_on_screen(rect));
    if (!made) continue;
    floating_[i]->on_close = [this, kind] { place(kind, Placement::hidden); };
    // Kept on a monitor of another DPI than the main window's.
    floating_[i]->set_dpi(dpi_of(floating_[i]->container()));
  }
  return made;
}

void DockSet::place_as(const ShellSettings& settings) {
  for (SliderKind kind : {SliderKind::toolbar, SliderKind::panel}) {
    place(kind, settings.saved ? settings.sliders[index(kind)].placement : Placement::docked);
  }
}

void DockSet::keep_in(ShellSettings* settings) const {
  for (SliderKind kind : {SliderKind::toolbar, SliderKind::panel}) {
    SliderSettings& slider = settings->sliders[index(kind)];
    slider.placement = placement(kind);
    GetWindowRect(floating_[index(kind)]->container(), &slider.frame);
  }
}

standin::ExtensionWindowView& DockSet::object(SliderKind kind) {
  return kind == SliderKind::toolbar ? session_.toolbar() : session_.panel();
}

Dock& DockSet::dock(SliderKind kind, Placement where) {
  if (where == Placement::floating) return *floating_[index(kind)];
  return kind == SliderKind::toolbar ? *strip_ : *side_;
}

HWND DockSet::extension_window(SliderKind kind) {
  standin::ExtensionWindowView& window = object(kind);
  return window ? window.window() : nullptr;
}

bool DockSet::place(SliderKind kind, Placement where) {
  standin::ExtensionWindowView& window = object(kind);
  if (!window) return false;
  bool made = true;
  if (where == placement(kind) && (where == Placement::hidden || extension_window(kind))) {
    // Already there. Moving a window to the dock that holds it would have
    // the component tell that dock it left.
  } else if (where == Placement::hidden) {
    window.destroy();
  } else if (dock(kind, where).attach(window) == nullptr) {
    where = Placement::hidden;
    made = false;
  }
  placement_[index(kind)] = where;
  for (Dock* each : {strip_.get(), side_.get(), floating_[0].get(), floating_[1].get()}) {
    each->sync();
  }
  show_frames();
  if (placed) placed(kind, where);
  return made;
}

void DockSet::show_frames() {
  for (const auto& frame : floating_) {
    ShowWindow(frame->container(), frame->empty() ? SW_HIDE : SW_SHOWNA);
  }
}

RECT DockSet::layout(const RECT& area) {
  const int strip = scaled(strip_height, dpi_), side = scaled(side_width, dpi_);
  MoveWindow(strip_->container(), area.left, area.top, area.right - area.left, strip, TRUE);
  MoveWindow(side_->container(), area.right - side, area.top + strip, side,
             area.bottom - area.top - strip, TRUE);
  return RECT{area.left, area.top + strip, area.right - side, area.bottom};
}

void DockSet::set_dpi(int dpi) {
  dpi_ = dpi;
  strip_->set_dpi(dpi);
  side_->set_dpi(dpi);
}

}  // namespace shell
