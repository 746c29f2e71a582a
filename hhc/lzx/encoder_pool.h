// Compresses reset intervals on several threads and hands them back in input order. At most two
// intervals per thread are queued or in work, so memory stays bounded whatever the input; the
// submitting thread waits when that many are out and meanwhile delivers what is done.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "hhc/lzx/encoder.h"

namespace hhc::lzx {

class EncoderPool {
public:
    // With one thread, Submit encodes and delivers before it returns.
    EncoderPool(EncoderOptions options, Encoder::Sink deliver);
    ~EncoderPool();

    EncoderPool(const EncoderPool&) = delete;
    EncoderPool& operator=(const EncoderPool&) = delete;

    // A failure of a worker, or of `deliver`, comes out of Submit or Flush.
    void Submit(std::vector<std::uint8_t> interval);
    // Returns when every submitted interval has been delivered.
    void Flush();

private:
    struct Job {
        std::uint64_t sequence;
        std::vector<std::uint8_t> interval;
    };

    void Work(IntervalEncoder& encoder);
    void DeliverUntilOut(std::uint64_t limit);

    Encoder::Sink deliver_;
    std::optional<IntervalEncoder> inline_;  // the one-thread case
    std::uint64_t maxOut_;

    std::mutex mutex_;
    std::condition_variable work_;  // a job came, or the pool stops
    std::condition_variable done_;  // a result came, or a worker failed
    std::deque<Job> jobs_;
    std::map<std::uint64_t, EncodedInterval> results_;
    std::uint64_t submitted_ = 0;
    std::uint64_t delivered_ = 0;
    std::exception_ptr failure_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace hhc::lzx
