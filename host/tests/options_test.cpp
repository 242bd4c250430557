// The command line's options: where they may stand, their values, what they exclude.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/options.h"

namespace {

struct Outcome {
  cli::Parsed parsed;
  cli::Options options;
  std::string error;
  bool showUsage;
};

Outcome Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "panoply-host");
  Outcome o{};
  o.parsed = cli::ParseOptions(static_cast<int>(args.size()), args.data(), o.options, o.error, o.showUsage);
  return o;
}

TEST(Options, ValuesFlagsAndTheWordsAfterTheImage) {
  const Outcome o = Parse({"--lang", "ru", "--registry", "r.txt", "--yes", "img.hdd", "cd", "-x", "ls", "--progress"});
  ASSERT_EQ(o.parsed, cli::Parsed::kRun);
  EXPECT_EQ(o.options.language, "ru");
  EXPECT_EQ(o.options.registryFile, "r.txt");
  EXPECT_TRUE(o.options.yes);
  EXPECT_TRUE(o.options.progress);  // a known option after the image is still one
  EXPECT_EQ(o.options.args, (std::vector<std::string>{"img.hdd", "cd", "-x", "ls"}));
  const Outcome n = Parse({"--new", "disk1", "--format", "HDD for MicroDOS", "--plugin", "p.so"});
  ASSERT_EQ(n.parsed, cli::Parsed::kRun);
  EXPECT_EQ(n.options.newFile, "disk1");
  EXPECT_EQ(n.options.format, "HDD for MicroDOS");
  EXPECT_EQ(n.options.plugin, "p.so");
  EXPECT_EQ(Parse({"img", "-h"}).parsed, cli::Parsed::kHelp);
}

TEST(Options, BadUsage) {
  struct Case {
    std::vector<const char*> args;
    std::string error;
    bool showUsage;
  };
  const Case cases[] = {
      {{"--frob"}, "unknown option --frob", true},
      {{"--lang"}, "--lang needs a value", true},
      {{"--new", ""}, "--new needs a value", true},
      {{"--yes", "--answers", "a.txt"}, "--yes and --answers exclude each other", false},
      {{"--menu", "img"}, "--menu and --new take no IMAGE and exclude each other and --configure", false},
      {{"--menu", "--new", "x"}, "--menu and --new take no IMAGE and exclude each other and --configure", false},
      {{"--new", "x", "--configure"}, "--menu and --new take no IMAGE and exclude each other and --configure", false},
      {{"--format", "HDD"}, "--format goes with --new", false},
  };
  for (const Case& c : cases) {
    const Outcome o = Parse(c.args);
    EXPECT_EQ(o.parsed, cli::Parsed::kBadUsage) << c.error;
    EXPECT_EQ(o.error, c.error);
    EXPECT_EQ(o.showUsage, c.showUsage) << c.error;
  }
}

TEST(Options, TheHelpListsEveryCommandOnce) {
  const std::string help = cli::UsageText();
  for (const char* command :
       {"\n  ls [DIR]", "\n  cd DIR", "\n  info", "\n  put FILE...", "\n  cp ITEM... DEST", "\n  mv ITEM... DEST",
        "\n  cat ITEM", "\n  rm ITEM...", "\n  config", "\n  help", "\n  quit"}) {
    const size_t at = help.find(command);
    EXPECT_NE(at, std::string::npos) << command;
    EXPECT_EQ(help.find(command, at + 1), std::string::npos) << command;
  }
  EXPECT_NE(help.find("Exit codes:"), std::string::npos);
}

}  // namespace
