#include "LiveEvents.h"

#include <algorithm>
#include <utility>

std::optional<LiveEvents::Stream::News> LiveEvents::Stream::next(std::chrono::milliseconds wait)
{
    std::unique_lock guard(lock_);
    if (!ready_.wait_for(guard, wait, [this] { return closed_ || !queue_.empty(); }) || queue_.empty())
        return std::nullopt;
    News news { std::move(queue_.front()), std::exchange(dropped_, 0) };
    queue_.pop_front();
    return news;
}

bool LiveEvents::Stream::isClosed() const
{
    std::lock_guard guard(lock_);
    return closed_;
}

void LiveEvents::Stream::push(const std::string& text)
{
    {
        std::lock_guard guard(lock_);
        if (queue_.size() == queueLength) {
            queue_.pop_front();
            ++dropped_;
        }
        queue_.push_back(text);
    }
    ready_.notify_one();
}

void LiveEvents::Stream::close()
{
    {
        std::lock_guard guard(lock_);
        closed_ = true;
    }
    ready_.notify_all();
}

std::shared_ptr<LiveEvents::Stream> LiveEvents::open(std::size_t maximumStreams)
{
    std::lock_guard guard(lock_);
    std::erase_if(streams_, [](const std::weak_ptr<Stream>& stream) { return stream.expired(); });
    if (closed_ || streams_.size() >= maximumStreams)
        return nullptr;
    auto stream = std::make_shared<Stream>();
    streams_.push_back(stream);
    return stream;
}

void LiveEvents::publish(const std::string& text)
{
    std::vector<std::shared_ptr<Stream>> open;
    {
        std::lock_guard guard(lock_);
        for (const std::weak_ptr<Stream>& weak : streams_)
            if (std::shared_ptr<Stream> stream = weak.lock())
                open.push_back(std::move(stream));
    }
    for (const std::shared_ptr<Stream>& stream : open)
        stream->push(text);
}

void LiveEvents::close()
{
    std::vector<std::shared_ptr<Stream>> open;
    {
        std::lock_guard guard(lock_);
        closed_ = true;
        for (const std::weak_ptr<Stream>& weak : streams_)
            if (std::shared_ptr<Stream> stream = weak.lock())
                open.push_back(std::move(stream));
        streams_.clear();
    }
    for (const std::shared_ptr<Stream>& stream : open)
        stream->close();
}
