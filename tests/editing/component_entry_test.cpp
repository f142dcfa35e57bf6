#include "editing/component_entry.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(ComponentEntry, DropDownItemsMapToKindsBothWays) {
  const std::uint8_t kindOfItem[] = {0, 1, 2, 3, 7, 4, 5, 6, 8};
  for (int item = 0; item < KindItemCount; ++item) {
    EXPECT_EQ(KindOfItem(item), kindOfItem[item]) << item;
    EXPECT_EQ(ItemOfKind(kindOfItem[item]), item) << item;
  }
  // Codes no item shows leave the drop-down as it is.
  EXPECT_EQ(ItemOfKind(9), -1);
  EXPECT_EQ(ItemOfKind(255), -1);
  EXPECT_STREQ(KindItems[RadialItem].Caption, "Capacitor, Electrolytic, Radial");
  EXPECT_STREQ(KindItems[SocketItem].Caption, "Socket / Offboard Connector");
  EXPECT_STREQ(KindItems[WireItem].Caption, "Wire");
  // Every list text reaches the component list through the kind the item stores.
  EXPECT_EQ(KindListText(KindOfItem(RadialItem)), "C");
  EXPECT_EQ(KindListText(KindOfItem(5)), "D");
  EXPECT_EQ(KindListText(KindOfItem(7)), "<->");
}

TEST(ComponentEntry, LetterSearchWrapsAroundAndIgnoresCase) {
  const int diode = 5, label = 8;
  EXPECT_EQ(FindKindItem(diode, U'S'), SocketItem);
  EXPECT_EQ(FindKindItem(diode, U's'), SocketItem);
  // Nothing after "Label" begins with W: the search goes on from the top.
  EXPECT_EQ(FindKindItem(label, U'W'), WireItem);
  // "C" steps through the three capacitor items and starts again at the first.
  int current = -1;
  std::vector<int> steps;
  for (int i = 0; i < 4; ++i)
    steps.push_back(current = FindKindItem(current, U'c'));
  EXPECT_EQ(steps, (std::vector<int>{2, 3, 4, 2}));
  // No caption begins with Z, and the current item itself is not a hit.
  EXPECT_EQ(FindKindItem(diode, U'Z'), -1);
  EXPECT_EQ(FindKindItem(WireItem, U'W'), -1);
  EXPECT_EQ(FindKindItem(-1, U'L'), label);
  EXPECT_EQ(FindKindItem(-1, U'1'), -1);
}

TEST(ComponentEntry, RadialBodyMustBeWiderThanItsLeadSpacing) {
  EXPECT_TRUE(RadialFits(2, 3, 2));
  EXPECT_FALSE(RadialFits(2, 3, 1));
  EXPECT_FALSE(RadialFits(3, 2, 1));
  EXPECT_TRUE(RadialFits(2, 2, 1));
  EXPECT_FALSE(RadialFits(1, 5, 4));
  EXPECT_TRUE(RadialFits(5, 1, 5));
}

TEST(ComponentEntry, ShownValuesBecomeBoardIndices) {
  BoardComponent c;
  WriteEntry({"R1", 1, 3, 6, 5, 9}, c);
  EXPECT_EQ(c.Name, "R1");
  EXPECT_EQ(c.Kind, 1);
  EXPECT_EQ(c.StartTrace, 2);
  EXPECT_EQ(c.EndTrace, 5);
  EXPECT_EQ(c.StartPin, 4);
  // Only the radial kind takes the Cap Width; others keep theirs.
  EXPECT_EQ(c.CapWidth, 0);
  c.CapWidth = 3;
  WriteEntry({"", RadialItem, 4, 2, 1, 4}, c);
  EXPECT_EQ(c.Name, "<unnamed>");
  EXPECT_EQ(c.Kind, 7);
  EXPECT_EQ(c.CapWidth, 4);
  EXPECT_EQ(c.StartTrace, 3);
  EXPECT_EQ(c.EndTrace, 1);
  EXPECT_EQ(c.StartPin, 0);
  WriteEntry({"D1", 5, 1, 2, 1, 8}, c);
  EXPECT_EQ(c.Kind, 4);
  EXPECT_EQ(c.CapWidth, 4);
}

} // namespace
} // namespace tarnwick
