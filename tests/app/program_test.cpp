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

bool waitUntil(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + kPatience;
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(kPoll);
  }
  return done();
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
  bool terminate() {
    kill(pid_, SIGTERM);
    return waitUntil([&] { return !running(); });
  }
  int exitStatus() const { return exitStatus_; }
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
  platform::testing::ScratchFolder folder;
  DaemonProcess daemon{folder.path()};
  platform::testing::ScopedEnv dataHome{"XDG_DATA_HOME", folder / "data"};
  platform::testing::ScopedEnv configHome{"XDG_CONFIG_HOME", folder / "config"};
  std::unique_ptr<platform::testing::ScopedEnv> bus;
  std::string serial;

  void SetUp() override {
    ASSERT_NE(getenv("DISPLAY"), nullptr) << "run under run-with-xvfb";
    std::filesystem::create_directories(folder / "data");
    ASSERT_TRUE(daemon.start({"--units", "studio"})) << daemon.log();
    bus = std::make_unique<platform::testing::ScopedEnv>("VELMORA_SIMBUS", daemon.socketPath());
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

TEST_F(ProgramTest, UnplugShowsTheConnectionLostWindowAndPlugHidesIt) {
  Program program;
  ASSERT_FALSE(waitForWindow("VelmoraControl PRO").empty());
  simbus("unplug " + serial);
  EXPECT_FALSE(waitForWindow("FireWire Connection Lost").empty());
  simbus("plug studio --serial " + serial);
  EXPECT_TRUE(waitUntil([&] { return window("FireWire Connection Lost").empty(); }));
  EXPECT_TRUE(program.terminate());
}

}  // namespace
}  // namespace velmora::test
