#include "cli/decode_jobs.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <sched.h>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "cli/interrupt_window.h"

namespace vantrel::cli {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto TickInterval = std::chrono::milliseconds(100);
constexpr std::size_t NoSource = static_cast<std::size_t>(-1);

class DecodeJobs {
public:
    DecodeJobs(std::span<const std::string> sources, std::span<const std::uint64_t> sizes, const JobsSetup& setup,
               JobsListener& listener)
        : sources_(sources), sizes_(sizes), setup_(setup), listener_(listener)
    {
        for (const std::uint64_t size : sizes_) totalBytes_ += size;
    }

    std::string Run();

private:
    // What one job is doing; `source` changes under mutex_.
    struct Slot {
        std::size_t source = NoSource;
        std::atomic<std::uint64_t> bytes{0};
    };
    class Observer;

    void Work(Slot& slot);
    bool Interrupted();
    void Report();
    JobsProgress Snapshot() const; // with mutex_ held
    std::uint64_t SizeOf(std::size_t index) const { return index < sizes_.size() ? sizes_[index] : 0; }
    std::optional<batch::FileResult> Unreported(std::size_t index);

    std::span<const std::string> sources_;
    std::span<const std::uint64_t> sizes_;
    const JobsSetup& setup_;
    JobsListener& listener_;
    std::uint64_t totalBytes_ = 0;

    std::mutex askMutex_; // the caller's interrupted() need not be thread-safe
    std::atomic<bool> stop_{false};

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::unique_ptr<Slot[]> slots_;
    std::size_t slotCount_ = 0;
    std::size_t next_ = 0;    // the next source to hand out
    std::size_t running_ = 0; // jobs not yet ended
    std::map<std::size_t, batch::FileResult> finished_; // done, not yet reported
    std::vector<std::size_t> rejected_;                 // not yet reported
    std::size_t filesDone_ = 0;
    std::uint64_t bytesDone_ = 0;
    std::size_t lastStarted_ = NoSource;
};

class DecodeJobs::Observer final : public batch::DecodeObserver {
public:
    Observer(DecodeJobs& jobs, Slot& slot, std::size_t index) : jobs_(jobs), slot_(slot), index_(index) {}

    bool Progress(double percent) override
    {
        const std::uint64_t size = jobs_.SizeOf(index_);
        const double share = std::clamp(percent, 0.0, 100.0) / 100.0;
        slot_.bytes.store(static_cast<std::uint64_t>(share * static_cast<double>(size)), std::memory_order_relaxed);
        return !jobs_.Interrupted();
    }
    void Rejected() override
    {
        {
            const std::lock_guard lock(jobs_.mutex_);
            jobs_.rejected_.push_back(index_);
        }
        jobs_.changed_.notify_one();
    }

private:
    DecodeJobs& jobs_;
    Slot& slot_;
    std::size_t index_;
};

bool DecodeJobs::Interrupted()
{
    if (stop_.load()) return true;
    const std::lock_guard lock(askMutex_);
    if (!stop_.load() && setup_.interrupted && setup_.interrupted()) stop_.store(true);
    return stop_.load();
}

void DecodeJobs::Work(Slot& slot)
{
    try {
        engine::DecodeBuffers buffers; // one set for every file of this job
        for (;;) {
            if (Interrupted()) break;
            std::size_t index = 0;
            {
                const std::lock_guard lock(mutex_);
                if (next_ >= sources_.size()) break;
                index = next_++;
                slot.source = lastStarted_ = index;
                slot.bytes.store(0, std::memory_order_relaxed);
            }
            Observer observer(*this, slot, index);
            batch::FileResult result =
                batch::DecodeFile(setup_.files, sources_[index], setup_.placement, setup_.keyCheck, observer, &buffers);
            {
                const std::lock_guard lock(mutex_);
                finished_.emplace(index, std::move(result));
                ++filesDone_;
                bytesDone_ += SizeOf(index);
                slot.source = NoSource;
                slot.bytes.store(0, std::memory_order_relaxed);
            }
            changed_.notify_one();
        }
    } catch (...) {
        // Only the bookkeeping around DecodeFile can throw (memory running
        // out); a source taken and not recorded is reported as failed.
        stop_.store(true);
    }
    {
        const std::lock_guard lock(mutex_);
        --running_;
    }
    changed_.notify_one();
}

JobsProgress DecodeJobs::Snapshot() const
{
    JobsProgress progress{filesDone_, sources_.size(), bytesDone_, totalBytes_, {}, false};
    std::size_t first = NoSource;
    for (std::size_t i = 0; i < slotCount_; ++i) {
        if (slots_[i].source == NoSource) continue;
        first = std::min(first, slots_[i].source);
        progress.bytesDone += slots_[i].bytes.load(std::memory_order_relaxed);
    }
    if (first == NoSource) first = lastStarted_;
    if (first != NoSource) progress.current = first;
    return progress;
}

// After every job has ended: a source's result still waiting, a failure for
// one that was taken and not recorded, nothing for one never started.
std::optional<batch::FileResult> DecodeJobs::Unreported(std::size_t index)
{
    if (const auto found = finished_.find(index); found != finished_.end()) return std::move(found->second);
    if (index < next_) return batch::FileResult{batch::FileOutcome::DecodeError, {}, platform::SystemErrorText(ENOMEM)};
    return std::nullopt;
}

void DecodeJobs::Report()
{
    std::size_t nextOut = 0;
    Clock::time_point lastTick = Clock::now();
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait_until(lock, lastTick + TickInterval,
                            [&] { return !rejected_.empty() || finished_.contains(nextOut) || running_ == 0; });
        const std::vector<std::size_t> rejected = std::exchange(rejected_, {});
        std::vector<std::pair<std::size_t, batch::FileResult>> ready;
        for (auto found = finished_.find(nextOut); found != finished_.end() && found->first == nextOut; ++nextOut) {
            ready.emplace_back(nextOut, std::move(found->second));
            found = finished_.erase(found);
        }
        JobsProgress progress = Snapshot();
        const bool over = running_ == 0;
        lock.unlock();

        for (const std::size_t index : rejected) listener_.Rejected(index);
        for (const auto& [index, result] : ready) listener_.Finished(index, result);
        if (over) {
            // No job touches the board any more.
            for (; nextOut < sources_.size(); ++nextOut) listener_.Finished(nextOut, Unreported(nextOut));
            progress.over = true;
            listener_.Progress(progress);
            return;
        }
        const Clock::time_point now = Clock::now();
        const bool tick = now >= lastTick + TickInterval;
        if (tick) lastTick = now;
        if (tick || !ready.empty()) listener_.Progress(progress);
        lock.lock();
    }
}

std::string DecodeJobs::Run()
{
    slotCount_ = std::min<std::size_t>(std::max(setup_.jobs, 1u), sources_.size());
    slots_ = std::make_unique<Slot[]>(slotCount_);
    std::vector<std::thread> threads;
    threads.reserve(slotCount_);
    // However Report() ends, no job outlives the sources and the listener.
    struct JoinAll {
        DecodeJobs& jobs;
        std::vector<std::thread>& threads;
        ~JoinAll()
        {
            jobs.stop_.store(true);
            for (std::thread& thread : threads) thread.join();
        }
    } joinAll{*this, threads};

    std::string failure;
    {
        // The jobs' threads start with the interrupting signals blocked, so
        // Ctrl-C reaches this thread; the jobs learn of it by asking.
        const InterruptWindow blocked;
        for (std::size_t i = 0; i < slotCount_; ++i) {
            const std::lock_guard lock(mutex_);
            try {
                threads.emplace_back([this, slot = &slots_[i]] { Work(*slot); });
                ++running_;
            } catch (const std::system_error& error) {
                // Fewer jobs than asked for still do the work.
                failure = error.code().message();
                break;
            }
        }
    }
    if (threads.empty() && slotCount_ > 0) return failure;
    Report();
    return {};
}

} // namespace

std::string RunDecodeJobs(std::span<const std::string> sources, std::span<const std::uint64_t> sizes,
                          const JobsSetup& setup, JobsListener& listener)
{
    return DecodeJobs(sources, sizes, setup, listener).Run();
}

unsigned ProcessorCount()
{
    cpu_set_t usable;
    CPU_ZERO(&usable);
    if (::sched_getaffinity(0, sizeof usable, &usable) == 0 && CPU_COUNT(&usable) > 0)
        return static_cast<unsigned>(CPU_COUNT(&usable));
    return std::max(std::thread::hardware_concurrency(), 1u);
}

} // namespace vantrel::cli
