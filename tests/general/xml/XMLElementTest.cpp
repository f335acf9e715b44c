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

// An element holds only a pointer to its name: every element of one name shares one copy, and
// names that a thread's table puts in one slot (same length, same first and last eight bytes)
// still come back as they were given.
TEST(XMLElement, NamesAreKeptOnceAndComeBackExactly)
{
    // clang-format off
    const std::vector<std::string> names = {
        "", "A", "AB", "ABC", "ABCD", "ABCDEFG", "ABCDEFGH", std::string(15, 'n'),
        std::string(16, 'n'), std::string(17, 'n'), std::string(200, 'n'),
        "SimpleOneSampler", "SimpleOneSamplex", "Aaaaaaaa1zzzzzzzz", "Aaaaaaaa2zzzzzzzz",
        "Aaaaaaaa3zzzzzzzz", "A1C", "A2C", std::string("A\0B", 3), std::string("A\0C", 3)};
    // clang-format on
    TXMLComplexElement root("Root");
    for (int round = 0; round < 3; ++round)
        for (const std::string& name : names) {
            root.AddText(name, name + "!");
            root.AddComplex(name);
        }
    size_t i = 0;
    for (const TXMLItem* item = root.GetFirstChild(); item; item = item->GetNext(), ++i) {
        const std::string& name = names[(i / 2) % names.size()];
        ASSERT_EQ(item->GetElement(), name) << i;
        EXPECT_EQ(&item->GetElement(), &TXMLName(name).Text()) << i;
        if (item->IsText()) {
            EXPECT_EQ(item->GetText(), name + "!");
        }
    }
    EXPECT_EQ(i, 6 * names.size());

    // More names than a thread's table has slots.
    TXMLComplexElement many("Many");
    for (int n = 0; n < 5000; ++n)
        many.AddComplex("N" + std::to_string(n));
    int n = 0;
    for (const TXMLItem* item = many.GetFirstChild(); item; item = item->GetNext(), ++n)
        ASSERT_EQ(item->GetElement(), "N" + std::to_string(n));
    EXPECT_EQ(&TXMLName("N17").Text(), &many.GetChild("N17")->GetElement());
}

// Arena and heap elements in either order on one list: each walk frees both kinds, and the
// sanitizer build proves nothing is freed twice or left behind.
TEST(XMLElement, ListsMixingArenaAndHeapElementsAreFreedEitherWay)
{
    for (bool arenaFirst : {true, false}) {
        auto root = std::make_unique<TXMLComplexElement>("Root");
        auto addArena = [&root] {
            TXMLArenaScope scope;
            TXMLComplexElement* a = root->AddComplex("A");
            a->AddText("T", std::string(40, 'a'));
            a->AppendChild(std::make_unique<TXMLComplexElement>("Deep"));
        };
        if (arenaFirst)
            addArena();
        TXMLComplexElement* heap = root->AddComplex("H");
        {
            TXMLArenaScope scope;
            heap->AddText("U", "arena text under a heap element");
        }
        heap->AddComplex("HH")->AddText("V", "x");
        if (!arenaFirst)
            addArena();
        EXPECT_EQ(Render(*root), arenaFirst ? "Root(A(T=" + std::string(40, 'a') +
                                                  ",Deep),H(U=arena text under a heap element,"
                                                  "HH(V=x)))"
                                            : "Root(H(U=arena text under a heap element,HH(V="
                                              "x)),A(T=" +
                                                  std::string(40, 'a') + ",Deep))");
        root.reset();
    }
}

// What a wrong-kind accessor gives, after its assertion: nothing, and the element stays usable.
TEST(XMLElement, WrongKindAccessorsAssertAndGiveNothing)
{
    RecordingSink sink;
    TXMLComplexElement root("Root");
    TXMLItem* text = root.AddText("T", "x");
    TXMLItem* complex = root.AddComplex("C");
    EXPECT_EQ(text->GetChild("T"), nullptr);
    EXPECT_EQ(text->GetFirstChild(), nullptr);
    EXPECT_EQ(complex->GetText(), "");
    ASSERT_EQ(sink.texts.size(), 3u);
    const char* conditions[] = {"GetChild on a text element", "GetFirstChild on a text element",
                                "GetText on a complex element"};
    for (int i = 0; i < 3; ++i)
        EXPECT_NE(sink.texts[i].find(conditions[i]), std::string::npos) << sink.texts[i];
    EXPECT_EQ(static_cast<const TXMLItem&>(root).GetChild("C"), complex);
    EXPECT_EQ(text->GetText(), "x");
}
