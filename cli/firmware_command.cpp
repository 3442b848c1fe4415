// velmoractl firmware info FILE [--json]: a firmware file described by the download library,
// through its public interface like any outside caller; velmoractl firmware history: the
// record of updates the library keeps.
#include <array>
#include <cstdio>
#include <string>
#include <utility>

#include "cli/commands.h"
#include "cli/firmware_words.h"
#include "fwdl/include/dun_fwdl.h"
#include "platform/unit_info_block.h"
#include "platform/update_history.h"

namespace velmoractl {

namespace {

// A fixed-size text field, up to its first zero byte.
template <size_t N>
std::string field(const char (&text)[N]) {
  size_t length = 0;
  while (length < N && text[length] != '\0') ++length;
  return std::string(text, length);
}

const char* modelOf(uint32_t hardware) {
  if (hardware == platform::unit_info::kModelStudio) return "Studio";
  if (hardware == platform::unit_info::kModelCompact) return "Compact";
  return "unknown";
}

}  // namespace

int firmwareInfoCommand(Args args) {
  const bool json = takeFlag(args, "--json");
  if (args.size() != 1) return fail(kExitUsage, "firmware info: name one firmware file");
  KVOFWDL_KWF_FILE_INFO info{};
  const KVOFWDL_STATUS status = KVOFWDL_GetKwfFileInfo(args[0].c_str(), &info);
  if (status != KVOFWDL_STATUS_SUCCESS) {
    return fail(kExitFailure,
                "cannot read firmware file " + args[0] + ": status " + firmwareStatusText(status));
  }
  const std::string firmware = platform::unit_info::formatFirmwareVersion(info.FirmwareVersion);
  const uint32_t vendor = uint32_t{info.NodeVendorId[0]} << 16 |
                          uint32_t{info.NodeVendorId[1]} << 8 | info.NodeVendorId[2];
  const std::string date = field(info.BuildDate);
  const std::string time = field(info.BuildTime);
  const std::string text = field(info.InfoText);
  if (json) {
    std::printf(
        "{\"fileKind\": %u, \"softwareId\": %u, \"firmware\": \"%s\", \"hardwareVersion\": %u, "
        "\"model\": \"%s\", \"buildDate\": %s, \"buildTime\": %s, \"nodeVendorId\": %u, "
        "\"infoText\": %s}\n",
        info.FileKind, info.SoftwareId, firmware.c_str(), info.CompatibleHardwareVersion,
        modelOf(info.CompatibleHardwareVersion), jsonString(date).c_str(), jsonString(time).c_str(),
        vendor, jsonString(text).c_str());
  } else {
    std::printf(
        "file kind        %u\nsoftware id      %u\nfirmware         %s\nhardware         0x%02X "
        "(Velmora PRO %s)\nbuilt            %s %s\nnode vendor id   0x%06X\ninfo text        %s\n",
        info.FileKind, info.SoftwareId, firmware.c_str(), info.CompatibleHardwareVersion,
        modelOf(info.CompatibleHardwareVersion), date.c_str(), time.c_str(), vendor, text.c_str());
  }
  return kExitOk;
}

int firmwareHistoryCommand(Args args) {
  if (!args.empty()) return fail(kExitUsage, "firmware history: unexpected argument " + args[0]);
  const std::string path = platform::updateHistoryPath();
  FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    std::printf("No firmware updates recorded (%s).\n", path.c_str());
    return kExitOk;
  }
  std::array<char, 4096> buffer{};
  for (size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0;) {
    std::fwrite(buffer.data(), 1, n, stdout);
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return fail(kExitFailure, "firmware history: cannot read " + path);
  return kExitOk;
}

}  // namespace velmoractl
