// The real VelmoraControl program against a daemon of the test's own, on the test display,
// driven from outside with xdotool as a user drives it. Real processes take real time:
// every wait polls with a bounded patience.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <thread>

#include "tests/simbus/daemon_process.h"
#include "tests/support/scratch.h"

extern char** environ;

namespace velmora::test {
namespace {

using simbus::test::DaemonProcess;

constexpr auto kPatience = std::chrono::seconds(30);
constexpr auto kPoll = std::chrono::milliseconds(100);

std::string programFolder() {
  return std::filesystem::path(simbus::test::simbusProgram()).parent_path().string();
}

// Runs a shell command; its standard output.
std::string shell(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[512];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

bool waitUntil(const std::function<bool()>& done,
               std::chrono::steady_clock::duration patience = kPatience) {
  const auto end = std::chrono::steady_clock::now() + patience;
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(kPoll);
  }
  return done();
}

// A mix file's parameter values (from byte 32, four bytes each) but for the two status lamps,
// in use (44) and sync locked (45), which follow the unit, not the user.
std::vector<std::string> mixValues(const std::string& file) {
  std::vector<std::string> values;
  for (size_t at = 32; at + 4 <= file.size(); at += 4) values.push_back(file.substr(at, 4));
  for (size_t lamp : {44u, 45u}) {
    if (lamp < values.size()) values[lamp].clear();
  }
  return values;
}

std::string contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// One started copy of the program.
class Program {
 public:
  explicit Program(std::vector<std::string> args = {}) {
    args.insert(args.begin(), programFolder() + "/VelmoraControl");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) pid_ = -1;
  }
  ~Program() {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  bool running() {
    if (exited_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      exited_ = true;
      exitStatus_ = status;
    }
    return !exited_;
  }
  // SIGTERM, as a desktop session ending does; true when it ended in time.
  bool terminate(std::chrono::steady_clock::duration patience = kPatience) {
    kill(pid_, SIGTERM);
    return waitUntil([&] { return !running(); }, patience);
  }
  int exitStatus() const { return exitStatus_; }
  pid_t pid() const { return pid_; }
  // A crash: SIGKILL, nothing runs at the end.
  void crash() {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    exited_ = true;
  }

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
  int exitStatus_ = -1;
};

class ProgramTest : public ::testing::Test {
 protected:
  platform::test::ScratchFolder folder;
  DaemonProcess daemon{folder.path()};
  platform::test::ScopedEnv dataHome{"XDG_DATA_HOME", folder / "data"};
  platform::test::ScopedEnv configHome{"XDG_CONFIG_HOME", folder / "config"};
  std::unique_ptr<platform::test::ScopedEnv> bus;
  std::string serial;

  void SetUp() override {
    ASSERT_NE(getenv("DISPLAY"), nullptr) << "run under run-with-xvfb";
    std::filesystem::create_directories(folder / "data");
    ASSERT_TRUE(daemon.start({"--units", "studio"})) << daemon.log();
    bus = std::make_unique<platform::test::ScopedEnv>("VELMORA_SIMBUS", daemon.socketPath());
    std::istringstream list(simbus("list"));
    std::string header;
    std::getline(list, header);
    list >> serial;
    ASSERT_FALSE(serial.empty());
  }

  std::string simbus(const std::string& args) {
    return shell(simbus::test::simbusProgram() + " --socket " + daemon.socketPath() + " " + args +
                 " 2>&1");
  }
  std::string inputMix() {
    std::string indices;
    for (int i = 0; i < 52; ++i) indices += " " + std::to_string(i);
    return simbus("peek " + serial + indices);
  }
  // The visible window titled exactly `title`, or "".
  static std::string window(const std::string& title) {
    std::istringstream ids(
        shell("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null"));
    std::string id;
    ids >> id;
    return id;
  }
  static std::string waitForWindow(const std::string& title) {
    std::string id;
    waitUntil([&] { return !(id = window(title)).empty(); });
    return id;
  }
  static void xdotool(const std::string& args) {
    shell("xdotool " + args + " 2>/dev/null");
    std::this_thread::sleep_for(std::chrono::milliseconds(150));  // idle passes run
  }
  // A real click at client point (x, y) of window `w`.
  static void click(const std::string& w, int x, int y) {
    xdotool("mousemove --window " + w + " " + std::to_string(x) + " " + std::to_string(y));
    xdotool("mousedown 1");
    xdotool("mouseup 1");
  }
  // A real key press in window `w`, repeated until `done` (a key can arrive before the window
  // takes the focus).
  static bool pressUntil(const std::string& w, const std::string& key,
                         const std::function<bool()>& done) {
    return waitUntil([&] {
      xdotool("mousemove --window " + w + " 10 10");
      xdotool("windowfocus " + w);
      xdotool("key " + key);
      return done();
    });
  }
  // The client width of window `w` ("" when it is gone).
  static std::string width(const std::string& w) {
    std::istringstream info(shell("xwininfo -id " + w + " 2>/dev/null"));
    for (std::string line; std::getline(info, line);) {
      if (line.find("Width:") != std::string::npos) return line.substr(line.find(':') + 2);
    }
    return "";
  }
  void whileTheLoadDialogIsOpen(const std::function<void()>& meanwhile,
                                const std::string& widthAfter,
                                const std::function<void()>& afterwards = nullptr);
  std::string defaultMixFile() {
    for (const auto& entry : std::filesystem::directory_iterator(folder / "data")) {
      if (entry.path().extension() == ".vmpro") return entry.path().string();
    }
    return "";
  }
};

TEST_F(ProgramTest, TheWindowShowsThePanelAndADragReachesTheUnit) {
  Program program;
  const std::string main = waitForWindow("VelmoraControl PRO");
  ASSERT_FALSE(main.empty()) << "no window";
  // The window shows exactly the panel velmoractl draws for the same state.
  const std::string rendered = folder / "rendered.png", shot = folder / "shot.png";
  ASSERT_EQ(
      shell(programFolder() + "/velmoractl panel render " + rendered + " >/dev/null 2>&1; echo $?"),
      "0\n");
  const std::string size = shell("identify -format %wx%h " + rendered);
  EXPECT_TRUE(waitUntil([&] {
    shell("import -window " + main + " " + shot);
    const std::string differing =
        shell("convert " + shot + " -crop " + size + "+0+0 +repage " + folder / "crop.png" +
              " && compare -metric AE " + folder / "crop.png" + " " + rendered + " null: 2>&1");
    return differing == "0";
  })) << "the window's panel differs from velmoractl panel render";

  const std::string before = inputMix();
  xdotool("mousemove --window " + main + " 50 125");
  xdotool("mousedown 1");
  xdotool("mousemove --window " + main + " 50 165");
  xdotool("mouseup 1");
  EXPECT_TRUE(waitUntil([&] { return inputMix() != before; })) << "the unit's mix is unchanged";
  EXPECT_TRUE(program.terminate());
}

TEST_F(ProgramTest, AChangeSurvivesACrashTwoSecondsLater) {
  std::string dragged;
  {
    Program program;
    const std::string main = waitForWindow("VelmoraControl PRO");
    ASSERT_FALSE(main.empty()) << "no window";
    const std::string before = inputMix();
    xdotool("mousemove --window " + main + " 50 125");
    xdotool("mousedown 1");
    xdotool("mousemove --window " + main + " 50 165");
    xdotool("mouseup 1");
    ASSERT_TRUE(waitUntil([&] { return (dragged = inputMix()) != before; }));
    ASSERT_TRUE(waitUntil([&] { return !defaultMixFile().empty(); })) << "nothing autosaved";
    program.crash();
  }
  simbus("poke " + serial + " 0=0 1=0");  // the unit forgets, the file remembers
  Program restarted;
  ASSERT_FALSE(waitForWindow("VelmoraControl PRO").empty());
  EXPECT_TRUE(waitUntil([&] { return inputMix() == dragged; })) << "the change was lost";
  EXPECT_TRUE(restarted.terminate());
}

TEST_F(ProgramTest, TabReachesAFaderArrowsMoveItOnTheUnitAndTheFocusRingShows) {
  Program program;
  const std::string main = waitForWindow("VelmoraControl PRO");
  ASSERT_FALSE(main.empty()) << "no window";
  // Defaults: input 1 at level 0.5, pan centre, both channels 16383.
  ASSERT_TRUE(waitUntil([&] {
    return simbus("peek " + serial + " 0 1").find("16383") != std::string::npos;
  })) << simbus("peek " + serial + " 0 1");
  click(main, 10, 8);  // the panel takes the keyboard
  xdotool("windowfocus " + main);
  // Input 1's fader is the 18th stop: the first tab, input 1-8's pans and links, output 1+2's
  // three controls, the second tab.
  for (int tab = 0; tab < 18; ++tab) xdotool("key Tab");
  for (int up = 0; up < 5; ++up) xdotool("key Up");
  // 0.5 + 5 steps of 0.02 = 0.6: trunc(0.6 x 32767) = 19660 on both channels.
  EXPECT_TRUE(waitUntil([&] {
    const std::string values = simbus("peek " + serial + " 0 1");
    return values.find("19660") != std::string::npos && values.find("16383") == std::string::npos;
  })) << simbus("peek " + serial + " 0 1");
  // The ring: white two pixels outside the fader's rectangle (left 40, top 64), black inside.
  const std::string shot = folder / "ring.png";
  xdotool("mousemove --window " + main + " 700 390");  // the tool tip follows the pointer away
  EXPECT_TRUE(waitUntil([&] {
    shell("import -window " + main + " " + shot);
    return shell("convert " + shot + " -format '%[pixel:p{38,62}] %[pixel:p{39,63}]' info:") ==
           "srgb(255,255,255) srgb(0,0,0)";
  })) << shell("convert " + shot + " -format '%[pixel:p{38,62}] %[pixel:p{39,63}]' info:");
  EXPECT_TRUE(program.terminate());

  // At x2 the ring is two screen pixels wide, at twice the place.
  Program zoomed({"--zoom", "2"});
  const std::string big = waitForWindow("VelmoraControl PRO");
  ASSERT_FALSE(big.empty()) << "no window at x2";
  click(big, 20, 16);
  xdotool("windowfocus " + big);
  for (int tab = 0; tab < 18; ++tab) xdotool("key Tab");
  xdotool("mousemove --window " + big + " 1400 780");
  const std::string pixels = "'%[pixel:p{76,124}] %[pixel:p{77,125}] %[pixel:p{78,126}]'";
  EXPECT_TRUE(waitUntil([&] {
    shell("import -window " + big + " " + shot);
    return shell("convert " + shot + " -format " + pixels + " info:") ==
           "srgb(255,255,255) srgb(255,255,255) srgb(0,0,0)";
  })) << shell("convert " + shot + " -format " + pixels + " info:");
  EXPECT_TRUE(zoomed.terminate());
}

// The panel's own keys with real key presses: Ctrl+O opens LOAD's dialog, Ctrl+L swaps the
// layout both ways, Shift+F10 opens the main menu, whose first entry shows the About box; the
// end of the session waits for that box.
TEST_F(ProgramTest, PanelKeysOpenLoadSwapTheLayoutAndOpenTheMainMenu) {
  Program program;
  const std::string main = waitForWindow("VelmoraControl PRO");
  ASSERT_FALSE(main.empty()) << "no window";
  click(main, 10, 8);  // the panel takes the keyboard
  EXPECT_TRUE(pressUntil(main, "ctrl+o", [&] {
    return !window("Load Velmora PRO Mix file").empty();
  })) << "Ctrl+O opened no Load dialog";
  const std::string dialog = window("Load Velmora PRO Mix file");
  EXPECT_TRUE(
      pressUntil(dialog, "Escape", [&] { return window("Load Velmora PRO Mix file").empty(); }));

  // Each of these keys toggles, so each is pressed once, with the panel holding the keyboard.
  const auto pressOnce = [&](const std::string& keys) {
    xdotool("windowfocus " + main);
    xdotool("key " + keys);
  };
  pressOnce("ctrl+l");
  EXPECT_TRUE(waitUntil([&] { return width(main) == "456"; }))
      << "Ctrl+L left the panel " << width(main) << " wide";
  pressOnce("ctrl+l");
  EXPECT_TRUE(waitUntil([&] { return width(main) == "704"; }))
      << "a second Ctrl+L left the panel " << width(main) << " wide";

  const auto windowsNamed = [](const std::string& title) {
    std::istringstream ids(
        shell("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null"));
    int count = 0;
    for (std::string id; ids >> id;) ++count;
    return count;
  };
  pressOnce("shift+F10");
  xdotool("key Down Return");
  EXPECT_TRUE(waitUntil([&] { return windowsNamed("VelmoraControl PRO") == 2; }))
      << "Shift+F10, Down, Return showed no About box";

  // The end of the session while the box is open waits for it, then saves and ends.
  kill(program.pid(), SIGTERM);
  std::this_thread::sleep_for(std::chrono::seconds(2));  // idle passes inside the box's loop
  ASSERT_TRUE(program.running()) << "the program died with the About box open";
  xdotool("key Return");
  EXPECT_TRUE(waitUntil([&] { return !program.running(); })) << "the end was forgotten";
  EXPECT_EQ(program.exitStatus(), 0);
  EXPECT_FALSE(defaultMixFile().empty()) << "no default mix saved at exit";
}

TEST_F(ProgramTest, AtZoomTwoTheWindowShowsThePanelRenderedAtZoomTwo) {
  const struct {
    std::vector<std::string> args;
    const char* configuration;
  } cases[] = {{{"--zoom", "2"}, "Zoom=1\n"}, {{}, "Zoom=2\n"}};
  const std::string rendered = folder / "rendered.png", shot = folder / "shot.png";
  ASSERT_EQ(shell(programFolder() + "/velmoractl panel render --zoom 2 " + rendered +
                  " >/dev/null 2>&1; echo $?"),
            "0\n");
  const std::string size = shell("identify -format %wx%h " + rendered);
  for (const auto& c : cases) {
    std::filesystem::create_directories(folder / "config");
    std::ofstream(folder / "config/VelmoraControl PRO.conf") << c.configuration;
    Program program(c.args);
    const std::string main = waitForWindow("VelmoraControl PRO");
    ASSERT_FALSE(main.empty()) << "no window";
    EXPECT_TRUE(waitUntil([&] {
      shell("import -window " + main + " " + shot);
      const std::string differing =
          shell("convert " + shot + " -crop " + size + "+0+0 +repage " + folder / "crop.png" +
                " && compare -metric AE " + folder / "crop.png" + " " + rendered + " null: 2>&1");
      return differing == "0";
    })) << "the window's panel differs from velmoractl panel render --zoom 2 with "
        << c.configuration;
    EXPECT_TRUE(program.terminate());
  }
}

// Under a GDK scale of 2 the panel is twice its size in device pixels, sharp: GTK's scale is
// not taken as a zoom on top of its own scaling.
TEST_F(ProgramTest, UnderGdkScaleTwoThePanelIsTwiceItsSizeInDevicePixels) {
  const std::string rendered = folder / "rendered.png", shot = folder / "shot.png";
  ASSERT_EQ(shell(programFolder() + "/velmoractl panel render --zoom 2 " + rendered +
                  " >/dev/null 2>&1; echo $?"),
            "0\n");
  const std::string size = shell("identify -format %wx%h " + rendered);
  ASSERT_EQ(size, "1408x788");
  platform::test::ScopedEnv scale{"GDK_SCALE", "2"};
  Program program;
  const std::string main = waitForWindow("VelmoraControl PRO");
  ASSERT_FALSE(main.empty()) << "no window";
  EXPECT_EQ(width(main), "1408");
  EXPECT_TRUE(waitUntil([&] {
    shell("import -window " + main + " " + shot);
    const std::string differing =
        shell("convert " + shot + " -crop " + size + "+0+0 +repage " + folder / "crop.png" +
              " && compare -metric AE " + folder / "crop.png" + " " + rendered + " null: 2>&1");
    return differing == "0";
  })) << "the window's panel differs from velmoractl panel render --zoom 2";
  EXPECT_TRUE(program.terminate());
}

TEST_F(ProgramTest, ABadZoomOnTheCommandLineEndsTheProgramAtOnce) {
  for (const char* bad : {"0", "4", "x"}) {
    Program program({"--zoom", bad});
    EXPECT_TRUE(waitUntil([&] { return !program.running(); })) << bad;
    EXPECT_NE(program.exitStatus(), 0) << bad;
  }
}

TEST_F(ProgramTest, QuittingSavesTheMixAndASecondCopyIsRefusedLeavingItAlone) {
  {
    Program first;
    ASSERT_FALSE(waitForWindow("VelmoraControl PRO").empty());
    ASSERT_TRUE(first.terminate());
  }
  const std::string mix = defaultMixFile();
  ASSERT_FALSE(mix.empty()) << "quitting saved no default mix";
  const std::string saved = contents(mix);

  Program first;
  ASSERT_FALSE(waitForWindow("VelmoraControl PRO").empty());
  Program second;
  const std::string box = waitForWindow("Error");
  ASSERT_FALSE(box.empty()) << "no \"Another copy\" box";
  xdotool("mousemove --window " + box + " 10 10");
  xdotool("windowfocus " + box);
  xdotool("key Return");
  EXPECT_TRUE(waitUntil([&] { return !second.running(); }));
  EXPECT_EQ(contents(mix), saved) << "the second copy touched the default mix";
  EXPECT_TRUE(first.terminate());
}

TEST_F(ProgramTest, AUnitPluggedInAfterStartUpGetsItsSavedMix) {
  std::string dragged;
  {
    Program program;
    const std::string main = waitForWindow("VelmoraControl PRO");
    ASSERT_FALSE(main.empty()) << "no window";
    const std::string before = inputMix();
    xdotool("mousemove --window " + main + " 50 125");
    xdotool("mousedown 1");
    xdotool("mousemove --window " + main + " 50 165");
    xdotool("mouseup 1");
    ASSERT_TRUE(waitUntil([&] { return (dragged = inputMix()) != before; }));
    ASSERT_TRUE(program.terminate());
  }
  const std::string mix = defaultMixFile();
  ASSERT_FALSE(mix.empty()) << "quitting saved no default mix";
  const std::string saved = contents(mix);
  // The unit forgets its mix, in its flash too, then is switched off.
  simbus("poke " + serial + " 0=0 1=0 108=0");
  simbus("unplug " + serial);
  Program program;
  ASSERT_FALSE(waitForWindow("FireWire Connection Lost").empty());
  simbus("plug studio --serial " + serial);
  EXPECT_TRUE(waitUntil([&] { return window("FireWire Connection Lost").empty(); }))
      << "the unit was not opened";
  EXPECT_TRUE(waitUntil([&] { return inputMix() == dragged; }))
      << "the unit did not get its saved mix";
  EXPECT_TRUE(program.terminate());
  EXPECT_EQ(mixValues(contents(mix)), mixValues(saved)) << "the default mix file was written over";
}

// A mix file named on the command line is loaded with its messages: a good one reaches the
// unit, a damaged one says so in an error box and the program goes on.
TEST_F(ProgramTest, AMixFileOnTheCommandLineIsLoadedWithItsMessages) {
  const std::string velmoractl = programFolder() + "/velmoractl ";
  const std::string file = folder / "Live.vmpro", damaged = folder / "Damaged.vmpro";
  // Input 1's level reaches the unit as coefficients 0 and 1.
  const auto input1 = [&] { return simbus("peek " + serial + " 0 1"); };
  ASSERT_EQ(shell(velmoractl + "param set 62 0.25 --normalised >/dev/null 2>&1; echo $?"), "0\n");
  const std::string wanted = input1();
  ASSERT_EQ(shell(velmoractl + "mix save " + file + " >/dev/null 2>&1; echo $?"), "0\n");
  ASSERT_EQ(shell(velmoractl + "param set 62 0.75 --normalised >/dev/null 2>&1; echo $?"), "0\n");
  ASSERT_NE(input1(), wanted);
  {
    Program program({file});
    ASSERT_FALSE(waitForWindow("VelmoraControl PRO").empty());
    EXPECT_TRUE(waitUntil([&] { return input1() == wanted; }))
        << "the file did not reach the unit: " << input1() << " instead of " << wanted;
    EXPECT_TRUE(program.terminate());
  }
  std::string bytes = contents(file);
  bytes[40] ^= 1;
  std::ofstream(damaged, std::ios::binary) << bytes;
  Program program({damaged});
  const std::string box = waitForWindow("Error");
  ASSERT_FALSE(box.empty()) << "no error box for a damaged file";
  EXPECT_TRUE(pressUntil(box, "Return", [&] { return window("Error").empty(); }));
  EXPECT_FALSE(waitForWindow("VelmoraControl PRO").empty());
  EXPECT_TRUE(program.terminate());
}

// The name dialog takes text typed through the X server and pasted from a real selection with
// the middle button, filtered to letters and digits, and OK sends the name to the unit.
TEST_F(ProgramTest, TheNameDialogFiltersTypedAndPastedTextAndOkNamesTheUnit) {
  Program program;
  const std::string main = waitForWindow("VelmoraControl PRO");
  ASSERT_FALSE(main.empty()) << "no window";
  click(main, 420, 264);  // the unit's name
  std::string dialog;
  ASSERT_TRUE(waitUntil([&] {
    std::istringstream ids(shell("xdotool search --onlyvisible --name '^VelmoraControl PRO$'"));
    for (std::string id; ids >> id;) {
      if (id != main) dialog = id;
    }
    return !dialog.empty();
  })) << "no name dialog";
  xdotool("mousemove --window " + dialog + " 195 28");
  xdotool("windowfocus " + dialog);
  xdotool("type 'Live Room!'");  // replaces the selected name
  shell("printf ' 2-B' | timeout 20 xclip -selection primary >/dev/null 2>&1 &");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // xclip owns the selection
  xdotool("mousemove --window " + dialog + " 270 28");
  xdotool("click 2");
  xdotool("key Return");
  // "LiveRoom2B" in coefficients 94-97, four characters each, the first in the top byte.
  const std::string named = "1281980005\n1383034733\n843186176\n0\n";
  EXPECT_TRUE(waitUntil([&] { return simbus("peek " + serial + " 94 95 96 97") == named; }))
      << simbus("peek " + serial + " 94 95 96 97");
  EXPECT_TRUE(program.terminate());
}

TEST_F(ProgramTest, UnplugShowsTheConnectionLostWindowAndPlugHidesIt) {
  Program program;
  ASSERT_FALSE(waitForWindow("VelmoraControl PRO").empty());
  simbus("unplug " + serial);
  EXPECT_FALSE(waitForWindow("FireWire Connection Lost").empty());
  simbus("plug studio --serial " + serial);
  EXPECT_TRUE(waitUntil([&] { return window("FireWire Connection Lost").empty(); }));
  EXPECT_TRUE(program.terminate());
}

// A driver that stops answering costs one bounded wait, not one per idle pass: the window
// keeps answering clicks and ends without waiting out every request.
TEST_F(ProgramTest, ADriverThatStopsAnsweringLeavesTheWindowAnswering) {
  Program program;
  const std::string main = waitForWindow("VelmoraControl PRO");
  ASSERT_FALSE(main.empty()) << "no window";
  simbus("fault drop --kind sample-rate-get --count 20");
  std::this_thread::sleep_for(std::chrono::seconds(1));
  click(main, 174, 373);  // SHRINK
  EXPECT_TRUE(waitUntil([&] { return width(main) == "456"; }, std::chrono::seconds(12)))
      << "the window did not follow the click";
  EXPECT_TRUE(program.terminate(std::chrono::seconds(8))) << "quitting waited too long";
}

// While a dialog is open the program goes on: idle passes, layout swaps, bus changes and the
// end of the session all happen inside the dialog's loop. Opens LOAD with a real click, lets
// `meanwhile` happen, closes the dialog with Escape and checks the layout attached afterwards
// by its width; then ends the program as a session does.
void ProgramTest::whileTheLoadDialogIsOpen(const std::function<void()>& meanwhile,
                                           const std::string& widthAfter,
                                           const std::function<void()>& afterwards) {
  Program program;
  const std::string main = waitForWindow("VelmoraControl PRO");
  ASSERT_FALSE(main.empty()) << "no window";
  click(main, 170, 255);  // LOAD
  const std::string dialog = waitForWindow("Load Velmora PRO Mix file");
  ASSERT_FALSE(dialog.empty()) << "no Load dialog";
  if (meanwhile) {
    meanwhile();
    std::this_thread::sleep_for(std::chrono::seconds(3));  // passes inside the dialog's loop
    ASSERT_TRUE(program.running()) << "the program died with the dialog open";
    EXPECT_TRUE(
        pressUntil(dialog, "Escape", [&] { return window("Load Velmora PRO Mix file").empty(); }));
    EXPECT_TRUE(waitUntil([&] { return width(main) == widthAfter; }))
        << "the layout attached afterwards is " << width(main) << " wide";
    ASSERT_TRUE(program.running()) << "the program died when the dialog closed";
    if (afterwards) afterwards();
  }
  EXPECT_TRUE(program.terminate()) << "SIGTERM did not end the program";
  EXPECT_EQ(program.exitStatus(), 0);
  EXPECT_FALSE(defaultMixFile().empty()) << "no default mix saved at exit";
}

TEST_F(ProgramTest, ABandChangeWhileTheLoadDialogIsOpenSwapsTheLayoutAfterwards) {
  whileTheLoadDialogIsOpen([&] { simbus("driver --rate 192000"); }, "405");
}

TEST_F(ProgramTest, AnUnplugWhileTheLoadDialogIsOpenIsSurvived) {
  whileTheLoadDialogIsOpen(
      [&] { simbus("unplug " + serial); }, "704",
      [&] {
        EXPECT_FALSE(waitForWindow("FireWire Connection Lost").empty());
        simbus("plug studio --serial " + serial);
        EXPECT_TRUE(waitUntil([&] { return window("FireWire Connection Lost").empty(); }));
      });
}

TEST_F(ProgramTest, ASecondUnitWhileTheLoadDialogIsOpenIsSurvived) {
  whileTheLoadDialogIsOpen([&] { simbus("plug compact"); }, "704");
}

TEST_F(ProgramTest, TheEndOfTheSessionWhileTheLoadDialogIsOpenSavesTheMix) {
  whileTheLoadDialogIsOpen(nullptr, "");
}

}  // namespace
}  // namespace velmora::test
