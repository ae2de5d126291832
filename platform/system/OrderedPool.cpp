#include "platform/system/OrderedPool.h"

#include <QThread>

#include <algorithm>
#include <chrono>

TOrderedPool::TOrderedPool(std::size_t count, int threads) : m_done(count, false)
{
    m_pool.setMaxThreadCount(threads > 0 ? threads : std::max(1, QThread::idealThreadCount()));
}

TOrderedPool::~TOrderedPool() { m_cancelled = true; }

void TOrderedPool::Start(std::size_t index, std::function<void()> work)
{
    m_pool.start([this, index, work = std::move(work)] {
        if (m_cancelled)
            return;
        work();
        Finish(index);
    });
}

void TOrderedPool::Finish(std::size_t index)
{
    {
        const std::lock_guard lock(m_mutex);
        m_done[index] = true;
    }
    m_changed.notify_all();
}

bool TOrderedPool::WaitFor(std::size_t index, int ms)
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(ms), [&] { return bool(m_done[index]); });
}
