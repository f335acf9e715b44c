#include "XMLTestSupport.h"

#include "general/xml/XMLElement.h"

#include <gtest/gtest.h>

using namespace kelvorn;
using namespace kelvorn::xmltest;

// Ownership across arena and heap elements; the sanitizer build proves that nothing is freed
// early or twice and nothing leaks.

TEST(XMLArena, ATreeBuiltUnderAScopeOutlivesTheScope)
{
    std::unique_ptr<TXMLComplexElement> tree;
    {
        TXMLArenaScope scope;
        tree = std::make_unique<TXMLComplexElement>("Doc");
        for (int i = 0; i < 5000; ++i)
            tree->AddComplex("Item")->AddText("Text", std::string(40, 'a' + i % 26));
    }
    size_t count = 0;
    for (const TXMLItem* item = tree->GetFirstChild(); item; item = item->GetNext())
        count += item->GetChild("Text")->GetText() == std::string(40, 'a' + count % 26);
    EXPECT_EQ(count, 5000u);
    tree.reset();
}

TEST(XMLArena, HeapAndArenaElementsMixInOneTree)
{
    TXMLComplexElement root("Root"); // on the stack
    TXMLComplexElement* fromArena;
    {
        TXMLArenaScope scope;
        fromArena = root.AddComplex("A");
        fromArena->AddText("T", "1");
        {
            TXMLArenaScope inner;
            fromArena->AddText("U", "2");
        }
        fromArena->AddText("V", "3");
    }
    fromArena->AddText("W", "4"); // from the heap
    root.AddComplex("B")->AddText("X", "5");
    EXPECT_EQ(Render(root), "Root(A(T=1,U=2,V=3,W=4),B(X=5))");

    // Backing off frees arena and heap elements alike.
    fromArena->DeleteChildrenAfter(fromArena->GetFirstChild());
    EXPECT_EQ(Render(root), "Root(A(T=1),B(X=5))");
    root.DeleteChildrenAfter(nullptr);
    EXPECT_EQ(Render(root), "Root");
}

TEST(XMLArena, AScopeWithoutElementsCostsNothingLater)
{
    for (int i = 0; i < 1000; ++i)
        TXMLArenaScope scope;
    TXMLArenaScope scope;
    auto element = std::make_unique<TXMLStringElement>("S", "x");
    EXPECT_EQ(element->GetText(), "x");
}
