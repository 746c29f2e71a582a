// Workers take jobs in order and leave results by sequence number; only the submitting thread
// delivers, so the sink needs no lock of its own.
#include "hhc/lzx/encoder_pool.h"

#include <utility>

namespace hhc::lzx {

namespace {

// Queued plus in work, per thread: one to compress, one ready for when it is done.
constexpr std::uint64_t kIntervalsPerThread = 2;

}  // namespace

EncoderPool::EncoderPool(EncoderOptions options, Encoder::Sink deliver)
    : deliver_(std::move(deliver)), maxOut_(kIntervalsPerThread * options.threads) {
    if (options.threads <= 1) {
        inline_.emplace(options.compress);
        return;
    }
    workers_.reserve(options.threads);
    for (unsigned i = 0; i < options.threads; ++i) {
        workers_.emplace_back([this, compress = options.compress] {
            IntervalEncoder encoder(compress);
            Work(encoder);
        });
    }
}

EncoderPool::~EncoderPool() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    work_.notify_all();
    for (std::thread& t : workers_) {
        t.join();
    }
}

void EncoderPool::Submit(std::vector<std::uint8_t> interval) {
    if (inline_) {
        deliver_(inline_->Encode(interval));
        return;
    }
    DeliverUntilOut(maxOut_ - 1);
    {
        const std::lock_guard lock(mutex_);
        jobs_.push_back(Job{submitted_++, std::move(interval)});
    }
    work_.notify_one();
}

void EncoderPool::Flush() {
    if (!inline_) {
        DeliverUntilOut(0);
    }
}

void EncoderPool::Work(IntervalEncoder& encoder) {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            work_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_) {
                return;
            }
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        try {
            EncodedInterval result = encoder.Encode(job.interval);
            const std::lock_guard lock(mutex_);
            results_.emplace(job.sequence, std::move(result));
        } catch (...) {
            const std::lock_guard lock(mutex_);
            failure_ = std::current_exception();
        }
        done_.notify_all();
    }
}

// Delivers finished intervals in order until at most `limit` are out.
void EncoderPool::DeliverUntilOut(std::uint64_t limit) {
    for (;;) {
        EncodedInterval next;
        {
            std::unique_lock lock(mutex_);
            done_.wait(lock, [&] {
                return failure_ || results_.contains(delivered_) ||
                       submitted_ - delivered_ <= limit;
            });
            if (failure_) {
                std::rethrow_exception(failure_);
            }
            const auto it = results_.find(delivered_);
            if (it == results_.end()) {
                return;
            }
            next = std::move(it->second);
            results_.erase(it);
            ++delivered_;
        }
        deliver_(std::move(next));
    }
}

}  // namespace hhc::lzx
