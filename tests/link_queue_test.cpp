// The queue of found links between the survey's walk and its readers.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "support/TestHelpers.h"
#include "survey/LinkQueue.h"

namespace {
using Taken = CLinkQueue::Taken;
const size_t kMostHeld = 4096;  // the queue's own bound, private to it

FoundLink Link(size_t index) { return {index, std::to_wstring(index)}; }

struct Popped { Taken taken; std::vector<FoundLink> links; DWORD took; };  // took: in ms
Popped Pop(CLinkQueue& queue, DWORD waitMs, DWORD gatherMs)
{
    Popped popped{};
    const DWORD start = ::GetTickCount();
    popped.taken = queue.PopBatch(&popped.links, waitMs, gatherMs);
    popped.took = ::GetTickCount() - start;
    return popped;
}
}  // namespace

TEST(LinkQueue, HandsOverInWalkOrderInBatchesOfAtMostABatchAndEndsAfterTheLast)
{
    const std::pair<size_t, std::vector<size_t>> cases[] = {{0, {}}, {3, {3}}, {16, {16}}, {40, {16, 16, 8}}};
    for (const auto& [count, expected] : cases) {
        CLinkQueue queue;
        for (size_t i = 0; i < count; ++i) ASSERT_TRUE(queue.Push(Link(i)));
        queue.Finish();
        std::vector<size_t> batches;
        size_t next = 0;
        for (Popped popped; (popped = Pop(queue, 1000, 1000)).taken == Taken::kLinks;) {
            batches.push_back(popped.links.size());
            for (const FoundLink& link : popped.links) EXPECT_EQ(std::to_wstring(next++), link.strPath.str()) << count;
        }
        EXPECT_EQ(expected, batches) << count << " links";
    }
}

TEST(LinkQueue, AReaderWaitsForAFirstLinkGathersABatchUntilFullOrTimeAndIsWokenByFinishOrStop)
{
    CLinkQueue queue;
    Popped popped = Pop(queue, 100, 0);
    EXPECT_EQ(Taken::kTimedOut, popped.taken);
    EXPECT_GE(popped.took, 80u);
    for (size_t i = 0; i < 3; ++i) queue.Push(Link(i));
    popped = Pop(queue, 5000, 300);
    EXPECT_EQ(3u, popped.links.size()) << "what is there once the gather time is over";
    EXPECT_GE(popped.took, 250u) << "no batch was waited for";
    std::thread walk([&] { for (size_t i = 3; i < 3 + CLinkQueue::kBatch; ++i) queue.Push(Link(i)); });
    popped = Pop(queue, 20000, 20000);
    walk.join();
    EXPECT_EQ(CLinkQueue::kBatch, popped.links.size());
    EXPECT_LT(popped.took, 10000u) << "a full batch waited";
    for (bool stop : {false, true}) {
        CLinkQueue ended;
        std::thread end([&] { ::Sleep(100); stop ? ended.Stop() : ended.Finish(); });
        popped = Pop(ended, 20000, 20000);
        end.join();
        EXPECT_EQ(Taken::kEnd, popped.taken) << stop;
        EXPECT_LT(popped.took, 10000u) << stop;
    }
}

TEST(LinkQueue, AFullQueueHoldsTheWalkUntilABatchIsTakenOrTheQueueStopsAndAStoppedOneHandsOutNothing)
{
    for (bool stop : {false, true}) {
        CLinkQueue queue;
        std::atomic<size_t> pushed{0}, refused{0};
        std::thread walk([&] {
            for (size_t i = 0; i <= kMostHeld && refused == 0; ++i) ++(queue.Push(Link(i)) ? pushed : refused);
        });
        EXPECT_TRUE(PumpUntil([&] { return pushed == kMostHeld; }));
        ::Sleep(200);  // time to run past the bound, were it not held
        EXPECT_EQ(kMostHeld, pushed.load()) << "the walk ran on past a full queue";
        if (stop) queue.Stop();
        else EXPECT_EQ(CLinkQueue::kBatch, Pop(queue, 1000, 0).links.size());
        EXPECT_TRUE(PumpUntil([&] { return pushed + refused == kMostHeld + 1; })) << stop;
        queue.Stop();  // lets the walk go whatever happened
        walk.join();
        EXPECT_EQ(stop ? 1u : 0u, refused.load());
        EXPECT_EQ(Taken::kEnd, Pop(queue, 0, 0).taken) << "links were handed out after the stop";
    }
}
