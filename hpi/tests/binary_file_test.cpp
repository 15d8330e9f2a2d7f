#include "hpi/binary_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

class BinaryFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::temp_directory_path() / "strataview-binary-file.bin";
    std::ofstream(path_, std::ios::binary) << std::string("\x12\x34\x56\x78\x00\x00\x80\x3f\x01", 9);
    ASSERT_TRUE(file_.Open(path_.string().c_str()));
  }
  void TearDown() override {
    file_.Close();
    std::filesystem::remove(path_);
  }
  std::filesystem::path path_;
  hpi::BinaryFile file_;
};

TEST_F(BinaryFileTest, HelpersReadBothByteOrdersAndReportShortReads) {
  std::uint16_t w;
  EXPECT_EQ(hpi::ReadBE16(file_, w), 2);
  EXPECT_EQ(w, 0x1234);
  EXPECT_EQ(hpi::ReadLE16(file_, w), 2);
  EXPECT_EQ(w, 0x7856);
  float f = 0;
  EXPECT_EQ(hpi::ReadLEFloat(file_, f), 4);
  EXPECT_EQ(f, 1.0f);
  std::uint32_t d = 0xFFFFFFFF;
  EXPECT_EQ(hpi::ReadLE32(file_, d), 1) << "one byte left";
  EXPECT_EQ(d, 1u);
  std::uint8_t b;
  EXPECT_EQ(hpi::ReadByte(file_, b), 0);
  EXPECT_EQ(file_.Length(), 9);
  ASSERT_TRUE(file_.Seek(0));
  EXPECT_EQ(hpi::ReadBE32(file_, d), 4);
  EXPECT_EQ(d, 0x12345678u);
  double x = 5;
  EXPECT_EQ(hpi::ReadBEDouble(file_, x), 5);
  EXPECT_EQ(x, 5.0) << "a short read leaves a double as it was";
}

}  // namespace
