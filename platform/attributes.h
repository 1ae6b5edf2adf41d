// Extended attributes of a copied file: what `cp -a` keeps besides content, date, owner and bits.
// The `user.` namespace always; the ACLs (system.posix_acl_access) only in a run as root, since
// an ACL can give rights to others that the user may not mean to pass on to the target. Other
// namespaces (security., trusted.) belong to the system and are never copied.
//
// Any thread; works on open descriptors only, so nothing is looked up by name.
#ifndef ZARNOFT_PLATFORM_ATTRIBUTES_H_
#define ZARNOFT_PLATFORM_ATTRIBUTES_H_

#include <string_view>

#include "platform/status.h"

namespace zarnoft {

// Whether an attribute of this name goes with a copy (`als_root`: the process is root).
bool AttributKopieren(std::string_view name, bool als_root);

// Copies the attributes that go with a copy from the file open at `von` to the one open at `nach`.
// A source whose file system has no attributes has none to copy (Ok). Returns the first failure,
// ENOTSUP/EOPNOTSUPP where the target cannot hold them; the rest is still copied.
Status AttributeKopieren(int von, int nach);

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_ATTRIBUTES_H_
