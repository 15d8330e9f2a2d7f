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
  auto o = Parse({"--json", "--report", "--dump=0x10:32", "-r", "--plugins", "--enable", "A.hpi", "--disable", "all",
                  "--enabled-only", "--lang=ja", "--plugin-dir", "/p", "x.bmp", "--", "--odd"});
  ASSERT_TRUE(o);
  EXPECT_TRUE(o->json && o->report && o->recursive && o->listPlugins && o->enabledOnly);
  EXPECT_EQ(o->dump->offset, 16u);
  EXPECT_EQ(*o->dump->length, 32u);
  EXPECT_EQ(o->enable, std::vector<std::string>{"A.hpi"});
  EXPECT_EQ(o->disable, std::vector<std::string>{"all"});
  EXPECT_EQ(o->english, false);
  EXPECT_EQ(*o->pluginDir, "/p");
  EXPECT_EQ(o->files, (std::vector<std::string>{"x.bmp", "--odd"}));
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
  EXPECT_FALSE(Parse({"--enable"}));
  EXPECT_FALSE(Parse({"--lang=fr", "f"}));
  EXPECT_TRUE(Parse({"--plugins"})) << "acts without files";
}

TEST(Options, HelpDocumentsEveryOption) {
  for (const char* option : {"--json", "--report", "--dump", "--recursive", "--plugins", "--enable", "--disable",
                             "--enabled-only", "--lang", "--plugin-dir", "--help", "--version"}) {
    EXPECT_NE(std::string(cli::kUsage).find(option), std::string::npos) << option;
  }
}

}  // namespace
