#include "search_worker.h"

#include <memory>
#include <utility>

#include "strataview/platform/files.h"

namespace strataview::ui {
namespace {

class PostingObserver : public SearchObserver {
 public:
  explicit PostingObserver(HWND notify) : notify_(notify) {}
  void ScanStarted() override { PostMessageW(notify_, kSearchScanStarted, 0, 0); }
  void ScanEnded() override { PostMessageW(notify_, kSearchScanEnded, 0, 0); }

 private:
  HWND notify_;
};

}  // namespace

SearchWorker::~SearchWorker() {
  search_.Stop();
  Join();
}

void SearchWorker::Join() {
  if (thread_.joinable()) thread_.join();
}

void SearchWorker::Start(std::string text, SearchDirection direction, std::string path, HWND notify) {
  Join();
  search_.Arm();
  finished_.store(false);
  thread_ = std::thread([this, text = std::move(text), direction, path = std::move(path), notify] {
    // The worker reads through a handle of its own: the dump's belongs to the UI thread.
    std::unique_ptr<ReadOnlyFile> file = path.empty() ? nullptr : ReadOnlyFile::Open(path);
    PostingObserver observer(notify);
    result_ = search_.Run(text, direction, file.get(), observer);
    finished_.store(true);
    PostMessageW(notify, kSearchDone, 0, 0);
  });
}

SearchResult SearchWorker::Finish() {
  Join();
  return result_;
}

}  // namespace strataview::ui
