// SFStream: the growable memory stream in which a plug-in collects its
// analysed-data stream. It grows by chaining fixed 2000-byte blocks, so written
// bytes never move; chain nodes come from a pool allocated ten at a time and
// nodes released by a reset are reused last in, first out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace hpi {

class SFStream {
 public:
  static constexpr std::uint32_t kBlockSize = 2000;
  static constexpr std::uint32_t kBatchSize = 10;
  static constexpr std::uint32_t kFastPathLimit = 0x7FFFFFFFu - kBlockSize;

  // Error codes of the stream's own message table.
  enum Code : int {
    kNoError = 0,
    kAllocation = 1,
    kDirection = 2,
    kNotRewound = 3,
    kNoData = 4,
    kBadPointer = 5,
    kUnknown = 10,
  };

  SFStream();
  ~SFStream();
  SFStream(const SFStream&) = delete;
  SFStream& operator=(const SFStream&) = delete;

  // Appends length bytes; returns length, or -1 (bytes copied before a failed
  // block allocation stay written).
  int Write(std::int32_t length, const void* bytes) {
    // Bytes that fit in the current block go straight in, while the stream is far
    // from the longest length a hand-over can express.
    if (direction_ != 0 && current_ != nullptr && length > 0 &&
        static_cast<std::uint32_t>(length) <= kBlockSize - position_ && bytesWritten_ < kFastPathLimit) {
      std::memcpy(current_ + position_, bytes, static_cast<std::size_t>(length));
      position_ += static_cast<std::uint32_t>(length);
      bytesWritten_ += static_cast<std::uint32_t>(length);
      return length;
    }
    return WriteAcrossBlocks(length, bytes);
  }
  int WriteWord(std::uint16_t value);
  int WriteDword(std::uint32_t value);
  // Copies up to length bytes; returns the count, fewer at the end of the written
  // bytes, or -1.
  int Read(std::int32_t length, void* destination);
  // Nonzero: reset for writing (keeps the first block). Zero: rewind for reading.
  int SetDirection(int direction);
  std::uint32_t BytesWritten() const { return bytesWritten_; }

 private:
  struct Node {
    std::uint8_t* block;
    Node* next;
    Node* previous;
  };
  struct NodeBatch {
    Node nodes[kBatchSize];
    NodeBatch* next;
  };
  struct StackBatch {
    Node* slots[kBatchSize];
    StackBatch* next;
  };

  int WriteAcrossBlocks(std::int32_t length, const void* bytes);
  Node* TakeNode();
  bool PushFree(Node* node);
  bool AddBlock();

  Node* first_ = nullptr;
  Node* last_ = nullptr;
  std::uint32_t nodeCount_ = 0;

  NodeBatch* poolBatches_ = nullptr;  // newest first
  std::uint32_t poolAllocated_ = 0;
  std::uint32_t poolHandedOut_ = 0;

  StackBatch* stackBatches_ = nullptr;  // in order of allocation
  std::uint32_t stackCapacity_ = 0;
  std::uint32_t stackEntries_ = 0;

  std::uint8_t* current_ = nullptr;
  std::uint32_t position_ = 0;
  std::uint32_t bytesWritten_ = 0;
  std::uint32_t bytesRead_ = 0;
  Node* readCursor_ = nullptr;
  int direction_ = 1;
};

}  // namespace hpi
