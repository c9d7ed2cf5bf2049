#pragma once
// Inside the standard controls' files only: the published-property groups they share and the text
// conversions at the Qt seam.

#include "platform/core/Properties.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Menus.h"
#include "platform/gui/PropGroups.h"

#include <QString>

#include <string>

namespace kv {
namespace {

inline QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
inline std::string S(const QString& s) {
    return s.toStdString();
}

} // namespace

} // namespace kv
