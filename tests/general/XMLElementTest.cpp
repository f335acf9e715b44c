#include "general/xml/XMLElement.h"

#include <gtest/gtest.h>

using namespace kelvorn;

TEST(XMLElement, AppendReturnsPreviousLastChild)
{
    TXMLComplexElement root("Root");
    EXPECT_EQ(root.AppendChild(std::make_unique<TXMLStringElement>("A", "1")), nullptr);
    TXMLItem* first = root.GetFirstChild();
    EXPECT_EQ(root.AppendChild(std::make_unique<TXMLComplexElement>("B")), first);
    EXPECT_EQ(root.GetLastChild()->GetElement(), "B");
    EXPECT_EQ(root.GetChild("A")->GetText(), "1");
    EXPECT_EQ(root.GetChild("C"), nullptr);
}

TEST(XMLElement, DeleteChildrenAfterKeepsTheGivenChildAsLast)
{
    TXMLComplexElement root("Root");
    root.AddText("A", "1");
    TXMLItem* b = root.AddComplex("B");
    root.AddText("C", "3");
    root.AddText("D", "4");
    root.DeleteChildrenAfter(b);
    EXPECT_EQ(root.GetLastChild(), b);
    EXPECT_EQ(b->GetNext(), nullptr);
    root.AddText("E", "5");
    EXPECT_EQ(b->GetNext()->GetElement(), "E");
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
    SUCCEED();
}
