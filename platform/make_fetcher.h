// The run's fetcher: concurrent (the default) or one address at a time (for the old
// behaviour, and for tests that prove both give the same files).
#pragma once

#include <memory>

#include "engine/ports.h"
#include "platform/fetch_common.h"
#include "platform/transfer.h"

namespace platform {

std::unique_ptr<engine::Fetcher> MakeFetcher(bool concurrent, TransferLimits limits,
                                             ProgressSink progress);

}  // namespace platform
