// The toolkit's clipboard over the desktop's: each format is a wx data format of that name.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "control_panel/toolkit/gui_window.h"

namespace velmora {

class WxClipboard : public Clipboard {
 public:
  bool open() override;
  void empty() override;
  bool isFormatAvailable(const std::string& format) override;
  bool setData(const std::string& format, const void* data, size_t bytes) override;
  size_t dataSize(const std::string& format) override;
  const void* data(const std::string& format) override;
  int close() override;

 private:
  // The block last read of each format, kept until the next read.
  std::map<std::string, std::vector<unsigned char>> read_;
  bool fetch(const std::string& format);
};

}  // namespace velmora
