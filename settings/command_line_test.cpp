#include "settings/command_line.h"

#include <gtest/gtest.h>

namespace zarnoft {
namespace {

TEST(EditorAufruf, HelpAndVersionEndTheProgramAnythingElseOpensTheWindow) {
  const char* hilfe[] = {"zarnoft", "--help"};
  EditorAufruf a = EditorAufrufLesen(2, hilfe);
  EXPECT_TRUE(a.beenden);
  EXPECT_EQ(a.text, EditorHilfe());

  const char* version[] = {"zarnoft", "--version"};
  a = EditorAufrufLesen(2, version);
  EXPECT_TRUE(a.beenden);
  EXPECT_EQ(a.text.rfind("zarnoft 1.0.5.57 (", 0), 0u) << a.text;

  // A collection, the word nil, Qt's own options, and --help after a collection: the window.
  const char* fenster[][3] = {{"zarnoft", "Aufgaben.syc", nullptr},
                              {"zarnoft", "nil", nullptr},
                              {"zarnoft", "-platform", "offscreen"},
                              {"zarnoft", "a.syc", "--help"}};
  for (const auto& args : fenster) {
    EXPECT_FALSE(EditorAufrufLesen(args[2] ? 3 : 2, args).beenden) << args[1];
  }
  const char* nichts[] = {"zarnoft"};
  EXPECT_FALSE(EditorAufrufLesen(1, nichts).beenden);
}

TEST(EditorAufruf, DoubleDashMakesTheNextArgumentACollection) {
  const char* hilfe[] = {"zarnoft", "--", "--help"};
  EXPECT_FALSE(EditorAufrufLesen(3, hilfe).beenden);
  EXPECT_EQ(EditorArgumente(3, hilfe), std::vector<std::string>{"--help"});
  const char* zwei[] = {"zarnoft", "--", "--"};
  EXPECT_EQ(EditorArgumente(3, zwei), std::vector<std::string>{"--"});
  const char* ohne[] = {"zarnoft", "a.syc", "--"};
  EXPECT_EQ(EditorArgumente(3, ohne), (std::vector<std::string>{"a.syc", "--"}));
  const char* nichts[] = {"zarnoft"};
  EXPECT_TRUE(EditorArgumente(1, nichts).empty());
}

}  // namespace
}  // namespace zarnoft
