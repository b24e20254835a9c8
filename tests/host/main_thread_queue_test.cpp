// Cross-thread sends: run on the main thread, in order, and never hang a closing host.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "main_thread_queue.h"
#include "waker.h"

namespace dravo {
namespace {

using namespace std::chrono_literals;

class QueueTest : public ::testing::Test {
protected:
    QueueTest()
        : queue([this](const Message& message, bool posted) { return handle(message, posted); },
                [this] { waker.wake(); }) {}

    Reply handle(const Message& message, bool posted) {
        EXPECT_EQ(std::this_thread::get_id(), main_thread);
        handled.push_back(message);
        posted_flags.push_back(posted);
        if (message.message == 99) {
            std::this_thread::sleep_for(30ms);  // a slow message keeps the main thread busy
        }
        return {static_cast<std::intptr_t>(message.wparam * 2), {}};
    }
    // The main loop: drain until done() holds.
    template <typename Done>
    void run_until(Done done) {
        const auto limit = std::chrono::steady_clock::now() + 10s;
        while (!done() && std::chrono::steady_clock::now() < limit) {
            waker.clear();
            queue.drain();
            waker.wait(20);
        }
    }

    const std::thread::id main_thread = std::this_thread::get_id();
    Waker waker;
    std::vector<Message> handled;  // main thread only
    std::vector<bool> posted_flags;
    MainThreadQueue queue;
};

TEST_F(QueueTest, SendFromTheMainThreadRunsAtOnce) {
    EXPECT_EQ(queue.send({1, 21, 0}).value, 42);
    ASSERT_EQ(handled.size(), 1U);
    EXPECT_FALSE(posted_flags[0]);
}

TEST_F(QueueTest, SendsFromOtherThreadsRunOnTheMainThreadInOrder) {
    constexpr int kThreads = 3;
    constexpr int kMessages = 200;
    std::atomic<int> finished{0};
    std::atomic<int> wrong_results{0};
    std::vector<std::thread> senders;
    for (int t = 0; t < kThreads; ++t) {
        senders.emplace_back([&, t] {
            for (int i = 0; i < kMessages; ++i) {
                // Every fourth message is posted between the sends of the same thread.
                const Message message{static_cast<std::uint32_t>(t), static_cast<std::uintptr_t>(i),
                                      0};
                if (i % 4 == 3) {
                    queue.post(message);
                } else if (queue.send(message).value != 2 * i) {
                    ++wrong_results;
                }
            }
            ++finished;
        });
    }
    run_until([&] { return finished == kThreads && handled.size() == kThreads * kMessages; });
    for (auto& sender : senders) {
        sender.join();
    }
    queue.drain();
    EXPECT_EQ(wrong_results, 0);
    ASSERT_EQ(handled.size(), static_cast<std::size_t>(kThreads * kMessages));
    std::vector<std::uintptr_t> next(kThreads, 0);
    for (std::size_t k = 0; k < handled.size(); ++k) {
        const auto& message = handled[k];
        EXPECT_EQ(message.wparam, next[message.message]++) << "out of order for one sender";
        EXPECT_EQ(posted_flags[k], message.wparam % 4 == 3);
    }
}

TEST_F(QueueTest, ASendWaitsWhileTheMainThreadIsBusy) {
    std::atomic<bool> answered{false};
    std::intptr_t result = 0;
    std::thread sender([&] {
        queue.post({99, 0, 0});  // slow
        result = queue.send({5, 8, 0}).value;
        answered = true;
    });
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(answered) << "nothing runs without the main thread";
    run_until([&] { return answered.load(); });
    sender.join();
    EXPECT_EQ(result, 16);
    ASSERT_EQ(handled.size(), 2U);
    EXPECT_EQ(handled[0].message, 99U);
}

TEST_F(QueueTest, CloseReleasesWaitingSendersWithZero) {
    std::atomic<int> released{0};
    std::vector<std::thread> senders;
    for (int t = 0; t < 3; ++t) {
        senders.emplace_back([&] {
            if (queue.send({1, 5, 0}).value == 0) {
                ++released;
            }
        });
    }
    std::this_thread::sleep_for(30ms);  // let them block
    queue.close();
    for (auto& sender : senders) {
        sender.join();  // would hang if close left them waiting
    }
    EXPECT_EQ(released, 3);
    EXPECT_TRUE(handled.empty());

    std::intptr_t late = -1;
    std::thread after([&] { late = queue.send({1, 5, 0}).value; });
    after.join();
    EXPECT_EQ(late, 0);
    EXPECT_EQ(queue.send({1, 5, 0}).value, 0) << "also from the main thread";
    EXPECT_FALSE(queue.post({1, 5, 0}));
    EXPECT_FALSE(queue.post_task([] {}));
    EXPECT_FALSE(queue.drain());
}

TEST_F(QueueTest, TasksRunInTurnAndADrainInsideAHandlerDoesNothing) {
    std::vector<int> order;
    std::thread poster([&] {
        queue.post_task([&] {
            order.push_back(1);
            EXPECT_FALSE(queue.drain());
        });
        queue.post({3, 0, 0});
        queue.post_task([&] { order.push_back(2); });
    });
    poster.join();
    EXPECT_TRUE(queue.drain());
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_EQ(handled.size(), 1U);
    EXPECT_FALSE(queue.drain());
}

}  // namespace
}  // namespace dravo
