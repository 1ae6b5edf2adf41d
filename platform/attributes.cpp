#include "platform/attributes.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/file_system.h"

namespace zarnoft {
namespace {

constexpr std::string_view kBenutzer = "user.";
constexpr std::string_view kZugriffsliste = "system.posix_acl_access";
// Most files have no attributes, or a few short names: one call with this buffer lists them.
constexpr size_t kNamenPuffer = 1024;

// The names of the attributes of `fd`, each ended by '\0'; false with errno on failure.
bool Namen(int fd, std::vector<char>* namen) {
  namen->resize(kNamenPuffer);
  ssize_t n = flistxattr(fd, namen->data(), namen->size());
  if (n < 0 && errno == ERANGE) {
    n = flistxattr(fd, nullptr, 0);
    if (n >= 0) {
      namen->resize(static_cast<size_t>(n));
      n = flistxattr(fd, namen->data(), namen->size());
    }
  }
  if (n < 0) return false;
  namen->resize(static_cast<size_t>(n));
  return true;
}

Status Wert(int fd, const char* name, std::vector<char>* wert) {
  const ssize_t n = fgetxattr(fd, name, nullptr, 0);
  if (n < 0) return Status::FromErrno(errno);
  wert->resize(static_cast<size_t>(n));
  const ssize_t m = fgetxattr(fd, name, wert->data(), wert->size());
  if (m < 0) return Status::FromErrno(errno);
  wert->resize(static_cast<size_t>(m));
  return Status::Ok();
}

}  // namespace

bool AttributKopieren(std::string_view name, bool als_root) {
  return name.substr(0, kBenutzer.size()) == kBenutzer || (als_root && name == kZugriffsliste);
}

Status AttributeKopieren(int von, int nach) {
  std::vector<char> namen;
  if (!Namen(von, &namen)) {
    return errno == ENOTSUP ? Status::Ok() : Status::FromErrno(errno);
  }
  const bool als_root = ProcessUid() == 0;
  Status erster;
  std::vector<char> wert;
  for (size_t i = 0; i < namen.size(); i += std::strlen(namen.data() + i) + 1) {
    const char* name = namen.data() + i;
    if (!AttributKopieren(name, als_root)) continue;
    Status s = Wert(von, name, &wert);
    if (s.ok() && fsetxattr(nach, name, wert.data(), wert.size(), 0) != 0)
      s = Status::FromErrno(errno);
    if (erster.ok()) erster = s;
  }
  return erster;
}

Status FileSystem::CopyAttributes(ReadableFile* from, WritableFile* to) {
  if (from->Descriptor() < 0 || to->Descriptor() < 0) return Status::Ok();
  return AttributeKopieren(from->Descriptor(), to->Descriptor());
}

}  // namespace zarnoft
