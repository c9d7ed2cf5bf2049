#pragma once
// The plot library's property text: "Name = value" lines with dotted prefixes for sub-objects, written
// and applied through the property registry. Ordinals (integers, characters, enumerations, Booleans,
// sets) are decimal ordinals, floats the shortest exact decimal with the user's decimal separator,
// strings carry CR as "#13" and LF as "#10". Values and lines are never cut.
//
// Each routine is available under both names the library uses for it.

#include "platform/core/Properties.h"

#include <string>
#include <string_view>

namespace kv {

// The user's decimal separator ("." or ","); tests may fix it (0 puts the locale's back).
char gLocaleDecimalSeparator();
void gSetLocaleDecimalSeparator(char separator);

// A float as property text: the shortest exact decimal, with `separator` as the decimal point.
std::string gFloatToPropertyText(double value, char separator);

// Appends one line per stored, writable property of `object` in declaration order (base classes
// first), recursing into persistent sub-objects with the full name as prefix. With `skipDefaults` an
// ordinal equal to its declared default is left out. Full names in `exclude` (any case) are skipped.
void gWritePropertyText(TObject& object, std::string_view prefix, TStrings& lines, bool skipDefaults,
                        const TStrings* exclude);
inline void gSavePropertiesToList(TObject& object, std::string_view prefix, TStrings& lines,
                                  bool differential, const TStrings* exclude) {
    gWritePropertyText(object, prefix, lines, differential, exclude);
}

// Applies one value to the property `name` (a dotted path descends into sub-objects). Names that
// match no property are ignored. Raises EConvertError for a value that does not fit the property, and
// for a path through an object property that holds no object.
void gSetPropertyText(TObject& object, std::string_view name, std::string_view value, char decimalSeparator);

// Applies lines from the top of `lines`, deleting each one applied. With a prefix, only lines whose
// name starts with exactly that prefix and "." belong; the first other line ends the call and stays.
// Without a prefix every line is applied. Conversion errors propagate; lines applied before stay.
void gReadPropertyText(TObject& object, std::string_view prefix, TStrings& lines);
inline void gLoadPropertiesFromList(TObject& object, std::string_view prefix, TStrings& lines) {
    gReadPropertyText(object, prefix, lines);
}

// When `name`'s part before its first "." equals `prefix` in any case (and the prefix is not empty):
// `head` is that part and `name` loses it and the "."; otherwise `head` is empty and `name` unchanged.
void gStripPropertyPrefix(std::string_view prefix, std::string& name, std::string& head);
inline void gStripPrefix(std::string_view prefix, std::string& name, std::string& found) {
    gStripPropertyPrefix(prefix, name, found);
}

// Finds the first line whose trimmed name (before the first "=") equals `key` in any case, gives its
// trimmed value and deletes the line; false when none matches.
bool gExtractPropertyValue(std::string_view key, std::string& value, TStrings& lines);
inline bool gExtractKeyValue(std::string_view key, std::string& value, TStrings& lines) {
    return gExtractPropertyValue(key, value, lines);
}

// Splits at the first `separator` into the trimmed texts before and after it; both empty without one.
void gSplitNameValue(std::string_view text, std::string_view separator, std::string& name,
                     std::string& value);
inline void gSplitText(std::string_view text, std::string_view separator, std::string& left,
                       std::string& right) {
    gSplitNameValue(text, separator, left, right);
}

// The object held by the published object-valued property `name`, nullptr otherwise.
TPersistent* gGetObjectProperty(TObject& object, std::string_view name);

// The kind of the writable published property with that full dotted name (any case), searching
// persistent sub-objects; tkUnknown when there is none.
TTypeKind gGetPropertyKind(TObject& object, std::string_view fullName);

// Trims blanks and control characters at both ends.
std::string gTrimText(std::string_view text);

// Property text files: the lines in the system code page, each ended by CR LF, written through a
// temporary file that then replaces the target; raises EKvError with the reason on failure.
void gSavePropertyLinesToFile(const TStrings& lines, const std::string& fileName);
// Reads such a file (any line ends) into lines; raises EKvError when it cannot be read.
void gLoadPropertyLinesFromFile(const std::string& fileName, TStrings& lines);

} // namespace kv
