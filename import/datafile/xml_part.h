#pragma once

// Streaming reads of the XML parts of an Office Open XML package. Elements and attributes
// are told by namespace and local name, so that any prefix (`<x:c>`) and both the
// Transitional and the Strict namespaces of the format are read alike. A part with a
// document type declaration is refused: the format has none, and entity definitions are
// the way to bombs and to reading files outside the package.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace DataFile::Xml {

enum class Namespace {
    None, // an unprefixed attribute
    Main, // the spreadsheet vocabulary
    Relationships, // r:id and the relationship types of the office document
    Package, // the package's relationship parts
    Other,
};

struct Name
{
    Namespace Space = Namespace::None;
    std::string_view Local;

    bool Is(Namespace space, std::string_view local) const { return Space == space && Local == local; }
};

Name NameOf(std::string_view expandedName);

class Attributes
{
public:
    explicit Attributes(const char **pairs)
        : pairs(pairs)
    { }
    std::optional<std::string_view> Value(Namespace space, std::string_view local) const;

private:
    const char **pairs; // name, value, ..., null
};

class Handler
{
public:
    virtual ~Handler() = default;
    virtual void Start(const Name &name, const Attributes &attributes) = 0;
    virtual void End(const Name &name) = 0;
    // Character data, in pieces of any size.
    virtual void Text(std::string_view) { }
};

// Reads one part through `handler` as its bytes arrive, in pieces of any size.
class PartReader
{
public:
    PartReader(const std::string &partName, Handler &handler);
    ~PartReader();
    PartReader(const PartReader &) = delete;
    PartReader &operator=(const PartReader &) = delete;

    // False once the part cannot be read on: what came is no well-formed XML, or the
    // handler gave up.
    bool Feed(std::string_view piece);
    // After the last piece: empty when the part was read to its end, else why not ("the
    // part xl/workbook.xml is not well-formed XML (line 3)").
    std::optional<std::string> Finish();

private:
    struct State;
    std::unique_ptr<State> state;
};

} // namespace DataFile::Xml
