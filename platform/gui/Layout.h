#pragma once
// Window layouts: a text form of a component tree, read and written through the property registry.
//
//     object fmExit: TfmExit
//       BorderIcons = []
//       Caption = "Information"
//       OnShow = FormShow
//       object imBase: TImage
//         Picture = resource "pictures/exit.png"
//       end
//       object btnOK: TButton
//         Caption = "OK"
//         OnClick = btnOKClick
//       end
//     end
//
// Values: "text" (UTF-8, with \" \\ \n \r \t \xHH escapes), integers (also $hex), floats, identifiers
// (enumerations, colours, handler and component names), sets [a, b], string lists ["a", "b"], and
// pictures: png "base64", jpeg "base64", bmp "base64" or resource "pictures/name.png".
// A collection property lists its items, each with its own properties (an empty one is not written):
//
//       Items = <
//         item
//           Name = "knob"
//           Picture.Data = "..."
//         end
//         item
//           Tag = 3
//         end>

#include "platform/core/Classes.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace kv {

class ELayoutError : public EKvError {
public:
    using EKvError::EKvError;
};

// Reads a layout into `root` (its children are created, owned by root). Names, classes and handlers
// the layout names but the program lacks are skipped and reported in the result, one message each;
// text that is not a layout raises ELayoutError with the line number.
std::vector<std::string> ReadLayout(const std::string& text, TComponent& root);

// Writes `root` and the components it owns as a layout: stored properties that differ from their
// declared defaults, in declaration order, and bound handlers by name.
std::string WriteLayout(TComponent& root);

// The text of the layout resource `name` (":/kv/layouts/NAME.lay"), empty when there is none.
std::string LayoutResourceText(const std::string& name);
// The bytes of a resource file below ":/kv/"; raises EKvError when it does not exist.
std::vector<std::uint8_t> ResourceBytes(const std::string& path);

std::string Base64Encode(const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> Base64Decode(const std::string& text); // raises ELayoutError on bad input

} // namespace kv
