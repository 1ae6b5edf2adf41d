#include "editor/about_texts.h"

#include <gtest/gtest.h>

#include "jobs/collection_file.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

TEST(AboutTexteTest, FixedTextsAndTheSettingsVersionOfTheStart) {
  testing::TempTree baum;
  AboutTexte t = AboutTexteErstellen(baum.Path("Main.sda"), kSammlungsFormat);
  EXPECT_EQ(t.ProductName, "Zarnoft - Editor");
  EXPECT_EQ(t.Version, "1.0.5.57");
  EXPECT_EQ(t.Engine, "1.1.5.5");
  EXPECT_EQ(t.VPrg, "1");  // no settings file
  EXPECT_EQ(t.VSyncPrg, "(Speichere mit 2)");
  EXPECT_FALSE(t.LegalNotice.empty());
  EXPECT_FALSE(t.Comments.empty());

  baum.Write("Main.sda", "[Allgemein]\nVersion=3\n");
  EXPECT_EQ(AboutTexteErstellen(baum.Path("Main.sda"), kSammlungsFormat).VPrg, "3");
}

TEST(AboutTexteTest, CollectionVersionOrNoData) {
  EXPECT_EQ(VSyncText(0), "Keine Daten geladen ");
  EXPECT_EQ(VSyncText(2), "2");
}

}  // namespace
}  // namespace zarnoft
