#include "corpus_bench.h"

namespace {

const int registered = bench_support::RegisterCorpus({"jpeg"});

}  // namespace
