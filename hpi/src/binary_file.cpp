#include "hpi/binary_file.h"

#include <cstring>

#include "hpi/bytes.h"

namespace hpi {
namespace {

#if defined(_WIN32)
int Seek64(std::FILE* f, std::int64_t offset, int whence) { return _fseeki64(f, offset, whence); }
std::int64_t Tell64(std::FILE* f) { return _ftelli64(f); }
#else
int Seek64(std::FILE* f, std::int64_t offset, int whence) { return fseeko(f, offset, whence); }
std::int64_t Tell64(std::FILE* f) { return ftello(f); }
#endif

// Reads width bytes into a scratch buffer; the helpers then decode it.
int ReadRaw(BinaryFile& file, std::uint8_t* bytes, std::size_t width) {
  std::memset(bytes, 0, width);
  return file.Read(bytes, width);
}

}  // namespace

bool BinaryFile::Open(const char* path) {
  Close();
  file_ = std::fopen(path, "rb");
  position_ = 0;
  lastReadAt_ = 0;
  return file_ != nullptr;
}

void BinaryFile::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

bool BinaryFile::Seek(std::int64_t offset, int whence) {
  if (whence == SEEK_SET && offset < 0) return false;
  if (Seek64(file_, offset, whence) != 0) return false;
  position_ = whence == SEEK_SET ? offset : Tell64(file_);
  return true;
}

std::int64_t BinaryFile::Tell() { return Tell64(file_); }

std::int64_t BinaryFile::Length() {
  std::int64_t here = Tell64(file_);
  if (here < 0 || Seek64(file_, 0, SEEK_END) != 0) return -1;
  std::int64_t end = Tell64(file_);
  if (Seek64(file_, here, SEEK_SET) != 0) return -1;
  return end;
}

int BinaryFile::Read(void* destination, std::size_t n) {
  std::size_t got = std::fread(destination, 1, n, file_);
  lastReadAt_ = static_cast<std::uint64_t>(position_);
  position_ += static_cast<std::int64_t>(got);
  if (got < n && std::ferror(file_)) return -1;
  return static_cast<int>(got);
}

int ReadBlock(BinaryFile& file, void* destination, std::size_t n) { return file.Read(destination, n); }

int ReadByte(BinaryFile& file, std::uint8_t& value) {
  std::uint8_t b = 0;
  int got = file.Read(&b, 1);
  if (got == 1) value = b;
  return got;
}

int ReadLE16(BinaryFile& file, std::uint16_t& value) {
  std::uint8_t b[2];
  int got = ReadRaw(file, b, 2);
  value = LE16(b);
  return got;
}

int ReadBE16(BinaryFile& file, std::uint16_t& value) {
  std::uint8_t b[2];
  int got = ReadRaw(file, b, 2);
  value = BE16(b);
  return got;
}

int ReadLE32(BinaryFile& file, std::uint32_t& value) {
  std::uint8_t b[4];
  int got = ReadRaw(file, b, 4);
  value = LE32(b);
  return got;
}

int ReadBE32(BinaryFile& file, std::uint32_t& value) {
  std::uint8_t b[4];
  int got = ReadRaw(file, b, 4);
  value = BE32(b);
  return got;
}

int ReadLEFloat(BinaryFile& file, float& value) {
  std::uint8_t b[4];
  int got = ReadRaw(file, b, 4);
  if (got == 4) {
    std::uint32_t bits = LE32(b);
    std::memcpy(&value, &bits, 4);
  }
  return got;
}

int ReadBEFloat(BinaryFile& file, float& value) {
  std::uint8_t b[4];
  int got = ReadRaw(file, b, 4);
  if (got == 4) {
    std::uint32_t bits = BE32(b);
    std::memcpy(&value, &bits, 4);
  }
  return got;
}

int ReadLEDouble(BinaryFile& file, double& value) {
  std::uint8_t b[8];
  int got = ReadRaw(file, b, 8);
  if (got == 8) {
    std::uint64_t bits = LE64(b);
    std::memcpy(&value, &bits, 8);
  }
  return got;
}

int ReadBEDouble(BinaryFile& file, double& value) {
  std::uint8_t b[8];
  int got = ReadRaw(file, b, 8);
  if (got == 8) {
    std::uint64_t bits = BE64(b);
    std::memcpy(&value, &bits, 8);
  }
  return got;
}

}  // namespace hpi
