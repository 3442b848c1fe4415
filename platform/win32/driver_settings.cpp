#include "platform/win32/vhpd_driver.h"

namespace platform::vhpd::win32 {

namespace {

// An open key under HKEY_LOCAL_MACHINE, closed with the object.
class Key {
 public:
  Key(const std::string& path, REGSAM access) {
    error_ = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &key_);
  }
  ~Key() {
    if (error_ == ERROR_SUCCESS) RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;

  uint32_t error() const { return static_cast<uint32_t>(error_); }
  HKEY handle() const { return key_; }

 private:
  HKEY key_ = nullptr;
  LSTATUS error_;
};

}  // namespace

uint32_t openSettingsKey(const std::string& key) {
  return Key(key, KEY_READ).error();
}

uint32_t readSetting(const std::string& key, const std::string& name, uint32_t& value) {
  Key opened(key, KEY_QUERY_VALUE);
  if (opened.error() != ERROR_SUCCESS) return opened.error();
  // The type first: a value of another type, of any size, is no number of ours.
  DWORD type = 0;
  DWORD size = 0;
  LSTATUS error = RegQueryValueExA(opened.handle(), name.c_str(), nullptr, &type, nullptr, &size);
  if (error != ERROR_SUCCESS) return static_cast<uint32_t>(error);
  DWORD data = 0;
  if (type != REG_DWORD || size != sizeof data) return win_error::InvalidParameter;
  error = RegQueryValueExA(opened.handle(), name.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(&data), &size);
  if (error != ERROR_SUCCESS) return static_cast<uint32_t>(error);
  if (type != REG_DWORD || size != sizeof data) return win_error::InvalidParameter;
  value = data;
  return win_error::Success;
}

uint32_t writeSetting(const std::string& key, const std::string& name, uint32_t value) {
  Key opened(key, KEY_SET_VALUE);
  if (opened.error() != ERROR_SUCCESS) return opened.error();
  const DWORD data = value;
  return static_cast<uint32_t>(RegSetValueExA(opened.handle(), name.c_str(), 0, REG_DWORD,
                                              reinterpret_cast<const BYTE*>(&data), sizeof data));
}

}  // namespace platform::vhpd::win32
