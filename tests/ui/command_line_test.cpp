#include "ui/command_line.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using Action = CommandLine::Action;

TEST(CommandLine, FilesOptionsAndRefusals) {
  struct Case {
    std::vector<std::string> args;
    bool beforeToolkit;
    Action what;
    std::string file;
  };
  const Case cases[] = {
      {{}, false, Action::Run, ""},
      {{"amp.twk"}, false, Action::Run, "amp.twk"},
      {{"--help"}, false, Action::Help, ""},
      {{"-h", "amp.twk"}, false, Action::Help, ""},
      {{"--version"}, true, Action::Version, ""},
      {{"--", "--odd name.twk"}, false, Action::Run, "--odd name.twk"},
      {{"-"}, false, Action::Run, "-"},
      {{"--bogus"}, true, Action::Refuse, ""},
      {{"--bogus"}, false, Action::Refuse, ""},
      {{"-x"}, false, Action::Refuse, ""},
      {{"a.twk", "b.twk"}, false, Action::Refuse, ""},
      // Before the toolkit starts: its options and their values are its business; what is
      // left is refused already there, as the toolkit would abort without a display.
      {{"-platform", "offscreen", "amp.twk"}, true, Action::Run, "amp.twk"},
      {{"--style", "fusion", "-x"}, true, Action::Refuse, ""},
      {{"-x"}, true, Action::Refuse, ""},
      {{"a.twk", "b.twk"}, true, Action::Refuse, ""},
      {{"-display", ":1", "-name", "tw", "a.twk"}, true, Action::Run, "a.twk"},
      {{"--platform=offscreen", "--help"}, true, Action::Help, ""},
      {{"-platform", "--help"}, true, Action::Run, ""}, // "--help" is the platform's name
  };
  for (const Case &c : cases) {
    const CommandLine parsed = ParseCommandLine(c.args, c.beforeToolkit);
    std::string shown;
    for (const std::string &a : c.args)
      shown += a + " ";
    EXPECT_EQ(parsed.What, c.what) << shown;
    EXPECT_EQ(parsed.File, c.file) << shown;
    EXPECT_EQ(parsed.What == Action::Refuse, !parsed.Problem.empty()) << shown;
  }
  EXPECT_EQ(ParseCommandLine({"--bogus"}, true).Problem, "unknown option --bogus");
}

TEST(CommandLine, NetlistsAreToldByTheirExtension) {
  EXPECT_TRUE(IsNetlistFileName("/tmp/amp.net"));
  EXPECT_TRUE(IsNetlistFileName("AMP.NET"));
  EXPECT_FALSE(IsNetlistFileName("amp.twk"));
  EXPECT_FALSE(IsNetlistFileName("net"));
  EXPECT_FALSE(IsNetlistFileName("amp.network"));
}

} // namespace
} // namespace tarnwick
