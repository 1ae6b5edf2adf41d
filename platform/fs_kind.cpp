#include "platform/fs_kind.h"

#include <sys/statfs.h>

namespace zarnoft {

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

}  // namespace zarnoft
