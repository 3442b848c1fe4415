// The bus state as text, one record per line, for the daemon's state folder:
//   velmora-simbus-state 1
//   driver version=2.14 rate=48000 streaming=0 install-flags=0
//   setting KEY NAME VALUE
//   unit serial=N high=N model=studio protocol=N firmware=N on-bus=1 node=1 accepts=1111
//        locks=0000 (S/PDIF, ADAT 1, ADAT 2, wordclock) software-id=N halted=0 (in the boot
//        loader) no-application=0 (a program write was cut off; the last three may be absent)
//   coefficients SERIAL INDEX=VALUE...
//   flash SERIAL INDEX=VALUE...        (what the unit last stored; absent before the first store)
#include <array>
#include <map>
#include <sstream>

#include "platform/number_text.h"
#include "simbus/sim_bus.h"
#include "simbus/sim_bus_internal.h"

namespace simbus {

namespace {

constexpr char kMagic[] = "velmora-simbus-state";
constexpr uint32_t kFormatVersion = 1;

std::optional<uint32_t> parseNumber(std::string_view text) {
  return platform::parseUnsigned32(text);
}

// "key=value" words of a record.
using Fields = std::map<std::string, std::string, std::less<>>;

bool splitFields(std::istringstream& words, Fields& fields) {
  std::string word;
  while (words >> word) {
    const size_t eq = word.find('=');
    if (eq == std::string::npos || eq == 0) return false;
    fields[word.substr(0, eq)] = word.substr(eq + 1);
  }
  return true;
}

std::optional<uint32_t> numberField(const Fields& fields, std::string_view name) {
  const auto it = fields.find(name);
  if (it == fields.end()) return std::nullopt;
  return parseNumber(it->second);
}

std::optional<bool> flagField(const Fields& fields, std::string_view name) {
  const auto n = numberField(fields, name);
  if (!n || *n > 1) return std::nullopt;
  return *n == 1;
}

void writeWords(std::ostream& out, const char* record, uint32_t serial,
                const std::array<uint32_t, kCoefficientCount>& words) {
  out << record << ' ' << serial;
  for (size_t i = 0; i < kCoefficientCount; ++i) {
    if (words[i] != 0) out << ' ' << i << '=' << words[i];
  }
  out << '\n';
}

}  // namespace

std::string SimBus::saveState() const {
  std::lock_guard lock(mutex_);
  const State& s = *state_;
  std::ostringstream out;
  out << kMagic << ' ' << kFormatVersion << '\n';
  out << "driver version=" << unsigned{s.driver.versionMajor} << '.'
      << unsigned{s.driver.versionMinor} << " rate=" << s.driver.sampleRate
      << " streaming=" << (s.driver.streaming ? 1 : 0) << " install-flags=" << s.driver.installFlags
      << '\n';
  for (const auto& [key, values] : s.settings) {
    for (const auto& [name, value] : values) {
      out << "setting " << key << ' ' << name << ' ' << value << '\n';
    }
  }
  for (const auto& slot : s.units) {
    const SimUnit& u = slot->unit;
    const AcceptedTransfers& a = u.accepts;
    out << "unit serial=" << u.serialLow() << " high=" << u.serialHigh()
        << " model=" << lower(modelName(u.model())) << " protocol=" << u.protocol()
        << " firmware=" << u.firmware() << " on-bus=" << (slot->onBus ? 1 : 0)
        << " node=" << (slot->nodeEnabled ? 1 : 0) << " accepts=" << (a.blockRead ? 1 : 0)
        << (a.quadletRead ? 1 : 0) << (a.blockWrite ? 1 : 0) << (a.quadletWrite ? 1 : 0)
        << " locks=";
    for (SyncInput input :
         {SyncInput::Spdif, SyncInput::Adat1, SyncInput::Adat2, SyncInput::Wordclock}) {
      out << (u.locked(input) ? 1 : 0);
    }
    out << " software-id=" << u.softwareId() << " halted=" << (u.bootloader().halted() ? 1 : 0)
        << " no-application=" << (u.bootloader().applicationMissing() ? 1 : 0);
    out << '\n';
    writeWords(out, "coefficients", u.serialLow(), u.coefficients());
    if (u.flash()) writeWords(out, "flash", u.serialLow(), *u.flash());
  }
  return out.str();
}

bool SimBus::loadState(const std::string& text, std::string* error) {
  auto fail = [&](size_t line, const std::string& why) {
    if (error) *error = "line " + std::to_string(line) + ": " + why;
    return false;
  };
  auto fresh = std::make_unique<State>();
  std::istringstream lines(text);
  std::string line;
  size_t number = 0;
  std::map<uint32_t, UnitSlot*> bySerial;
  while (std::getline(lines, line)) {
    ++number;
    std::istringstream words(line);
    std::string kind;
    if (!(words >> kind)) continue;
    if (number == 1) {
      std::string version;
      if (kind != kMagic || !(words >> version) || parseNumber(version) != kFormatVersion) {
        return fail(number, "not a simulated bus state of this version");
      }
      continue;
    }
    if (kind == "driver") {
      Fields f;
      if (!splitFields(words, f)) return fail(number, "malformed driver record");
      const auto rate = numberField(f, "rate");
      const auto streaming = flagField(f, "streaming");
      const auto flags = numberField(f, "install-flags");
      const auto version = f.find("version");
      if (!rate || (*rate != 0 && !isDriverRate(*rate)) || !streaming || !flags ||
          version == f.end()) {
        return fail(number, "malformed driver record");
      }
      const size_t dot = version->second.find('.');
      const auto major = parseNumber(version->second.substr(0, dot));
      const auto minor =
          dot == std::string::npos ? std::nullopt : parseNumber(version->second.substr(dot + 1));
      if (!major || !minor || *major > 255 || *minor > 255) {
        return fail(number, "malformed driver version");
      }
      fresh->driver.versionMajor = static_cast<uint8_t>(*major);
      fresh->driver.versionMinor = static_cast<uint8_t>(*minor);
      fresh->driver.sampleRate = *rate;
      fresh->driver.streaming = *streaming;
      fresh->driver.installFlags = *flags;
    } else if (kind == "setting") {
      std::string key, name, value, extra;
      if (!(words >> key >> name >> value) || (words >> extra) || !parseNumber(value)) {
        return fail(number, "malformed setting");
      }
      fresh->settings[lower(key)][lower(name)] = *parseNumber(value);
    } else if (kind == "unit") {
      Fields f;
      if (!splitFields(words, f)) return fail(number, "malformed unit record");
      const auto serial = numberField(f, "serial");
      const auto high = numberField(f, "high");
      const auto protocol = numberField(f, "protocol");
      const auto firmware = numberField(f, "firmware");
      const auto onBus = flagField(f, "on-bus");
      const auto node = flagField(f, "node");
      const auto model = f.count("model") ? parseModel(f.at("model")) : std::nullopt;
      const std::string accepts = f.count("accepts") ? f.at("accepts") : "";
      const std::string locks = f.count("locks") ? f.at("locks") : "0000";
      const auto softwareId =
          f.count("software-id") ? numberField(f, "software-id") : std::optional<uint32_t>(0);
      const auto halted = f.count("halted") ? flagField(f, "halted") : std::optional<bool>(false);
      const auto noApplication =
          f.count("no-application") ? flagField(f, "no-application") : std::optional<bool>(false);
      if (!serial || *serial == 0 || !high || !protocol || *protocol < 1 || *protocol > 3 ||
          !firmware || !onBus || !node || !model || accepts.size() != 4 ||
          accepts.find_first_not_of("01") != std::string::npos || locks.size() != 4 ||
          locks.find_first_not_of("01") != std::string::npos || !softwareId || !halted ||
          !noApplication) {
        return fail(number, "malformed unit record");
      }
      if (bySerial.count(*serial)) return fail(number, "unit listed twice");
      auto slot =
          std::make_unique<UnitSlot>(UnitSpec{*model, *serial, *high, *protocol, *firmware});
      slot->unit.accepts = {accepts[0] == '1', accepts[1] == '1', accepts[2] == '1',
                            accepts[3] == '1'};
      slot->nodeEnabled = *node;
      const SyncInput inputs[] = {SyncInput::Spdif, SyncInput::Adat1, SyncInput::Adat2,
                                  SyncInput::Wordclock};
      for (size_t i = 0; i < 4; ++i) slot->unit.setLocked(inputs[i], locks[i] == '1');
      if (f.count("software-id")) slot->unit.setSoftwareId(*softwareId);
      slot->unit.bootloader().setHalted(*halted);
      slot->unit.bootloader().setApplicationMissing(*noApplication);
      if (*onBus) {
        slot->onBus = true;
        slot->epoch = 1;
        slot->arrival = ++fresh->arrivals;
      }
      bySerial[*serial] = slot.get();
      fresh->units.push_back(std::move(slot));
    } else if (kind == "coefficients" || kind == "flash") {
      std::string serialText;
      if (!(words >> serialText)) return fail(number, "malformed " + kind + " record");
      const auto serial = parseNumber(serialText);
      const auto unit = serial ? bySerial.find(*serial) : bySerial.end();
      if (unit == bySerial.end()) return fail(number, kind + " of an unknown unit");
      std::array<uint32_t, kCoefficientCount> values{};
      std::string pair;
      while (words >> pair) {
        const size_t eq = pair.find('=');
        const auto index = parseNumber(pair.substr(0, eq));
        const auto value =
            eq == std::string::npos ? std::nullopt : parseNumber(pair.substr(eq + 1));
        if (!index || *index >= kCoefficientCount || !value) {
          return fail(number, "malformed coefficient " + pair);
        }
        values[*index] = *value;
      }
      SimUnit& target = unit->second->unit;
      if (kind == "flash") {
        target.setFlash(values);
      } else {
        for (size_t i = 0; i < kCoefficientCount; ++i) target.setCoefficient(i, values[i]);
      }
    } else {
      return fail(number, "unknown record " + kind);
    }
  }
  if (number == 0) return fail(1, "empty state");

  std::unique_lock lock(mutex_);
  // The known settings keys always exist, whatever the file held.
  fresh->settings[lower(kStudioSettingsKey)];
  fresh->settings[lower(kCompactSettingsKey)];
  fresh->subscribers = std::move(state_->subscribers);
  fresh->nextSubscriber = state_->nextSubscriber;
  fresh->nextHandle = state_->nextHandle;
  fresh->generation = state_->generation + 1;
  fresh->version = state_->version + 1;
  fresh->changed = true;
  state_ = std::move(fresh);
  notify(lock);
  return true;
}

}  // namespace simbus
