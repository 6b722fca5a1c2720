#pragma once

#include "xml_part.h"
#include "zip_package.h"

#include <optional>
#include <string>

namespace DataFile {

enum class Presence { Required, Optional };

// Inflates the part `name` within `maxBytes` and streams it through `handler` as it comes. Empty when
// read, or when an optional part is absent; else why not, for the operator.
std::optional<std::string> ReadXmlPart(
    ZipPackage &package, const std::string &name, std::size_t maxBytes, Xml::Handler &handler, Presence presence);

} // namespace DataFile
