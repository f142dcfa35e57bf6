#include "document/recent_list.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using List = std::vector<std::string>;

List AddAll(const List &files) {
  List list;
  for (const std::string &f : files)
    list = WithRecent(std::move(list), f);
  return list;
}

TEST(RecentList, NewestFirstWithoutDuplicatesAndAtMostEight) {
  struct Case {
    const char *what;
    List added;
    List expected;
  };
  const Case cases[] = {
      {"newest first", {"/a.twk", "/b.twk", "/c.twk"}, {"/c.twk", "/b.twk", "/a.twk"}},
      {"reopened moves to the front",
       {"/a.twk", "/b.twk", "/c.twk", "/a.twk"},
       {"/a.twk", "/c.twk", "/b.twk"}},
      {"same name, other folder, is another file",
       {"/x/a.twk", "/y/a.twk"},
       {"/y/a.twk", "/x/a.twk"}},
      {"the oldest drop off beyond eight",
       {"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8", "/9", "/10"},
       {"/10", "/9", "/8", "/7", "/6", "/5", "/4", "/3"}},
  };
  for (const Case &c : cases)
    EXPECT_EQ(AddAll(c.added), c.expected) << c.what;
  EXPECT_EQ(WithoutRecent(AddAll({"/a", "/b", "/c"}), "/b"), (List{"/c", "/a"}));
  EXPECT_EQ(WithoutRecent(AddAll({"/a"}), "/gone"), (List{"/a"}));
}

TEST(RecentList, CaptionsCarryAccessNumbersAndKeepEntriesApart) {
  EXPECT_EQ(RecentCaptions({"/home/u/amp.twk", "/home/u/boards/psu.twk"}),
            (List{"&1 amp.twk", "&2 psu.twk"}));
  // Two files of one name show their folders; an ampersand shows as itself.
  EXPECT_EQ(RecentCaptions({"/x/amp.twk", "/R&D/psu.twk", "/y/amp.twk"}),
            (List{"&1 /x/amp.twk", "&2 psu.twk", "&3 /y/amp.twk"}));
  EXPECT_EQ(RecentCaptions({"/R&D/a&b.twk"}), (List{"&1 a&&b.twk"}));
  EXPECT_EQ(RecentCaptions(AddAll({"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8"})).back(),
            "&8 1");
}

} // namespace
} // namespace tarnwick
