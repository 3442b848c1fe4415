#include "platform/user_rights.h"

#include <grp.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace platform {

namespace {

constexpr const char* kAdministrativeGroups[] = {"sudo", "wheel"};

// The id of group `name`, or nothing when the system has no such group.
bool groupId(const char* name, gid_t& id) {
  std::vector<char> buffer(4096);
  group entry{};
  group* found = nullptr;
  while (getgrnam_r(name, &entry, buffer.data(), buffer.size(), &found) == ERANGE) {
    buffer.resize(buffer.size() * 2);
  }
  if (found == nullptr) return false;
  id = found->gr_gid;
  return true;
}

}  // namespace

uint32_t userIsAdministrator(bool& isAdministrator) {
  isAdministrator = false;
  if (geteuid() == 0) {
    isAdministrator = true;
    return 0;
  }
  const int count = getgroups(0, nullptr);
  if (count < 0) return static_cast<uint32_t>(errno);
  std::vector<gid_t> groups(static_cast<size_t>(count) + 1);
  const int filled = getgroups(count, groups.data());
  if (filled < 0) return static_cast<uint32_t>(errno);
  groups.resize(static_cast<size_t>(filled));
  groups.push_back(getegid());
  for (const char* name : kAdministrativeGroups) {
    gid_t id = 0;
    if (groupId(name, id) && std::find(groups.begin(), groups.end(), id) != groups.end()) {
      isAdministrator = true;
    }
  }
  return 0;
}

}  // namespace platform
