#include "platform/fs_kind.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cctype>

namespace zarnoft {
namespace {

constexpr unsigned long kFat = 0x4d44;
constexpr unsigned long kExFat = 0x2011BAB0;
// A directory whose names ext4 or f2fs compare folded (chattr +F).
constexpr long kFaltFlag = 0x40000000;  // FS_CASEFOLD_FL
// How many names the look-up tries before it gives up on a directory without letters.
constexpr int kProbeNamen = 64;

// The name with the case of its ASCII letters swapped, or "" when it has none.
std::string Vertauscht(const char* name) {
  std::string r(name);
  bool geaendert = false;
  for (char& c : r) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (std::islower(u)) {
      c = static_cast<char>(std::toupper(u));
      geaendert = true;
    } else if (std::isupper(u)) {
      c = static_cast<char>(std::tolower(u));
      geaendert = true;
    }
  }
  return geaendert ? r : std::string();
}

}  // namespace

bool DauerhafteKennungen(const std::string& path) {
  // The kernel's numbers of file systems whose inodes are made up at each mount, or whose
  // status change is not kept.
  constexpr unsigned long kOhne[] = {
      0x4d44,      // FAT (msdos, vfat)
      0x2011BAB0,  // exFAT
      0x65735546,  // FUSE (exfat-fuse, ntfs-3g)
      0x7366746e,  // NTFS (ntfs3)
      0x5346544e,  // NTFS (older driver)
      0xFF534D42,  // CIFS
      0xFE534D42,  // SMB2
      0x9660,      // ISO 9660
  };
  struct statfs st;
  if (::statfs(path.empty() ? "/" : path.c_str(), &st) != 0) return true;
  for (unsigned long f : kOhne) {
    if (static_cast<unsigned long>(st.f_type) == f) return false;
  }
  return true;
}

bool FaltetGrossKlein(const std::string& dir) {
  const std::string pfad = dir.empty() ? "/" : dir;
  struct statfs st;
  if (::statfs(pfad.c_str(), &st) != 0) return false;
  const auto typ = static_cast<unsigned long>(st.f_type);
  if (typ == kFat || typ == kExFat) return true;
  const int fd = ::open(pfad.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  long flags = 0;
  if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & kFaltFlag) != 0) {
    ::close(fd);
    return true;
  }
  // Any other: one of its names, looked up with its letters' case swapped, is the same file.
  DIR* d = ::fdopendir(fd);
  if (d == nullptr) {
    ::close(fd);
    return false;
  }
  bool faltet = false;
  int versucht = 0;
  while (const dirent* e = ::readdir(d)) {
    if (++versucht > kProbeNamen) break;
    const std::string anders = Vertauscht(e->d_name);
    if (anders.empty()) continue;
    struct stat a;
    struct stat b;
    if (::fstatat(::dirfd(d), e->d_name, &a, AT_SYMLINK_NOFOLLOW) != 0) continue;
    faltet = ::fstatat(::dirfd(d), anders.c_str(), &b, AT_SYMLINK_NOFOLLOW) == 0 &&
             a.st_ino == b.st_ino && a.st_dev == b.st_dev;
    break;
  }
  ::closedir(d);
  return faltet;
}

std::string GefalteterName(const std::string& name) {
  std::string r = name;
  for (size_t i = 0; i < r.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(r[i]);
    if (c >= 'A' && c <= 'Z') {
      r[i] = static_cast<char>(c + ('a' - 'A'));
    } else if (c == 0xC3 && i + 1 < r.size()) {
      // U+00C0 to U+00DE (but U+00D7, the multiplication sign) are the capitals of U+00E0 to
      // U+00FE: in UTF-8 the second byte differs by 0x20.
      const unsigned char n = static_cast<unsigned char>(r[i + 1]);
      if (n >= 0x80 && n <= 0x9E && n != 0x97) r[i + 1] = static_cast<char>(n + 0x20);
      ++i;
    }
  }
  return r;
}

}  // namespace zarnoft
