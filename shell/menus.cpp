// The shell's menus and keys.
#include "shell/menus.h"

#include "shell/text.h"

namespace shell {

namespace {

constexpr UINT first_id = 100;

// The player's default key bindings for the component's commands, by command GUID.
struct Binding {
  GUID command;
  BYTE modifiers;
  WORD key;
  const char* label;
};
const Binding bindings[] = {
    {{0x09AAFA8B, 0x01D0, 0x40FC, {0xA5, 0x96, 0xCB, 0xF0, 0xED, 0xA4, 0x60, 0x3F}},
     FCONTROL,
     VK_UP,
     "Ctrl+Up"},
    {{0xEAA316FE, 0x0841, 0x40DA, {0xBD, 0x04, 0xF4, 0x97, 0x54, 0xA2, 0x48, 0x1A}},
     FCONTROL,
     VK_DOWN,
     "Ctrl+Down"},
    {{0x41BF5822, 0x455E, 0x4F97, {0x9D, 0x82, 0xE5, 0xA6, 0x36, 0xB0, 0xF5, 0x19}},
     FCONTROL,
     'M',
     "Ctrl+M"},
};

const Binding* binding_of(const Command& command) {
  for (const Binding& binding : bindings) {
    if (IsEqualGUID(binding.command, command.guid)) return &binding;
  }
  return nullptr;
}

MenuAction simple(MenuAction::What what) {
  MenuAction action;
  action.what = what;
  return action;
}

}  // namespace

Menus::Menus(ComponentSession& session) {
  bar_ = CreateMenu();
  HMENU file = CreatePopupMenu();
  add(file, simple(MenuAction::What::open), "&Open...\tCtrl+O");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  add(file, simple(MenuAction::What::preferences), "&Preferences...\tCtrl+P");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  add(file, simple(MenuAction::What::exit), "E&xit");
  AppendMenuW(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");

  HMENU playback = CreatePopupMenu();
  add(playback, simple(MenuAction::What::play), "&Play\tSpace");
  add(playback, simple(MenuAction::What::stop), "&Stop\tSpace");
  add(playback, simple(MenuAction::What::tone), "&Test tone");
  add(nullptr, simple(MenuAction::What::play_or_stop), "");
  AppendMenuW(playback, MF_SEPARATOR, 0, nullptr);
  add(playback, simple(MenuAction::What::louder), "&Louder\tCtrl+Shift+Up");
  add(playback, simple(MenuAction::What::quieter), "&Quieter\tCtrl+Shift+Down");
  AppendMenuW(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(playback), L"&Playback");

  // The component's commands, under the branch their names give.
  HMENU components = CreatePopupMenu();
  std::string branch = "Components";
  for (const Command& command : session.commands()) {
    branch = command.name.substr(0, command.name.find('/'));
    MenuAction action = simple(MenuAction::What::command);
    action.command = command.index;
    const Binding* binding = binding_of(command);
    add(components, action, command.display + (binding ? std::string("\t") + binding->label : ""));
  }
  AppendMenuW(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(components), widen(branch).c_str());

  // Each extension window under its category, with where it can be.
  for (SliderKind kind : {SliderKind::toolbar, SliderKind::panel}) {
    standin::ExtensionWindowView& object =
        kind == SliderKind::toolbar ? session.toolbar() : session.panel();
    if (!object) continue;
    standin::HostStringObject name, category;
    object.name(name);
    object.category(category);
    HMENU places = CreatePopupMenu();
    const struct {
      Placement where;
      const char* label;
    } choices[] = {{Placement::docked, "&Docked"},
                   {Placement::floating, "&Floating"},
                   {Placement::hidden, "&Hidden"}};
    for (const auto& choice : choices) {
      MenuAction action = simple(MenuAction::What::place);
      action.kind = kind;
      action.placement = choice.where;
      add(places, action, choice.label);
    }
    places_[static_cast<int>(kind)] = places;
    HMENU group = CreatePopupMenu();
    AppendMenuW(group, MF_POPUP, reinterpret_cast<UINT_PTR>(places), widen(name.text).c_str());
    AppendMenuW(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(group), widen(category.text).c_str());
  }

  HMENU help = CreatePopupMenu();
  add(help, simple(MenuAction::What::about), "&About...");
  AppendMenuW(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
  build_accelerators(session);
}

Menus::~Menus() {
  if (accelerators_ != nullptr) DestroyAcceleratorTable(accelerators_);
}

UINT Menus::add(HMENU menu, const MenuAction& action, const std::string& label) {
  const UINT id = first_id + static_cast<UINT>(actions_.size());
  actions_.push_back(action);
  if (menu != nullptr) AppendMenuW(menu, MF_STRING, id, widen(label).c_str());
  return id;
}

MenuAction Menus::action(UINT id) const {
  if (id < first_id || id - first_id >= actions_.size()) return MenuAction{};
  return actions_[id - first_id];
}

UINT Menus::command_id(unsigned index) const {
  for (size_t i = 0; i < actions_.size(); ++i) {
    if (actions_[i].what == MenuAction::What::command && actions_[i].command == index) {
      return first_id + static_cast<UINT>(i);
    }
  }
  return 0;
}

void Menus::show_placement(SliderKind kind, Placement where) {
  UINT first = 0, last = 0, chosen = 0;
  for (size_t i = 0; i < actions_.size(); ++i) {
    const MenuAction& action = actions_[i];
    if (action.what != MenuAction::What::place || action.kind != kind) continue;
    const UINT id = first_id + static_cast<UINT>(i);
    if (first == 0) first = id;
    last = id;
    if (action.placement == where) chosen = id;
  }
  HMENU places = places_[static_cast<int>(kind)];
  if (places != nullptr && chosen != 0) {
    CheckMenuRadioItem(places, first, last, chosen, MF_BYCOMMAND);
  }
}

void Menus::build_accelerators(ComponentSession& session) {
  auto id_of = [this](MenuAction::What what) {
    for (size_t i = 0; i < actions_.size(); ++i) {
      if (actions_[i].what == what) return static_cast<WORD>(first_id + i);
    }
    return WORD{0};
  };
  std::vector<ACCEL> table = {
      {FCONTROL | FVIRTKEY, 'O', id_of(MenuAction::What::open)},
      {FCONTROL | FVIRTKEY, 'P', id_of(MenuAction::What::preferences)},
      {FVIRTKEY, VK_SPACE, id_of(MenuAction::What::play_or_stop)},
      {FCONTROL | FSHIFT | FVIRTKEY, VK_UP, id_of(MenuAction::What::louder)},
      {FCONTROL | FSHIFT | FVIRTKEY, VK_DOWN, id_of(MenuAction::What::quieter)},
  };
  for (const Command& command : session.commands()) {
    if (const Binding* binding = binding_of(command)) {
      table.push_back({static_cast<BYTE>(binding->modifiers | FVIRTKEY), binding->key,
                       static_cast<WORD>(command_id(command.index))});
    }
  }
  accelerators_ = CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
}

}  // namespace shell
