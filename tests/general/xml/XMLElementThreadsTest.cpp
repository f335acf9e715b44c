#include "XMLTestSupport.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::xmltest;

// Trees are built and parsed on any thread: the one copy of each name is shared by all of them.
TEST(XMLElementThreads, ThreadsShareTheOneCopyOfEachName)
{
    constexpr int threads = 4;
    constexpr int names = 600;
    std::vector<std::vector<const std::string*>> seen(threads);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([t, &seen] {
            TXMLComplexElement root("Root");
            for (int round = 0; round < 3; ++round)
                for (int n = 0; n < names; ++n)
                    root.AddText("Shared" + std::to_string((n + t * 97) % names), "x");
            for (int n = 0; n < names; ++n)
                seen[t].push_back(&root.GetChild("Shared" + std::to_string(n))->GetElement());
        });
    for (std::thread& worker : workers)
        worker.join();
    for (int t = 1; t < threads; ++t)
        EXPECT_EQ(seen[t], seen[0]) << t;
    for (int n = 0; n < names; ++n)
        EXPECT_EQ(*seen[0][n], "Shared" + std::to_string(n));
}
