// What every velmoractl verb shares: argument parsing helpers, the exit codes and the error
// line format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmoractl {

enum ExitCode : int { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

// A verb's arguments after the verb itself.
using Args = std::vector<std::string>;

// Decimal or 0x-prefixed hexadecimal, 32 bits.
std::optional<uint32_t> parseNumber(std::string_view text);

// Removes "--name VALUE" from args; nullopt when absent, and `error` set when the value is
// missing.
std::optional<std::string> takeOption(Args& args, std::string_view name, std::string& error);
// Removes "--name" from args; true when it was there.
bool takeFlag(Args& args, std::string_view name);

// A JSON string literal of `text`, quotes included: valid UTF-8 is kept, control characters
// and every other byte outside ASCII are escaped (as Latin-1), so any bytes from a file or a
// unit stay valid JSON.
std::string jsonString(std::string_view text);

// "velmoractl: <message>" on standard error; returns `code`.
int fail(int code, const std::string& message);
// "0xE0000050 (KVO_STATUS_DEVICE_REMOVED)"
std::string describeStatus(uint32_t status);

}  // namespace velmoractl
