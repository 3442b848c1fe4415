// The maker's web pages the main menu opens.
#pragma once

namespace velmora {

inline constexpr char kSupportPageAddress[] = "https://www.corvane.example/support/velmora-pro";
inline constexpr char kDownloadPageAddress[] = "https://www.corvane.example/downloads/velmora-pro";

}  // namespace velmora
