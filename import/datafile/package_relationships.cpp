#include "package_relationships.h"

#include "package_part.h"

#include <algorithm>
#include <array>

namespace DataFile {

namespace {

// Relationship parts are small; a large one is no workbook's.
constexpr std::size_t MaxRelationshipBytes = 16u << 20;

constexpr std::array RelationshipTypeBases {
    std::string_view("http://schemas.openxmlformats.org/officeDocument/2006/relationships/"),
    std::string_view("http://purl.oclc.org/ooxml/officeDocument/relationships/"),
};

std::string_view FolderOf(std::string_view part)
{
    const std::size_t slash = part.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : part.substr(0, slash + 1);
}

std::string RelationshipPartOf(const std::string &sourcePart)
{
    const std::string_view folder = FolderOf(sourcePart);
    return std::string(folder) + "_rels/" + sourcePart.substr(folder.size()) + ".rels";
}

class RelationshipReader final : public Xml::Handler
{
public:
    void Start(const Xml::Name &name, const Xml::Attributes &attributes) override
    {
        if (!name.Is(Xml::Namespace::Package, "Relationship")) {
            return;
        }
        Relationship relationship;
        relationship.Id = attributes.Value(Xml::Namespace::None, "Id").value_or("");
        relationship.Type = attributes.Value(Xml::Namespace::None, "Type").value_or("");
        relationship.Target = attributes.Value(Xml::Namespace::None, "Target").value_or("");
        relationship.External = attributes.Value(Xml::Namespace::None, "TargetMode") == "External";
        read.Items.push_back(std::move(relationship));
    }
    void End(const Xml::Name &) override { }

    PartRelationships read;
};

} // namespace

std::optional<std::string> ResolveTarget(std::string_view sourcePart, std::string_view target)
{
    const std::string path = target.starts_with('/') ? std::string(target)
                                                     : std::string(FolderOf(sourcePart)).append(target);
    const std::string_view whole(path);
    std::vector<std::string_view> segments;
    std::size_t start = 0;
    while (start <= whole.size()) {
        const std::size_t slash = std::min(whole.find('/', start), whole.size());
        const std::string_view segment = whole.substr(start, slash - start);
        start = slash + 1;
        if (segment.empty() || segment == ".") {
            continue;
        }
        if (segment == "..") {
            if (segments.empty()) {
                return std::nullopt;
            }
            segments.pop_back();
            continue;
        }
        segments.push_back(segment);
    }
    std::string resolved;
    for (const std::string_view segment : segments) {
        resolved += resolved.empty() ? "" : "/";
        resolved += segment;
    }
    return resolved;
}

bool IsRelationshipType(std::string_view type, std::string_view kind)
{
    for (const std::string_view base : RelationshipTypeBases) {
        if (type.size() == base.size() + kind.size() && type.starts_with(base) && type.ends_with(kind)) {
            return true;
        }
    }
    return false;
}

const Relationship *PartRelationships::WithId(std::string_view id) const
{
    for (const Relationship &relationship : Items) {
        if (relationship.Id == id) {
            return &relationship;
        }
    }
    return nullptr;
}

const Relationship *PartRelationships::OfType(std::string_view kind) const
{
    for (const Relationship &relationship : Items) {
        if (!relationship.External && IsRelationshipType(relationship.Type, kind)) {
            return &relationship;
        }
    }
    return nullptr;
}

std::variant<PartRelationships, PartFailure> ReadRelationships(ZipPackage &package, const std::string &sourcePart)
{
    RelationshipReader reader;
    if (auto failure = ReadXmlPart(package, RelationshipPartOf(sourcePart), MaxRelationshipBytes, reader, Presence::Optional)) {
        return PartFailure {std::move(*failure)};
    }
    return std::move(reader.read);
}

} // namespace DataFile
