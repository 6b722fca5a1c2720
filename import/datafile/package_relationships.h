#pragma once

// The relationship parts of an Office Open XML package: which part plays which role, told
// by type, and where a relationship's target lies inside the package.

#include "zip_package.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace DataFile {

struct Relationship
{
    std::string Id;
    std::string Type; // the full type URI
    std::string Target; // as written: relative to the source part's folder, or from '/'
    bool External = false;
};

// The part name a relationship of the part `sourcePart` ("" for the package itself) points
// to, without its leading '/'; none when the target climbs out of the package.
std::optional<std::string> ResolveTarget(std::string_view sourcePart, std::string_view target);

// Whether `type` is the relationship type `kind` ("worksheet", "officeDocument") of the
// Transitional or of the Strict vocabulary.
bool IsRelationshipType(std::string_view type, std::string_view kind);

struct PartRelationships
{
    std::vector<Relationship> Items;

    const Relationship *WithId(std::string_view id) const;
    const Relationship *OfType(std::string_view kind) const;
};

// The relationships of `sourcePart` ("" for the package); a part without any has none.
std::variant<PartRelationships, PartFailure> ReadRelationships(ZipPackage &package, const std::string &sourcePart);

} // namespace DataFile
