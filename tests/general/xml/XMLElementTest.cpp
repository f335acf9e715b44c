#include "XMLTestSupport.h"

#include <gtest/gtest.h>

using namespace kelvorn;
using namespace kelvorn::xmltest;

// Ownership across arena and heap elements: the sanitizer build proves that nothing is freed
// early or twice and nothing leaks.
TEST(XMLElement, ArenaAndHeapElementsMixAndOutliveTheirScope)
{
    TXMLComplexElement root("Root");
    TXMLComplexElement* fromArena;
    {
        TXMLArenaScope scope;
        fromArena = root.AddComplex("A");
        EXPECT_EQ(fromArena->AppendChild(std::make_unique<TXMLStringElement>("T", "1")), nullptr);
        {
            TXMLArenaScope inner;
            fromArena->AddText("U", "2");
        }
        for (int i = 0; i < 5000; ++i)
            root.AddComplex("Many")->AddText("V", std::string(40, 'a' + i % 26));
    }
    TXMLItem* first = fromArena->GetFirstChild();
    EXPECT_EQ(fromArena->AppendChild(std::make_unique<TXMLStringElement>("W", "4")),
              first->GetNext());
    root.DeleteChildrenAfter(root.GetChild("Many")->GetNext());
    EXPECT_EQ(Render(root), "Root(A(T=1,U=2,W=4),Many(V=aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa),"
                            "Many(V=bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb))");
    EXPECT_EQ(root.GetChild("C"), nullptr);

    // Backing off keeps the given child as the last one.
    fromArena->DeleteChildrenAfter(first);
    EXPECT_EQ(fromArena->GetLastChild(), first);
    fromArena->AddText("E", "5");
    EXPECT_EQ(Render(*fromArena), "A(T=1,E=5)");
    root.DeleteChildrenAfter(nullptr);
    EXPECT_EQ(root.GetFirstChild(), nullptr);
    EXPECT_EQ(root.GetLastChild(), nullptr);
}

TEST(XMLElement, MillionSiblingsAndDeepNestingDestroyWithoutRecursion)
{
    auto root = std::make_unique<TXMLComplexElement>("Root");
    for (int i = 0; i < 1000000; ++i)
        root->AddText("V", "x");
    TXMLComplexElement* deep = root->AddComplex("D");
    for (int i = 0; i < 200000; ++i)
        deep = deep->AddComplex("D");
    root.reset(); // would overflow the stack if destruction recursed
}
