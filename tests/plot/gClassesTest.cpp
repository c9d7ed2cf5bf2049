#include "plot/gClasses.h"

#include "ErrorOf.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace kv;

namespace {

TEST(gMemoryStream, WriteStringLimitAndLineEnd) {
    TgMemoryStream s;
    EXPECT_EQ(ErrorOf([&] { s.WriteString(std::string(255, 'a')); }), "");
    EXPECT_EQ(s.Size(), 255u);
    EXPECT_EQ(ErrorOf([&] { s.WriteString(std::string(256, 'a')); }), "String Exceeds 255 Characters");
    EXPECT_EQ(s.Size(), 255u) << "a refused string writes nothing";
    s.WriteStringCRLF("x");
    EXPECT_EQ(std::string(s.Data().end() - 3, s.Data().end()), "x\r\n");
}

TEST(gMemoryStream, ReadCharDeliversTheLastByteAndRaisesOnlyPastIt) {
    TgMemoryStream s;
    s.LoadFromBytes("ab");
    EXPECT_EQ(s.ReadChar(), 'a');
    EXPECT_EQ(s.ReadChar(), 'b');
    EXPECT_EQ(ErrorOf([&] { s.ReadChar(); }), "EOF");
}

std::unique_ptr<TgXMLMemoryStream> Xml(const std::string& text) {
    auto s = std::make_unique<TgXMLMemoryStream>();
    s->LoadFromBytes(text);
    return s;
}

TEST(gXMLMemoryStream, ReadsElementsPiecesAndRefusesMalformedClosings) {
    auto s = Xml("<Scheme>\r\n<Name>Dark</Name>\r\n");
    std::string value;
    s->GetElement("Name", value);
    EXPECT_EQ(value, "Dark");

    // Closing tags are passed over on the way to the next opening tag; attributes are skipped.
    s = Xml("</A><B x=\"1\">v</B>");
    EXPECT_EQ(s->GetNameElementStart(), "B");
    EXPECT_EQ(s->GetElementValue(), "v");
    EXPECT_EQ(s->GetNameElementStop(), "B");

    s = Xml("<Properties>\r\nDark text<x>");
    EXPECT_EQ(s->PeekNextPiece(), "Properties");
    EXPECT_EQ(s->GetNextPiece(), "Properties");
    EXPECT_EQ(s->GetNextPiece(), "Dark text") << "a text piece keeps its first character";
    EXPECT_EQ(s->GetNextPiece(), "x");

    s = Xml("x</A>");
    EXPECT_EQ(ErrorOf([&] { s->GetNameElementStop(); }), "XML Parsing Error - \"<\" not Found");
    s = Xml("<A>");
    EXPECT_EQ(ErrorOf([&] { s->GetNameElementStop(); }), "XML Parsing Error - \"/\" not Found");

    TgXMLMemoryStream w;
    w.StartElement("S");
    w.WriteElement("Name", "v");
    w.EndElement("S");
    EXPECT_EQ(std::string(w.Data().begin(), w.Data().end()), "<S>\r\n<Name>v</Name>\r\n</S>\r\n");
}

TEST(gPlotMinMaxPoint, KeepsFirstLastAndExtremes) {
    TgPlotMinMaxPoint p;
    EXPECT_TRUE(p.Empty);
    for (double y : {3.0, 1.0, 2.0})
        p.AddData(7, 0.5, y);
    EXPECT_FALSE(p.Empty);
    EXPECT_EQ(p.XPixels, 7);
    EXPECT_EQ(p.YFirst, 3);
    EXPECT_EQ(p.YLast, 2);
    EXPECT_EQ(p.YMax, 3);
    EXPECT_EQ(p.YMin, 1);
    TgPlotMinMaxPoint copy;
    copy.AssignDown(p);
    EXPECT_EQ(copy.YMin, 1);
    EXPECT_FALSE(copy.Empty);
    p.Clear();
    EXPECT_TRUE(p.Empty);
    EXPECT_EQ(p.YMax, -1e301);
}

TEST(gLimitDataList, GrowsInSteps) {
    TgLimitDataList list;
    std::vector<int> capacities;
    for (int i = 0; i < 77; ++i) {
        int before = list.Capacity();
        EXPECT_EQ(list.Add(i, i + 1, i - 1), i);
        if (list.Capacity() != before)
            capacities.push_back(list.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95}));
    EXPECT_EQ(list.UpperLimit(10), 11);
    EXPECT_EQ(list.LowerLimit(10), 9);
    EXPECT_EQ(ErrorOf([&] { list.Position(77); }), "Index out of Bounds");
    EXPECT_EQ(ErrorOf([&] { list.Position(-1); }), "Index out of Bounds");
    EXPECT_EQ(ErrorOf([&] { list.SetCapacity(0x7FFFFFF + 1); }), "Exceed Maximum List Size");
    list.SetCapacity(5);
    EXPECT_EQ(list.Count(), 5);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 0);
}

} // namespace
