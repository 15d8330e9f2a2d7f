#include "options.h"

#include <gtest/gtest.h>

namespace {

std::optional<cli::Options> Parse(std::vector<std::string> args, std::string* error = nullptr) {
  std::string e;
  auto o = cli::ParseOptions(args, e);
  if (error != nullptr) *error = e;
  return o;
}

TEST(Options, ParsesEveryOption) {
  auto o = Parse({"--json",
                  "--report",
                  "--dump=0x10:32",
                  "-r",
                  "--plugins",
                  "--disable",
                  "all",
                  "--enable=A.hpi",
                  "--enabled-only",
                  "--lang",
                  "ja",
                  "--plugin-dir=/p",
                  "--plugin",
                  "B.hpi",
                  "--max-depth",
                  "3",
                  "--offsets=dec",
                  "-q",
                  "x.bmp",
                  "-",
                  "--",
                  "--odd"});
  ASSERT_TRUE(o);
  EXPECT_TRUE(o->format == cli::Format::Json && o->report && o->recursive && o->listPlugins && o->enabledOnly);
  EXPECT_TRUE(o->quiet && o->decimalOffsets);
  EXPECT_EQ(o->dump->offset, 16u);
  EXPECT_EQ(*o->dump->length, 32u);
  ASSERT_EQ(o->changes.size(), 2u);
  EXPECT_TRUE(o->changes[0].plugin == "all" && !o->changes[0].enable);
  EXPECT_TRUE(o->changes[1].plugin == "A.hpi" && o->changes[1].enable);
  EXPECT_EQ(o->english, false);
  EXPECT_EQ(*o->pluginDir, "/p");
  EXPECT_EQ(*o->plugin, "B.hpi");
  EXPECT_EQ(*o->maxDepth, 3u);
  EXPECT_EQ(o->files, (std::vector<std::string>{"x.bmp", "-", "--odd"}));
  EXPECT_EQ(Parse({"--tree", "f"})->format, cli::Format::Tree);
  EXPECT_EQ(Parse({"--json-tree", "f"})->format, cli::Format::JsonTree);
  EXPECT_EQ(Parse({"f"})->format, cli::Format::Lines);
  EXPECT_EQ(Parse({"--dump=010:16", "f"})->dump->offset, 10u) << "never octal";
  EXPECT_EQ(*Parse({"--dump=0:18446744073709551615", "f"})->dump->length, ~0ull);
  auto whole = Parse({"--dump", "f"});
  EXPECT_EQ(whole->dump->offset, 0u);
  EXPECT_FALSE(whole->dump->length);
}

TEST(Options, UsageErrors) {
  std::string error;
  EXPECT_FALSE(Parse({}, &error));
  EXPECT_EQ(error, "no file given");
  EXPECT_FALSE(Parse({"--bogus", "f"}, &error));
  EXPECT_FALSE(Parse({"--dump=zz", "f"}));
  EXPECT_FALSE(Parse({"--dump=-1", "f"}));
  EXPECT_FALSE(Parse({"--dump=5:18446744073709551615", "f"})) << "the end wraps";
  EXPECT_FALSE(Parse({"--dump=18446744073709551616", "f"})) << "more than 64 bits";
  EXPECT_FALSE(Parse({"--max-depth", "x", "f"}));
  EXPECT_FALSE(Parse({"--offsets=oct", "f"}));
  EXPECT_FALSE(Parse({"--enable"}));
  EXPECT_FALSE(Parse({"--lang=fr", "f"}));
  EXPECT_TRUE(Parse({"--plugins"})) << "acts without files";
}

TEST(Options, HelpDocumentsEveryOption) {
  for (const char* option :
       {"--json",  "--tree",       "--json-tree", "--max-depth", "--offsets",     "--report",      "--dump",
        "--quiet", "--recursive",  "--plugin ",   "--plugins",   "--enable",      "--disable",     "--enabled-only",
        "--lang",  "--plugin-dir", "--help",      "--version",   "\"schema\": 2", "message_local", "\"fault\""}) {
    EXPECT_NE(std::string(cli::kUsage).find(option), std::string::npos) << option;
  }
}

}  // namespace
