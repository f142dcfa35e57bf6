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

// Order and limit are shown by the menu's test; here what the menu cannot show apart.
TEST(RecentList, AFileIsKeptOnceWhateverItsName) {
  EXPECT_EQ(AddAll({"/a.twk", "/b.twk", "/a.twk"}), (List{"/a.twk", "/b.twk"}));
  EXPECT_EQ(AddAll({"/x/a.twk", "/y/a.twk"}), (List{"/y/a.twk", "/x/a.twk"}));
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
