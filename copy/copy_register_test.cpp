#include "copy/copy_register.h"

#include <gtest/gtest.h>

#include <string>

namespace zarnoft {
namespace {

TEST(KopierRegisterTest, RefusesTheSameOrderAndItsReverseOnly) {
  KopierRegister r;
  EXPECT_TRUE(r.Eintragen("/h/a/x.txt", "/z/a/x.txt"));
  EXPECT_FALSE(r.Eintragen("/h/a/x.txt", "/z/a/x.txt"));
  EXPECT_FALSE(r.Eintragen("/z/a/x.txt", "/h/a/x.txt"));
  EXPECT_TRUE(r.Eintragen("/h/a/X.txt", "/z/a/X.txt"));  // exact texts: another file
  EXPECT_TRUE(r.Eintragen("/h/a/x.txt", "/z/b/x.txt"));  // same source, other target
  EXPECT_TRUE(r.Eintragen("/h/a/x.txt", "/h/a/x.txt V1"));
  EXPECT_FALSE(r.Eintragen("/h/a/x.txt V1", "/h/a/x.txt"));
  // Archive copies have no common directory tail; roots that contain each other neither.
  EXPECT_TRUE(r.Eintragen("/h/a.doc", "/z/a 2024-06-01.doc"));
  EXPECT_FALSE(r.Eintragen("/z/a 2024-06-01.doc", "/h/a.doc"));
  EXPECT_TRUE(r.Eintragen("/h", "/h/h"));
  EXPECT_FALSE(r.Eintragen("/h/h", "/h"));
  EXPECT_TRUE(r.Eintragen("", "/x"));
  EXPECT_FALSE(r.Eintragen("/x", ""));
}

TEST(KopierRegisterTest, StaysExactOverManyOrdersHeadsAndLongPaths) {
  KopierRegister r;
  // Many copies (the table grows), and more heads than it numbers.
  for (int i = 0; i < 30000; ++i) {
    const std::string kopf = "/w" + std::to_string(i % 5000);
    const std::string name = "/d" + std::to_string(i / 100) + "/f" + std::to_string(i);
    ASSERT_TRUE(r.Eintragen(kopf + "/h" + name, kopf + "/z" + name)) << i;
  }
  for (int i = 0; i < 30000; i += 7) {
    const std::string kopf = "/w" + std::to_string(i % 5000);
    const std::string name = "/d" + std::to_string(i / 100) + "/f" + std::to_string(i);
    ASSERT_FALSE(r.Eintragen(kopf + "/z" + name, kopf + "/h" + name)) << i;
    ASSERT_TRUE(r.Eintragen(kopf + "/z" + name, kopf + "/y" + name)) << i;
  }
  const std::string lang(70000, 'n');
  EXPECT_TRUE(r.Eintragen("/h/" + lang, "/z/" + lang));
  EXPECT_FALSE(r.Eintragen("/z/" + lang, "/h/" + lang));
}

}  // namespace
}  // namespace zarnoft
