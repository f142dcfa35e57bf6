// What the net listing leaves out: bare strips, and the repetition of long label warnings.
#include "../output/board_fixture.h"
#include "nets/net_listing.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::Put;

TEST(NetListing, BareStripsAreLeftOutAndTheRestNumberedInOrder) {
  Board b;
  b.InitBoard(6, 10);
  b.GetTrace(3).Name = "out";
  Put(b, ComponentKind::Resistor, 1, 4, 2, "1k");
  Put(b, ComponentKind::Wire, 4, 5, 6); // joins two strips, but no part ends on either
  Put(b, ComponentKind::Wire, 2, 2, 8); // a wire across nothing
  EXPECT_EQ(NetListing(b), "net 1: trace 2 rows 1-10\n"
                           "  ends: R 1k start (trace 2, row 3)\n"
                           "net 2: trace 4 rows 1-10\n"
                           "  labels: out\n"
                           "net 3: trace 5 rows 1-10; trace 6 rows 1-10\n"
                           "  ends: R 1k end (trace 5, row 3)\n");
}

TEST(NetListing, ALabelOnManyNetsNamesTheFirstTwenty) {
  Board b;
  b.InitBoard(25, 10);
  for (int t = 0; t < 25; ++t)
    b.GetTrace(t).Name = "gnd";
  const std::string text = NetListing(b);
  const std::string warning = "  warning: label gnd is on 25 nets: 1, 2, 3, 4, 5, 6, 7, 8, 9, "
                              "10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20 and 5 more\n";
  EXPECT_NE(text.find("net 25: trace 25 rows 1-10\n  labels: gnd\n" + warning), std::string::npos)
      << text;
}

} // namespace
} // namespace tarnwick
