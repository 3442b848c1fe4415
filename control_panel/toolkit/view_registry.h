// View classes by name, so that layout tables can name them. Classes register during static
// initialisation, before main, one registration per class:
//
//   const ViewClassRegistration kKnob("Knob", &makeView<Knob>);
//
// A static library member that nothing else refers to is left out by the linker, and with it
// its registration; the toolkit's own classes are therefore registered from one table that
// the registry refers to (standard_views.cpp).
#pragma once

namespace velmora {

class PluginGUI;
class View;
struct LayoutEntry;

using ViewFactory = View* (*)(const LayoutEntry* row, PluginGUI* owner);

// How many init() arguments a class makes sense of; with fewer or more it is left blank.
struct ArgumentCount {
  static constexpr int kAny = 1 << 16;
  int fewest = 0;
  int most = kAny;
  bool accepts(int count) const { return count >= fewest && count <= most; }
};

// Appends; the first registration of a name wins in createView.
void registerViewClass(const char* name, ViewFactory factory, ArgumentCount arguments = {});

// A new view of the row's class (exact name), or none when no class has that name.
View* createView(const LayoutEntry* row, PluginGUI* owner);
// The argument count the class of that name accepts; any count for an unknown class.
ArgumentCount argumentCountOf(const char* className);

template <class T>
View* makeView(const LayoutEntry* row, PluginGUI* owner) {
  return new T(row, owner);
}

struct ViewClassRegistration {
  ViewClassRegistration(const char* name, ViewFactory factory) { registerViewClass(name, factory); }
};

// Registers "View", "Canvas", "BitmapControl", "PButton", "Knob", "Slider", "HSlider",
// "TextBox" and "Static" (called once, during static initialisation).
void registerStandardViews();

}  // namespace velmora
