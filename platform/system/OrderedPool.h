#pragma once
// Work items run on worker threads while the calling thread takes their ends in its own order:
// each item has an index, the caller starts it (or marks it through without work) and waits
// for the indices in turn. An item writes its result where the caller reads it before it is
// marked through; WaitFor returning true makes that write visible to the caller.
//
// Leaving scope drops the items not started yet and waits for those still running, so a caller
// that ends early (an exception from its own work) does not wait for the whole batch.
#include <QThreadPool>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <vector>

class TOrderedPool {
public:
    // count indices, at most threads items at a time (0: one per core).
    TOrderedPool(std::size_t count, int threads);
    ~TOrderedPool();
    TOrderedPool(const TOrderedPool&) = delete;
    TOrderedPool& operator=(const TOrderedPool&) = delete;

    // Runs work for index on a worker thread, then marks index through.
    void Start(std::size_t index, std::function<void()> work);
    // Marks index through (its item needs no work, or the work is done).
    void Finish(std::size_t index);
    // Waits at most ms for index; true once it is through.
    bool WaitFor(std::size_t index, int ms);

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<bool> m_done;
    std::atomic<bool> m_cancelled{false};
    // Last, so that it goes first: its destructor waits for the items still running.
    QThreadPool m_pool;
};
