// Resources linked into the binary. Each operation stands for a Windows service:
//   findResource              FindResource + LoadResource + LockResource + SizeofResource
//   PLATFORM_EMBED_RESOURCE   a resource-script entry (TYPE NAME "file")
//
// The data is assembled in with `.incbin`, never compiled from array literals. Embed files
// with velmora_embed_resources() (cmake/EmbedResource.cmake), which writes the
// PLATFORM_EMBED_RESOURCE lines. Types and names compare case-insensitively, like Windows;
// a numeric id N (MAKEINTRESOURCE(N)) is the name "#N". Resources of every module loaded in
// the process are found, as long as the module is loaded.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// The bytes of resource `name` of `type`, or nothing when there is no such resource.
std::optional<std::span<const uint8_t>> findResource(std::string_view type, std::string_view name);

// The resource with the numeric id `id`.
std::optional<std::span<const uint8_t>> findResource(std::string_view type, uint16_t id);

namespace detail {

// Enters one embedded resource in the process's table for as long as it exists (a static of
// the module that holds the data).
class ResourceRegistration {
 public:
  ResourceRegistration(const char* type, const char* name, const uint8_t* begin,
                       const uint8_t* end);
  ~ResourceRegistration();
  ResourceRegistration(const ResourceRegistration&) = delete;
  ResourceRegistration& operator=(const ResourceRegistration&) = delete;
};

}  // namespace detail
}  // namespace platform

// Embeds the file at the absolute path `file` (a string literal) as resource `name` of `type`
// (string literals; "#105" for a numeric id). `id` is a C identifier unique within the module.
// Use at namespace scope, in a source file linked straight into an executable or shared
// library: a static library member that nothing refers to would be left out by the linker.
// The data is 16-byte aligned and followed by one zero byte not counted in its size.
// clang-format off
#define PLATFORM_EMBED_RESOURCE(id, type, name, file)                                              \
  asm(".pushsection .rodata.velmora_resource." #id ",\"a\"\n"                                      \
      ".balign 16\n"                                                                               \
      ".globl velmora_resource_" #id "_begin\n"                                                    \
      ".hidden velmora_resource_" #id "_begin\n"                                                   \
      ".globl velmora_resource_" #id "_end\n"                                                      \
      ".hidden velmora_resource_" #id "_end\n"                                                     \
      "velmora_resource_" #id "_begin:\n"                                                          \
      ".incbin \"" file "\"\n"                                                                     \
      "velmora_resource_" #id "_end:\n"                                                            \
      ".byte 0\n"                                                                                  \
      ".popsection\n");                                                                            \
  extern "C" __attribute__((visibility("hidden")))                                                 \
  const uint8_t velmora_resource_##id##_begin[];                                                   \
  extern "C" __attribute__((visibility("hidden")))                                                 \
  const uint8_t velmora_resource_##id##_end[];                                                     \
  namespace {                                                                                      \
  const ::platform::detail::ResourceRegistration velmora_resource_##id##_registration(             \
      type, name, velmora_resource_##id##_begin, velmora_resource_##id##_end);                     \
  }
// clang-format on
