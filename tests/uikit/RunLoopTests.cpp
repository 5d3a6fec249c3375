#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Lifetime.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using foundation::RunLoop;

namespace {

struct Target {
    foundation::Lifetime lifetime;
    std::vector<std::string>* log;
    void perform(double delay, std::string text) {
        RunLoop::main().perform(this, lifetime.weak(), delay, [this, text] { log->push_back(text); });
    }
};

class RunLoopTest : public ::testing::Test {
protected:
    void SetUp() override { RunLoop::main().useVirtualTime(); }
    void TearDown() override { RunLoop::main().useVirtualTime(); }
};

TEST_F(RunLoopTest, DelayedPerformsRunInDueOrderOnTheVirtualClock) {
    std::vector<std::string> log;
    Target target{{}, &log};
    target.perform(0.75, "late");
    target.perform(0.25, "early");
    target.perform(0.25, "early-second");
    RunLoop::main().advance(0.2);
    EXPECT_TRUE(log.empty());
    EXPECT_DOUBLE_EQ(RunLoop::main().now(), 0.2);
    RunLoop::main().advance(0.05);
    EXPECT_EQ(log, (std::vector<std::string>{"early", "early-second"}));
    RunLoop::main().advance(0.5);
    EXPECT_EQ(log.size(), 3u);
    EXPECT_EQ(log.back(), "late");
}

TEST_F(RunLoopTest, CancelByTargetRemovesOnlyThatTargetsRequests) {
    std::vector<std::string> log;
    Target a{{}, &log};
    Target b{{}, &log};
    a.perform(0.1, "a1");
    a.perform(0.2, "a2");
    b.perform(0.1, "b");
    RunLoop::main().cancelPerformRequests(&a);
    RunLoop::main().advance(1.0);
    EXPECT_EQ(log, (std::vector<std::string>{"b"}));
    // Nothing to cancel, and a null target, are harmless.
    RunLoop::main().cancelPerformRequests(&a);
    RunLoop::main().cancelPerformRequests(nullptr);
}

TEST_F(RunLoopTest, NothingFiresIntoADestroyedTarget) {
    std::vector<std::string> log;
    {
        auto target = std::make_unique<Target>(Target{{}, &log});
        target->perform(0.5, "gone");
    }
    RunLoop::main().advance(1.0);
    EXPECT_TRUE(log.empty());

    foundation::Lifetime* watched = nullptr;
    int timerFires = 0;
    std::shared_ptr<foundation::Timer> timer;
    {
        foundation::Lifetime lifetime;
        watched = &lifetime;
        timer = foundation::Timer::scheduledTimer(0.1, true, [&](foundation::Timer&) { ++timerFires; }, lifetime.weak());
        RunLoop::main().advance(0.25);
        EXPECT_EQ(timerFires, 2);
    }
    (void)watched;
    RunLoop::main().advance(1.0);
    EXPECT_EQ(timerFires, 2);
    EXPECT_FALSE(timer->isValid());
}

TEST_F(RunLoopTest, OneShotAndRepeatingTimers) {
    int once = 0;
    int repeated = 0;
    auto oneShot = foundation::Timer::scheduledTimer(0.5, false, [&](foundation::Timer&) { ++once; });
    auto repeating = foundation::Timer::scheduledTimer(0.3, true, [&](foundation::Timer& timer) {
        if (++repeated == 3) timer.invalidate();
    });
    RunLoop::main().advance(0.49);
    EXPECT_EQ(once, 0);
    EXPECT_EQ(repeated, 1);
    RunLoop::main().advance(0.02);
    EXPECT_EQ(once, 1);
    EXPECT_FALSE(oneShot->isValid());
    RunLoop::main().advance(5.0);
    EXPECT_EQ(once, 1);
    EXPECT_EQ(repeated, 3);
    EXPECT_FALSE(repeating->isValid());

    // A timer dropped by everyone but the run loop keeps running until invalidated.
    int unowned = 0;
    std::weak_ptr<foundation::Timer> weak = foundation::Timer::scheduledTimer(0.1, true, [&](foundation::Timer&) { ++unowned; });
    RunLoop::main().advance(0.35);
    EXPECT_EQ(unowned, 3);
    ASSERT_FALSE(weak.expired());
    weak.lock()->invalidate();
    EXPECT_TRUE(weak.expired());
    RunLoop::main().advance(1.0);
    EXPECT_EQ(unowned, 3);
}

TEST_F(RunLoopTest, GlobalQueueHopsBackToTheMainQueue) {
    std::atomic<bool> ranOnWorker{false};
    std::optional<std::thread::id> hopThread;
    auto mainThread = std::this_thread::get_id();
    foundation::DispatchQueue::global().async([&] {
        ranOnWorker = std::this_thread::get_id() != mainThread;
        foundation::DispatchQueue::main().async([&] { hopThread = std::this_thread::get_id(); });
    });
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return hopThread.has_value(); }));
    EXPECT_TRUE(ranOnWorker);
    EXPECT_EQ(*hopThread, mainThread);
    // The virtual clock did not move while waiting.
    EXPECT_DOUBLE_EQ(RunLoop::main().now(), 0.0);

    std::vector<int> order;
    foundation::DispatchQueue::main().async([&] { order.push_back(1); });
    foundation::DispatchQueue::main().asyncAfter(0.5, [&] { order.push_back(3); });
    foundation::DispatchQueue::main().async([&] { order.push_back(2); });
    EXPECT_TRUE(order.empty());
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    RunLoop::main().advance(0.5);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));

    {
        foundation::Lifetime lifetime;
        foundation::DispatchQueue::main().asyncAfter(0.1, [&] { order.push_back(4); }, lifetime.weak());
    }
    RunLoop::main().advance(1.0);
    EXPECT_EQ(order.size(), 3u);
}

TEST_F(RunLoopTest, RealTimeRunsDueWork) {
    RunLoop::main().useRealTime();
    bool fired = false;
    RunLoop::main().schedule(0.01, [&] { fired = true; });
    RunLoop::main().advance(0.05);
    EXPECT_TRUE(fired);
    EXPECT_GE(RunLoop::main().now(), 0.05);
}

// What a host needs to sleep between events: when work is next due, running what is due without
// waiting, and a wake-up when another thread posts.
TEST_F(RunLoopTest, TellsItsNextDueTimeRunsDueWorkAndWakesAWaitingHost) {
    auto& loop = RunLoop::main();
    EXPECT_FALSE(loop.nextDueTime().has_value());
    std::vector<std::string> log;
    {
        Target gone{{}, &log};
        gone.perform(0.1, "gone");
    }
    EXPECT_FALSE(loop.nextDueTime().has_value());  // work for a gone target never wakes anyone
    Target target{{}, &log};
    target.perform(0.75, "late");
    auto timer = foundation::Timer::scheduledTimer(0.25, false, [&](foundation::Timer&) { log.push_back("timer"); });
    EXPECT_EQ(loop.nextDueTime(), 0.25);
    EXPECT_EQ(loop.runUntilIdle(), 0u);
    loop.advance(0.25);
    EXPECT_EQ(loop.nextDueTime(), 0.75);
    target.perform(0, "now");
    target.perform(0, "now too");
    EXPECT_EQ(loop.runUntilIdle(), 2u);
    EXPECT_EQ(log, (std::vector<std::string>{"timer", "now", "now too"}));

    std::atomic<int> wakeUps{0};
    loop.setWakeUpHandler([&] { ++wakeUps; });
    std::thread worker([&] { loop.post([&] { log.push_back("posted"); }); });
    EXPECT_TRUE(loop.waitForPosted(std::nullopt));
    worker.join();
    EXPECT_EQ(wakeUps, 1);
    EXPECT_EQ(loop.nextDueTime(), loop.now());
    EXPECT_EQ(loop.runUntilIdle(), 1u);
    EXPECT_EQ(log.back(), "posted");
    EXPECT_FALSE(loop.waitForPosted(0.0));
    loop.setWakeUpHandler({});
}

TEST(NotificationCenterTest, BlockObserversTokensAndRemoval) {
    auto& center = foundation::NotificationCenter::defaultCenter();
    int sender = 0;
    int other = 0;
    std::vector<std::string> seen;
    auto any = center.addObserver("Ping", nullptr, [&](const foundation::Notification& n) {
        seen.push_back("any:" + (n.userInfo.count("k") ? n.userInfo.at("k") : std::string()));
    });
    auto fromSender = center.addObserver("Ping", &sender, [&](const foundation::Notification&) { seen.push_back("sender"); });
    center.post("Ping", &other, {{"k", "v"}});
    EXPECT_EQ(seen, (std::vector<std::string>{"any:v"}));
    seen.clear();
    center.post("Ping", &sender);
    EXPECT_EQ(seen, (std::vector<std::string>{"any:", "sender"}));
    seen.clear();
    center.post("Pong");
    EXPECT_TRUE(seen.empty());

    center.removeObserver(any);
    center.post("Ping", &sender);
    EXPECT_EQ(seen, (std::vector<std::string>{"sender"}));
    seen.clear();
    // A dropped token ends its observation.
    fromSender.reset();
    center.post("Ping", &sender);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(center.observerCount("Ping"), 0u);

    // An observer removed by an earlier block of the same post is not called.
    foundation::NotificationCenter::Token second;
    auto first = center.addObserver("Once", nullptr, [&](const foundation::Notification&) {
        seen.push_back("first");
        center.removeObserver(second);
    });
    second = center.addObserver("Once", nullptr, [&](const foundation::Notification&) { seen.push_back("second"); });
    center.post("Once");
    EXPECT_EQ(seen, (std::vector<std::string>{"first"}));
}

TEST(NotificationCenterTest, PostsFromAWorkerAreDeliveredOnTheMainThread) {
    RunLoop::main().useVirtualTime();
    auto& center = foundation::NotificationCenter::defaultCenter();
    std::optional<std::thread::id> deliveredOn;
    auto token = center.addObserver("Background", nullptr, [&](const foundation::Notification&) {
        deliveredOn = std::this_thread::get_id();
    });
    std::thread worker([&] { center.post("Background"); });
    worker.join();
    EXPECT_FALSE(deliveredOn.has_value());
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return deliveredOn.has_value(); }));
    EXPECT_EQ(*deliveredOn, std::this_thread::get_id());
}

}  // namespace
