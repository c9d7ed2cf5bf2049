#pragma once
// The value stream in which the plot library carries its collections (object managers, data items,
// item groups, translations) inside a window layout: a sequence of typed values with nested lists,
// laid out as the layout stream lays out a collection:
//
//     collection, then per element: list begin, property name / value pairs, list end; then list end.
//
// It has a line-per-value text form so that it can travel as one layout value and be read back.

#include "platform/core/Classes.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

class TComponent;

enum class TValueType { vaNull, vaList, vaCollection, vaPropName, vaString, vaInt };

struct TgStreamValue {
    TValueType Type = TValueType::vaNull;
    std::string Text;
    friend bool operator==(const TgStreamValue&, const TgStreamValue&) = default;
};

class TgWriter {
public:
    void WriteValue(TValueType type);
    void WriteListBegin() { WriteValue(TValueType::vaList); }
    // vaNull: ends a list or a collection.
    void WriteListEnd() { WriteValue(TValueType::vaNull); }
    void WritePropName(std::string_view name);
    void WriteString(std::string_view text);
    void WriteInteger(long long value);

    // The component the written names are relative to (the plot control of a manager).
    TComponent* RootAncestor = nullptr;

    const std::vector<TgStreamValue>& Values() const { return FValues; }
    // One line per value: a letter for the type, then a blank and the escaped text.
    std::string Text() const;

private:
    std::vector<TgStreamValue> FValues;
};

class TgReader {
public:
    TgReader() = default;
    explicit TgReader(std::vector<TgStreamValue> values) : FValues(std::move(values)) {}
    // Raises EReadError for text that is not a value stream.
    static TgReader FromText(std::string_view text);

    // The type of the next value without reading it; vaNull at the end of the stream.
    TValueType NextValue() const;
    // Reads the next value's type; raises EReadError at the end of the stream.
    TValueType ReadValue();
    bool EndOfList() const { return NextValue() == TValueType::vaNull; }
    void ReadListBegin();
    void ReadListEnd();
    std::string ReadPropName();
    std::string ReadString();
    long long ReadInteger();
    bool AtEnd() const { return FPos >= FValues.size(); }

private:
    const TgStreamValue& Take(TValueType expected);
    std::vector<TgStreamValue> FValues;
    std::size_t FPos = 0;
};

class EReadError : public EKvError {
public:
    using EKvError::EKvError;
};

// Writes every stored published property of `object` that can be read and written, in declaration
// order (sub-objects' properties under dotted names); ordinals equal to their declared default are
// left out, every other value is written so that reading restores it whatever the constructor set.
void gWriteProperties(TgWriter& writer, TObject& object);
// Reads one property name and value into `object`. A name the object does not publish is passed
// over; a value that does not fit raises EReadError naming the property.
void gReadProperty(TgReader& reader, TObject& object);
// Reads properties up to (not including) the list end.
void gReadProperties(TgReader& reader, TObject& object);

} // namespace kv
