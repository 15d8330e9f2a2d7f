#include "hpi/sf_stream.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "hpi/messages.h"

namespace hpi {
namespace {

std::uint8_t* NewBlock() { return new (std::nothrow) std::uint8_t[SFStream::kBlockSize]; }

}  // namespace

SFStream::SFStream() {
  std::uint8_t* block = NewBlock();
  if (block != nullptr) {
    Node* node = TakeNode();
    if (node == nullptr) {
      delete[] block;
    } else {
      *node = Node{block, nullptr, nullptr};
      first_ = last_ = node;
      nodeCount_ = 1;
      current_ = block;
    }
  }
  SetStreamError(kNoError);
}

SFStream::~SFStream() {
  for (Node* node = first_; node != nullptr; node = node->next) delete[] node->block;
  while (poolBatches_ != nullptr) {
    NodeBatch* next = poolBatches_->next;
    delete poolBatches_;
    poolBatches_ = next;
  }
  while (stackBatches_ != nullptr) {
    StackBatch* next = stackBatches_->next;
    delete stackBatches_;
    stackBatches_ = next;
  }
}

// Free-node stack first (last in, first out), then the pool's current batch.
SFStream::Node* SFStream::TakeNode() {
  if (stackEntries_ > 0) {
    std::uint32_t index = --stackEntries_;
    StackBatch* batch = stackBatches_;
    for (std::uint32_t i = index / kBatchSize; i > 0; --i) batch = batch->next;
    return batch->slots[index % kBatchSize];
  }
  if (poolHandedOut_ == poolAllocated_) {
    auto* batch = new (std::nothrow) NodeBatch;
    if (batch == nullptr) return nullptr;
    batch->next = poolBatches_;
    poolBatches_ = batch;
    poolAllocated_ += kBatchSize;
  }
  return &poolBatches_->nodes[poolHandedOut_++ % kBatchSize];
}

bool SFStream::PushFree(Node* node) {
  if (stackEntries_ == stackCapacity_) {
    auto* batch = new (std::nothrow) StackBatch;
    if (batch == nullptr) return false;
    batch->next = nullptr;
    StackBatch** tail = &stackBatches_;
    while (*tail != nullptr) tail = &(*tail)->next;
    *tail = batch;
    stackCapacity_ += kBatchSize;
  }
  StackBatch* batch = stackBatches_;
  for (std::uint32_t i = stackEntries_ / kBatchSize; i > 0; --i) batch = batch->next;
  batch->slots[stackEntries_ % kBatchSize] = node;
  ++stackEntries_;
  return true;
}

bool SFStream::AddBlock() {
  if (position_ != kBlockSize) {
    SetStreamError(kBadPointer);
    return false;
  }
  std::uint8_t* block = NewBlock();
  if (block == nullptr) {
    SetStreamError(kAllocation);
    return false;
  }
  Node* node = TakeNode();
  if (node == nullptr) {
    delete[] block;
    current_ = nullptr;
    SetStreamError(kAllocation);
    return false;
  }
  *node = Node{block, nullptr, last_};
  last_->next = node;
  last_ = node;
  ++nodeCount_;
  current_ = block;
  position_ = 0;
  return true;
}

int SFStream::WriteAcrossBlocks(std::int32_t length, const void* bytes) {
  if (direction_ == 0) {
    SetStreamError(kDirection);
    return -1;
  }
  // A length handed over must fit the export's result with its partial bit clear.
  if (current_ == nullptr ||
      (length > 0 && static_cast<std::uint32_t>(length) > hpi::kMaxStreamLength - bytesWritten_)) {
    SetStreamError(kAllocation);
    return -1;
  }
  const auto* source = static_cast<const std::uint8_t*>(bytes);
  std::int32_t left = length;
  while (left > 0) {
    if (position_ == kBlockSize && !AddBlock()) return -1;
    std::uint32_t n = std::min<std::uint32_t>(static_cast<std::uint32_t>(left), kBlockSize - position_);
    std::memcpy(current_ + position_, source, n);
    source += n;
    position_ += n;
    bytesWritten_ += n;
    left -= static_cast<std::int32_t>(n);
  }
  return length;
}

int SFStream::WriteWord(std::uint16_t value) {
  const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
  return Write(2, bytes);
}

int SFStream::WriteDword(std::uint32_t value) {
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                 static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  return Write(4, bytes);
}

int SFStream::Read(std::int32_t length, void* destination) {
  if (direction_ != 0) {
    SetStreamError(kDirection);
    return -1;
  }
  if (readCursor_ == nullptr) {
    SetStreamError(kNotRewound);
    return -1;
  }
  if (current_ == nullptr) {
    SetStreamError(kNoData);
    return -1;
  }
  auto* target = static_cast<std::uint8_t*>(destination);
  std::int32_t copied = 0;
  while (copied < length) {
    if (bytesRead_ == bytesWritten_) return copied;
    if (position_ == kBlockSize) {
      if (readCursor_->next == nullptr) {
        SetStreamError(kBadPointer);
        return -1;
      }
      readCursor_ = readCursor_->next;
      current_ = readCursor_->block;
      position_ = 0;
    }
    std::uint32_t n =
        std::min({static_cast<std::uint32_t>(length - copied), kBlockSize - position_, bytesWritten_ - bytesRead_});
    std::memcpy(target + copied, current_ + position_, n);
    position_ += n;
    bytesRead_ += n;
    copied += static_cast<std::int32_t>(n);
  }
  return length;
}

int SFStream::SetDirection(int direction) {
  SetStreamError(kNoError);
  direction_ = direction;
  if (first_ == nullptr) {
    SetStreamError(kUnknown);
    return 0;
  }
  if (direction != 0) {
    while (last_->previous != nullptr) {
      Node* node = last_;
      last_ = node->previous;
      last_->next = nullptr;
      --nodeCount_;
      delete[] node->block;
      PushFree(node);  // a node the stack cannot take is dropped
    }
    current_ = first_->block;
    position_ = 0;
    bytesWritten_ = 0;
    return 1;
  }
  readCursor_ = first_;
  current_ = first_->block;
  position_ = 0;
  bytesRead_ = 0;
  return 1;
}

}  // namespace hpi
